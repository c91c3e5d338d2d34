# Cross build of a 64-bit eep2hex.exe from the same sources and flags as the
# operators' 32-bit one, with Debian's MinGW-w64 (g++-mingw-w64-x86-64). It
# is only for tests: it runs under 64-bit Wine on machines that cannot run
# 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Standalone: no libstdc++, libgcc or winpthread DLLs beside the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
