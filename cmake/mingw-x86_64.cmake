# Cross build for 64-bit Windows, used only for the tests on a machine whose
# kernel runs no 32-bit code itself: there 32-bit Wine runs through a
# user-mode emulator, too slow and unsteady for the test suite, while 64-bit
# Wine runs natively. The product stays the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_OBJDUMP x86_64-w64-mingw32-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Debian's wine wrapper starts the 32-bit loader first, which would go
# through the emulator before it hands a 64-bit program on.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
