# libcurl (its URL API only) for Windows: a static library that make deps-windows
# cross-builds into <PLOVIK_WIN_DEPS_DIR>/<target triplet>/.
set(PLOVIK_WIN_DEPS_DIR "" CACHE PATH "Folder of the cross-built libraries (make deps-windows)")
set(win_deps_prefix ${PLOVIK_WIN_DEPS_DIR}/${MINGW_TRIPLE})
if(NOT EXISTS ${win_deps_prefix}/lib/libcurl.a)
  message(FATAL_ERROR "No cross-built libcurl in ${win_deps_prefix}: run make deps-windows")
endif()

# Its scheme table brings in Schannel and Winsock, though nothing is fetched with it.
add_library(plovik_curl_url STATIC IMPORTED)
set_target_properties(plovik_curl_url PROPERTIES
  IMPORTED_LOCATION ${win_deps_prefix}/lib/libcurl.a
  INTERFACE_INCLUDE_DIRECTORIES ${win_deps_prefix}/include
  INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
  INTERFACE_LINK_LIBRARIES "bcrypt;advapi32;crypt32;secur32;ws2_32")
