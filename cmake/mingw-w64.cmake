# Cross build for 64-bit Windows with mingw-w64 (Debian's g++-mingw-w64-x86-64-posix).
# Everything is linked statically, so the programs run under Wine without extra DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSMAR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSMAR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSMAR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSMAR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSMAR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# GCC 12 reports impossible overlaps inside libstdc++'s std::string when optimising (GCC bug
# 105329); the code it points at is the library's, not ours.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Lets CTest and add_custom_command run the .exe files directly.
find_program(TESSMAR_WINE wine)
if(TESSMAR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSMAR_WINE})
endif()
