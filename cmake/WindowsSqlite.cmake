# SQLite for the Windows builds: its amalgamation, generated from Debian's source
# package by make deps-windows, compiled as a static library.
set(PLOVIK_SQLITE_SOURCE_DIR "" CACHE PATH "Folder of SQLite's sqlite3.c and sqlite3.h (make deps-windows)")
if(NOT EXISTS "${PLOVIK_SQLITE_SOURCE_DIR}/sqlite3.c")
  message(FATAL_ERROR "No sqlite3.c in '${PLOVIK_SQLITE_SOURCE_DIR}': run make deps-windows")
endif()
add_library(plovik_sqlite STATIC ${PLOVIK_SQLITE_SOURCE_DIR}/sqlite3.c)
set_target_properties(plovik_sqlite PROPERTIES PLOVIK_THIRD_PARTY ON)
target_include_directories(plovik_sqlite SYSTEM PUBLIC ${PLOVIK_SQLITE_SOURCE_DIR})
# No extension loading (nothing to load) and no double-quoted strings taken as text.
target_compile_definitions(plovik_sqlite PRIVATE SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0 SQLITE_THREADSAFE=1)
# Upstream code: its warnings are not ours to fix.
target_compile_options(plovik_sqlite PRIVATE -w)
