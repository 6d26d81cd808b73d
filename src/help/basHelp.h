#pragma once
#include <string>

#include <windows.h>

// Opens the HTML Help viewer on the program's help file, always in its window type "Main",
// owned by the window passed. Each returns at once; the viewer stays open on its own.

// The Contents tab.
void ShowHelpContents(HWND owner, const std::wstring& helpFile);
// The Index tab.
void ShowHelpIndex(HWND owner, const std::wstring& helpFile);
// The Contents tab showing one page of the help file's "html" folder; the page name is
// passed exactly as given.
void ShowHelpTopic(HWND owner, const std::wstring& helpFile, const std::wstring& topic);

// The program's text as an 8-bit string in the system's ANSI code page.
std::string ToAnsi(const std::wstring& text);
