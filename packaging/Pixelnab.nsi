; Pixelnab 2.0 installer, built by packaging/make-dist.sh (`make dist`) with makensis.
;
;   makensis -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> Pixelnab.nsi
;
; Two ways to install Pixelnab.exe, Pixelnab.chm, README.txt and LICENSE.txt with a
; Start-menu folder (program, help, uninstaller) and an entry under Apps & features:
;   - only for the current user: into %LOCALAPPDATA%\Programs\Pixelnab, shortcuts and
;     uninstall entry under that user's profile and HKCU; needs no administrator rights;
;   - for all users: into Program Files, shortcuts for everyone, uninstall entry under
;     HKLM; needs administrator rights.
; The setup runs without elevation (asInvoker). An all-users install started without
; administrator rights runs a second, elevated copy of the setup for the machine-wide
; work ("runas", so Windows asks for consent) and waits for it.
;
; Command line:  /CURRENTUSER or /ALLUSERS chooses the mode and skips the question;
; /S installs silently (for all users unless /CURRENTUSER is given, as before);
; /D=<folder> (last) chooses the folder.
; Uninstall.exe: /S silently; /REMOVESETTINGS also deletes the settings of the user
; who runs it (HKCU\Software\VB and VBA Program Settings\Pixelnab), never anyone else's.
;
; Neither setup nor uninstaller replaces or removes files while Pixelnab runs: they look
; for its main window (class "PixelnabFrame"), ask the user to close it, and in silent
; mode end at once with exit code 2.

!ifndef STAGE
  !error "define STAGE, the folder holding the files to install"
!endif
!ifndef OUTFILE
  !define OUTFILE "Pixelnab-2.0-setup.exe"
!endif

!define PRODUCT "Pixelnab"
!define VERSION "2.0"
!define PUBLISHER "The Pixelnab developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pixelnab"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\Pixelnab"
!define FRAME_CLASS "PixelnabFrame"
; "Open with": the application's own key, and one entry in each readable type's list. No
; type's default program is touched, so Pixelnab only ever joins the list.
!define APP_KEY "Software\Classes\Applications\Pixelnab.exe"
!define OPEN_WITH_TYPES ".bmp .dib .gif .jpg .jpeg .jpe .jfif .ico .cur .png .tif .tiff"
; Exit code of a setup or uninstall that stopped before changing anything (NSIS's own
; code for "aborted by the script").
!define EXIT_ABORTED 2

; The program is a 64-bit Windows program, so is its installer (and its registry view).
Target amd64-unicode
SetCompressor /SOLID lzma
Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; No InstallDir: .onInit or the mode page picks the folder that fits the mode, and an
; $INSTDIR already set there came from /D=.
RequestExecutionLevel user
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "2.0.0.0"
VIFileVersion "2.0.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "nsDialogs.nsh"

Var InstallMode        ; "AllUsers" or "CurrentUser"
Var ModeGiven          ; 1: /ALLUSERS or /CURRENTUSER on the command line
Var DirGiven           ; 1: /D= on the command line
Var Elevated           ; 1: the elevated copy started for an all-users install or removal
Var ModeRadioCurrent
Var ModeRadioAll

!define MUI_ICON "${STAGE}\..\main.ico"
!define MUI_UNICON "${STAGE}\..\main.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Pixelnab.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
Page custom ModePageShow ModePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Pixelnab's files, shortcuts and its entry in the list of installed programs are always removed. Tick the box to remove your own settings as well (window placement and the Hide Capture Window option)."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---- Shared by setup and uninstaller -----------------------------------------------

; Asks the user to close Pixelnab until it is closed; ends the run (exit code 2) on Cancel,
; and at once in silent mode, where /SD answers the message box.
!macro REFUSE_WHILE_RUNNING QUIT_OR_ABORT
  !define /ReDef _LOOP "refuse_${__LINE__}"
  ${_LOOP}:
  FindWindow $0 "${FRAME_CLASS}"
  ${If} $0 <> 0
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Pixelnab is running. Close it (File > Exit), then click Retry." \
      /SD IDCANCEL IDRETRY ${_LOOP}
    SetErrorLevel ${EXIT_ABORTED}
    ${QUIT_OR_ABORT}
  ${EndIf}
!macroend

!macro IS_ADMIN RESULT
  UserInfo::GetAccountType
  Pop ${RESULT}
!macroend

; Mode-dependent places: shell folders ($SMPROGRAMS, $LOCALAPPDATA) and registry root.
!macro USE_MODE_CONTEXT
  ${If} $InstallMode == "AllUsers"
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

; ---- Setup -------------------------------------------------------------------------

