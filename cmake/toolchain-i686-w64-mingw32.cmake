# Cross build of the 32-bit Windows binaries (Viderave.dll, OrvPcb.dll, viderave.exe) with the
# MinGW-w64 compiler of the win32 thread model, run under wine.
#
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
#
# The GCC run-time libraries are linked statically, so that every binary imports only Windows
# system DLLs (KERNEL32, USER32, ADVAPI32, msvcrt) and the host never needs a MinGW DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(VIDERAVE_MINGW_PREFIX i686-w64-mingw32)
# The -win32 variants: no winpthread, hence no dependency on libwinpthread-1.dll.
find_program(CMAKE_C_COMPILER NAMES ${VIDERAVE_MINGW_PREFIX}-gcc-win32 ${VIDERAVE_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VIDERAVE_MINGW_PREFIX}-g++-win32 ${VIDERAVE_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VIDERAVE_MINGW_PREFIX}-windres REQUIRED)
find_program(CMAKE_OBJDUMP NAMES ${VIDERAVE_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${VIDERAVE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Windows headers' min and max macros would break std::min and std::max. Doubles are
# computed in SSE2 registers, as on x86-64, not in the x87 unit's longer registers, so that
# unit conversions and roundings give the same values as the Linux build.
set(CMAKE_C_FLAGS_INIT "-DNOMINMAX -DWIN32_LEAN_AND_MEAN -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-DNOMINMAX -DWIN32_LEAN_AND_MEAN -msse2 -mfpmath=sse")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

# nlohmann/json, RapidJSON and CLI11 are header-only: the build machine's copies serve the cross
# build too.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/windows-packages CACHE PATH "nlohmann/json for the cross build")
set(RapidJSON_DIR ${CMAKE_CURRENT_LIST_DIR}/windows-packages CACHE PATH "RapidJSON for the cross build")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/windows-packages CACHE PATH "CLI11 for the cross build")

# ctest runs the Windows programs through wine (see cmake/wine-run.sh for the environment).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
