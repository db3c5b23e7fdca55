# cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake: 32-bit Windows, the shipped form.
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_PROCESSOR x86)
set(MINGW_WINE_NAMES wine)
# SSE2 arithmetic, as compilers for Windows do by default today: x87's excess
# precision would round single-precision results unlike every other build. Windows
# calls back (window procedures, threads) with the stack aligned to 4 bytes only,
# so functions that keep SSE values on the stack align it themselves.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
