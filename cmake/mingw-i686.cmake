# Cross build for 32-bit Windows with the MinGW-w64 compilers (posix thread
# model, for the std::mutex that GoogleTest needs; the runtime is linked
# statically).  Programs run under Wine.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(KALPO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KALPO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALPO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KALPO_MINGW_PREFIX}-windres)
set(CMAKE_DLLTOOL ${KALPO_MINGW_PREFIX}-dlltool)
set(CMAKE_OBJDUMP ${KALPO_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KALPO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime goes inside each binary, so that kalpo.dll needs
# nothing beside it but Windows and the makers' libraries.
# No link time in the PE headers: the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")

find_program(KALPO_WINE wine)
if(KALPO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KALPO_WINE})
endif()
