# Cross build of a 64-bit eep2hex.exe from the same sources and flags as the
# operators' 32-bit one, with Debian's MinGW-w64 (g++-mingw-w64-x86-64). It
# is only for tests: it runs under 64-bit Wine on machines that cannot run
# 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
