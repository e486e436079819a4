# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (POSIX threads flavour), and runs
# the test programs under Wine.
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
#         -DTALLOWBY_CORE_ONLY=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALLOWBY_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALLOWBY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLOWBY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLOWBY_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLOWBY_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in statically (libgcc, libstdc++, winpthread): a built program runs on a
# bare Windows, or in a fresh Wine prefix, without any compiler DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs (and GoogleTest's test discovery) run through Wine. The script keeps Wine's
# state inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-emulator)
