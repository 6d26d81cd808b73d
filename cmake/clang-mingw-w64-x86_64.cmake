# Debian's clang for the same Windows target as the mingw-w64 g++ build, on the same headers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Linking goes through lld; the compiler checks only compile.
set(CMAKE_EXE_LINKER_FLAGS_INIT -fuse-ld=lld)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# clang finds the mingw C headers by itself, not the C++ library of the mingw g++ package.
file(GLOB _mingw_gcc_dirs /usr/lib/gcc/x86_64-w64-mingw32/*-posix)
list(SORT _mingw_gcc_dirs COMPARE NATURAL)
list(POP_BACK _mingw_gcc_dirs PIXELNAB_MINGW_GCC_DIR)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${PIXELNAB_MINGW_GCC_DIR}/include/c++ ${PIXELNAB_MINGW_GCC_DIR}/include/c++/x86_64-w64-mingw32)
