# The pure rules: sources without <windows.h> that also build for the host, and the tests
# that check them there (tests/native) as well as under Wine. One list each: a rule that
# moves into platform/ as a plain function joins here, with its test.
set(PIXELNAB_NATIVE_SOURCES
  src/platform/controls/Conversions.cpp
  src/platform/windows/RuntimeError.cpp
  src/platform/pictures/PictureHeaders.cpp
  src/platform/services/SettingsText.cpp
  src/platform/pictures/ScreenGeometry.cpp
  src/platform/windows/DesktopGeometry.cpp
  src/platform/services/CaptureOptionsText.cpp
  src/platform/controls/ViewZoom.cpp
  src/platform/controls/DpiScale.cpp
  src/document/DocumentLayout.cpp
  src/document/Pixels.cpp
  src/document/DocumentOperation.cpp
  src/document/History.cpp
  src/document/DocumentModel.cpp
  src/document/DocumentViewGeometry.cpp
  src/select/SelectorGeometry.cpp
)
set(PIXELNAB_NATIVE_TESTS
  tests/unit/ConversionsTest.cpp
  tests/unit/PictureHeadersTest.cpp
  tests/unit/SettingsTextTest.cpp
  tests/unit/ServiceTest.cpp
  tests/unit/DocumentLayoutTest.cpp
  tests/unit/SelectorGeometryTest.cpp
  tests/unit/DesktopGeometryTest.cpp
  tests/unit/CaptureOptionsTextTest.cpp
  tests/unit/DpiScaleTest.cpp
  tests/unit/DocumentModelTest.cpp
  tests/unit/DocumentViewGeometryTest.cpp
)
