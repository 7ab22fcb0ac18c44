# 32-bit Windows target: the shipped Skardel.scr.
#
# The thread model is the cross compiler's: "win32" (the default) for the
# shipped file, whose runtime then needs nothing newer than Windows 95 of
# kernel32; "posix" for the test build, which GoogleTest needs and whose
# threads library imports Vista's and XP's functions.
set(SKARDEL_THREAD_MODEL win32 CACHE STRING "Thread model of the cross compiler: win32 or posix")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${SKARDEL_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${SKARDEL_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(SKARDEL_WINE wine CACHE STRING "Wine loader that runs this target's programs")
# Test programs run under Wine on the display and prefix that the test command
# prepared (scripts/wine-run.sh picks them).
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${SKARDEL_WINE})
