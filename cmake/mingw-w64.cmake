# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads flavour, which has
# std::thread and std::mutex). Used by scripts/cross-windows.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RT62_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${RT62_MINGW_PREFIX}-g++-posix ${RT62_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${RT62_MINGW_PREFIX}-gcc-posix ${RT62_MINGW_PREFIX}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${RT62_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RT62_MINGW_PREFIX})
# Libraries built for Windows by scripts/windows-deps.sh (Qt, yaml-cpp, GoogleTest).
if(DEFINED ENV{RT62M_WIN_PREFIX})
    list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{RT62M_WIN_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The console programs and tests run without the cross compiler's runtime DLLs. Qt's own build sets
# RT62M_MINGW_SHARED_RUNTIME so that its DLLs share one runtime (shipped beside them).
if(NOT DEFINED ENV{RT62M_MINGW_SHARED_RUNTIME})
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endif()
