# cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake: 32-bit Windows, the shipped form.
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_PROCESSOR x86)
set(MINGW_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
