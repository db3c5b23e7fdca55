# The platform layers of Vantrel: each concern has a POSIX file and a Win32
# file side by side in src/; this picks one of each pair from VANTREL_SOURCES.
set(VANTREL_POSIX_ONLY NativeLocaleNames.cpp ResourceModule.cpp PeModule.cpp)
set(VANTREL_WIN32_ONLY NativeLocaleNamesWin32.cpp ResourceModuleWin32.cpp FileSystemWin32.cpp)
if(WIN32)
  set(VANTREL_OTHER_PLATFORM ${VANTREL_POSIX_ONLY})
  # Temporary: the file operations wait for the OS layer of the file code.
  list(APPEND VANTREL_OTHER_PLATFORM FileOperations.cpp FileSearch.cpp FileSystemWin32.cpp)
else()
  set(VANTREL_OTHER_PLATFORM ${VANTREL_WIN32_ONLY} FileOperationsPendingWin32.cpp)
endif()
foreach(name ${VANTREL_OTHER_PLATFORM})
  list(FILTER VANTREL_SOURCES EXCLUDE REGEX "/${name}$")
endforeach()
