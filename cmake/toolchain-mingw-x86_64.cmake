# 64-bit Windows: the same sources, for running the tests under wine64 on hosts
# whose kernel cannot run 32-bit programs.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_PROCESSOR AMD64)
set(MINGW_WINE_NAMES wine64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