Function DefaultFolderForMode
  ${If} $DirGiven == 1
    Return
  ${EndIf}
  ${If} $InstallMode == "AllUsers"
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${EndIf}
  ${Else}
    ReadRegStr $INSTDIR HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
      SetShellVarContext current
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $DirGiven 0
  ${If} $INSTDIR != ""
    StrCpy $DirGiven 1
  ${EndIf}
  ${GetParameters} $R0
  StrCpy $ModeGiven 0
  StrCpy $Elevated 0
  ClearErrors
  ${GetOptions} $R0 "/ELEVATED" $R1
  ${IfNot} ${Errors}
    StrCpy $Elevated 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    StrCpy $InstallMode "AllUsers"
    StrCpy $ModeGiven 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CURRENTUSER" $R1
  ${IfNot} ${Errors}
    ${If} $ModeGiven == 1
      MessageBox MB_OK|MB_ICONSTOP "Give either /ALLUSERS or /CURRENTUSER, not both." /SD IDOK
      SetErrorLevel ${EXIT_ABORTED}
      Quit
    ${EndIf}
    StrCpy $InstallMode "CurrentUser"
    StrCpy $ModeGiven 1
  ${EndIf}
  ${If} $ModeGiven == 0
    !insertmacro IS_ADMIN $R1
    ${If} ${Silent}
    ${OrIf} $R1 == "Admin"
      StrCpy $InstallMode "AllUsers"
    ${Else}
      StrCpy $InstallMode "CurrentUser"
    ${EndIf}
  ${EndIf}
  !insertmacro REFUSE_WHILE_RUNNING Quit
  Call DefaultFolderForMode
FunctionEnd

Function ModePageShow
  ${If} $ModeGiven == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Choose Users" "Install Pixelnab only for you, or for everyone who uses this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 10u 100% 12u "Only for &me (no administrator rights needed)"
  Pop $ModeRadioCurrent
  ${NSD_CreateLabel} 12u 24u 95% 20u "Into your own programs folder, with a Start-menu entry for you only."
  Pop $0
  ${NSD_CreateRadioButton} 0 52u 100% 12u "For &all users of this computer (needs administrator rights)"
  Pop $ModeRadioAll
  ${NSD_CreateLabel} 12u 66u 95% 20u "Into Program Files, with a Start-menu entry for everyone."
  Pop $0
  ${If} $InstallMode == "AllUsers"
    ${NSD_Check} $ModeRadioAll
  ${Else}
    ${NSD_Check} $ModeRadioCurrent
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeRadioAll $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $InstallMode "AllUsers"
  ${Else}
    StrCpy $InstallMode "CurrentUser"
  ${EndIf}
  Call DefaultFolderForMode
FunctionEnd

; An all-users install without administrator rights: an elevated silent copy of this
; setup does the work; this one reports what it finds afterwards.
Function InstallThroughElevatedCopy
  ${If} $Elevated == 1
    MessageBox MB_OK|MB_ICONSTOP "Installing Pixelnab for all users needs administrator rights." /SD IDOK
    SetErrorLevel ${EXIT_ABORTED}
    Abort
  ${EndIf}
  DetailPrint "Asking for administrator rights to install for all users..."
  ExecShellWait "runas" "$EXEPATH" "/S /ALLUSERS /ELEVATED /D=$INSTDIR"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != $INSTDIR
  ${OrIfNot} ${FileExists} "$INSTDIR\Pixelnab.exe"
    MessageBox MB_OK|MB_ICONSTOP "Pixelnab was not installed for all users: administrator rights were not granted, or the installation failed." /SD IDOK
    SetErrorLevel ${EXIT_ABORTED}
    Abort
  ${EndIf}
  DetailPrint "Installed for all users into $INSTDIR"
FunctionEnd

; Inserts macro NAME once for every extension of OPEN_WITH_TYPES (twelve of them).
!macro FOR_EACH_OPEN_WITH_TYPE NAME
  !insertmacro _FOR_EACH_TYPE ${NAME} ${OPEN_WITH_TYPES}
!macroend
!macro _FOR_EACH_TYPE NAME T1 T2 T3 T4 T5 T6 T7 T8 T9 T10 T11 T12
  !insertmacro ${NAME} ${T1}
  !insertmacro ${NAME} ${T2}
  !insertmacro ${NAME} ${T3}
  !insertmacro ${NAME} ${T4}
  !insertmacro ${NAME} ${T5}
  !insertmacro ${NAME} ${T6}
  !insertmacro ${NAME} ${T7}
  !insertmacro ${NAME} ${T8}
  !insertmacro ${NAME} ${T9}
  !insertmacro ${NAME} ${T10}
  !insertmacro ${NAME} ${T11}
  !insertmacro ${NAME} ${T12}
!macroend
!macro REGISTER_OPEN_WITH EXT
  WriteRegStr SHCTX "${APP_KEY}\SupportedTypes" "${EXT}" ""
  WriteRegStr SHCTX "Software\Classes\${EXT}\OpenWithList\Pixelnab.exe" "" ""
