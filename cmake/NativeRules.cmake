# The pure rules: sources without <windows.h> that also build for the host, and the tests
# that check them there (tests/native) as well as under Wine. The platform's are its rules
# folder, whole, so that building them here shows the folder needs no Windows; the
# features' are listed. A rule that moves into platform/rules/ or a feature as a plain
# function joins here, with its test.
get_filename_component(PIXELNAB_NATIVE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
file(GLOB PIXELNAB_NATIVE_SOURCES CONFIGURE_DEPENDS RELATIVE ${PIXELNAB_NATIVE_ROOT}
  ${PIXELNAB_NATIVE_ROOT}/src/platform/rules/*.cpp)
list(APPEND PIXELNAB_NATIVE_SOURCES
  src/document/DocumentLayout.cpp
  src/document/Pixels.cpp
  src/document/DocumentOperation.cpp
  src/document/History.cpp
  src/document/DocumentModel.cpp
  src/document/DocumentViewGeometry.cpp
  src/document/Markup.cpp
  src/document/MarkupOperation.cpp
  src/select/SelectorGeometry.cpp
  src/app/CommandLine.cpp
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
  tests/unit/CaptureFileNameTest.cpp
  tests/unit/DpiScaleTest.cpp
  tests/unit/DocumentModelTest.cpp
  tests/unit/DocumentViewGeometryTest.cpp
  tests/unit/ScrollStitchTest.cpp
  tests/unit/PrintPlacementTest.cpp
  tests/unit/CommandLineTest.cpp
  tests/unit/MarkupTest.cpp
)
