# Windows cross build with MinGW-w64: Boost headers and the GCC runtime. Included
# by BuildSettings.cmake when WIN32 (GoogleTest: GoogleTestSetup.cmake).
include_guard(GLOBAL)

# Only boost/ of the host's headers: the host's other headers would shadow
# MinGW's own C library.
set(PLOVIK_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${PLOVIK_BOOST_INCLUDE})
if(NOT EXISTS ${PLOVIK_BOOST_INCLUDE}/boost)
  file(CREATE_LINK /usr/include/boost ${PLOVIK_BOOST_INCLUDE}/boost SYMBOLIC)
endif()
set(Boost_NO_BOOST_CMAKE ON)
set(Boost_INCLUDE_DIR ${PLOVIK_BOOST_INCLUDE} CACHE PATH "" FORCE)

# The GCC runtime ships as DLLs beside vantrel.dll: the interface passes
# std::string, std::locale and exceptions between the library and its caller,
# so both must share one libstdc++ and one unwinder.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE PLOVIK_LIBSTDCXX_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(PLOVIK_GCC_RUNTIME_DIR ${PLOVIK_LIBSTDCXX_DLL} DIRECTORY)
file(GLOB PLOVIK_LIBGCC_DLL ${PLOVIK_GCC_RUNTIME_DIR}/libgcc_s_*.dll)
set(PLOVIK_WINPTHREAD_DLL /usr/${MINGW_TRIPLE}/lib/libwinpthread-1.dll)
set(PLOVIK_RUNTIME_DLLS ${PLOVIK_LIBSTDCXX_DLL} ${PLOVIK_LIBGCC_DLL} ${PLOVIK_WINPTHREAD_DLL})
file(COPY ${PLOVIK_RUNTIME_DLLS} DESTINATION ${CMAKE_BINARY_DIR}/bin)

# Test programs find vantrel.dll and the runtime in bin/.
string(REPLACE "/" "\\" PLOVIK_WINDOWS_BIN "Z:${CMAKE_BINARY_DIR}/bin")
set(PLOVIK_WINDOWS_TEST_ENV "WINEPATH=${PLOVIK_WINDOWS_BIN}")