!macroend
; Removes Pixelnab's entry, then the list and the type's key only where Pixelnab's entry
; was all they held (/ifempty: no subkeys and no values), so another program's keep theirs.
!macro UNREGISTER_OPEN_WITH EXT
  DeleteRegKey SHCTX "Software\Classes\${EXT}\OpenWithList\Pixelnab.exe"
  DeleteRegKey /ifempty SHCTX "Software\Classes\${EXT}\OpenWithList"
  DeleteRegKey /ifempty SHCTX "Software\Classes\${EXT}"
!macroend

Section "Pixelnab" SecMain
  SectionIn RO
  ; Pixelnab may have been started while the pages were shown.
  !insertmacro REFUSE_WHILE_RUNNING Abort
  !insertmacro IS_ADMIN $R1
  ${If} $InstallMode == "AllUsers"
  ${AndIf} $R1 != "Admin"
    Call InstallThroughElevatedCopy
    Return
  ${EndIf}
  !insertmacro USE_MODE_CONTEXT

  SetOutPath "$INSTDIR"
  File "${STAGE}\Pixelnab.exe"
  File "${STAGE}\Pixelnab.chm"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Pixelnab.exe" "" "$INSTDIR\Pixelnab.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\Pixelnab.chm"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  ; SHCTX: HKLM after SetShellVarContext all, HKCU after SetShellVarContext current.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pixelnab.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

  WriteRegStr SHCTX "${APP_KEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr SHCTX "${APP_KEY}\DefaultIcon" "" "$INSTDIR\Pixelnab.exe,0"
  WriteRegStr SHCTX "${APP_KEY}\shell\open\command" "" '"$INSTDIR\Pixelnab.exe" "%1"'
  !insertmacro FOR_EACH_OPEN_WITH_TYPE REGISTER_OPEN_WITH
SectionEnd

; ---- Uninstaller -------------------------------------------------------------------

Section "un.Pixelnab" SecUnMain
  SectionIn RO
  !insertmacro REFUSE_WHILE_RUNNING Abort
  !insertmacro IS_ADMIN $R1
  ${If} $InstallMode == "AllUsers"
  ${AndIf} $R1 != "Admin"
    Call un.RemoveThroughElevatedCopy
    Return
  ${EndIf}
  !insertmacro USE_MODE_CONTEXT
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$INSTDIR\Pixelnab.exe"
  Delete "$INSTDIR\Pixelnab.chm"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  DeleteRegKey SHCTX "${APP_KEY}"
  !insertmacro FOR_EACH_OPEN_WITH_TYPE UNREGISTER_OPEN_WITH
SectionEnd

; The per-user start entry of "Start with Windows" (Preferences > Start-up) goes with the
; program: left behind, it would start a Pixelnab that is no longer there at each log-on.
Section "-un.Start with Windows"
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Pixelnab"
SectionEnd

; Runs in the process of the user who asked, never in an elevated copy (whose HKCU may
; belong to the administrator who gave consent): un.onInit does not select it there.
Section /o "un.Remove my Pixelnab settings" SecUnSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

Function un.RemoveThroughElevatedCopy
  ${If} $Elevated == 1
    MessageBox MB_OK|MB_ICONSTOP "Removing Pixelnab for all users needs administrator rights." /SD IDOK
    SetErrorLevel ${EXIT_ABORTED}
    Abort
  ${EndIf}
  DetailPrint "Asking for administrator rights to remove Pixelnab for all users..."
  ; _?= makes the copy work in place on this folder instead of copying itself away.
  ExecShellWait "runas" "$EXEPATH" "/S /ELEVATED _?=$INSTDIR"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "Pixelnab was not removed: administrator rights were not granted, or the removal failed." /SD IDOK
    SetErrorLevel ${EXIT_ABORTED}
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  ${GetParameters} $R0
  StrCpy $Elevated 0
  ClearErrors
  ${GetOptions} $R0 "/ELEVATED" $R1
  ${IfNot} ${Errors}
    StrCpy $Elevated 1
  ${EndIf}
  ; The installation this uninstaller belongs to: the one whose uninstall entry names
  ; its folder; an entry under HKLM means all users.
  ; (StrCmp ignores case; a folder may come with or without a final backslash.)
  StrCpy $InstallMode "CurrentUser"
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R2 != ""
  ${AndIf} $R2 == $INSTDIR
  ${OrIf} "$R2\" == $INSTDIR
    ReadRegStr $R3 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R3 != $INSTDIR
    ${AndIf} "$R3\" != $INSTDIR
      StrCpy $InstallMode "AllUsers"
    ${EndIf}
  ${EndIf}
  !insertmacro REFUSE_WHILE_RUNNING Quit
  ; /REMOVESETTINGS ticks the settings box, for silent uninstalls too.
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
  ${AndIf} $Elevated == 0
    SectionSetFlags ${SecUnSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
