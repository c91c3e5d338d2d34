# Cross build of eep2hex.exe for the operators' 32-bit Windows consoles,
# with Debian's MinGW-w64 (package g++-mingw-w64-i686).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
