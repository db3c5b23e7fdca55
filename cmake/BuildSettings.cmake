# The compiler settings and output folders that every target of the tree shares,
# whether the whole repository is built or the library alone (regex/). Included by
# the first project that needs them; they hold for its folder and those below it.
include_guard(GLOBAL)

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Added to another project with add_subdirectory, a project of ours leaves the
# including project its own build type and output folders.
if(PROJECT_IS_TOP_LEVEL)
  if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
  endif()
  set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()

option(PLOVIK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Every target; the library's own get more with plovik_target_warnings (Warnings.cmake).
add_compile_options(-Wall -Wextra)
# 64-bit file offsets and inode numbers in 32-bit Linux builds too (nothing changes
# in a 64-bit one): large files and file systems with large inodes stay readable.
if(NOT WIN32)
  add_compile_definitions(_FILE_OFFSET_BITS=64)
endif()
if(PLOVIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

include(GNUInstallDirs)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake)
endif()
