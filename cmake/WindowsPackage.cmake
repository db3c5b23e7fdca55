# package-windows: a zip for Windows users with the DLL, its import library
# and .def file, the headers, the GCC runtime DLLs, LICENSE and a README.
set(package_name vantrel-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(stage ${CMAKE_BINARY_DIR}/package/${package_name})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(staged_dlls ${stage}/bin/vantrel.dll)
foreach(dll ${PLOVIK_RUNTIME_DLLS})
  get_filename_component(name ${dll} NAME)
  list(APPEND staged_dlls ${stage}/bin/${name})
endforeach()
target_link_options(vantrel PRIVATE -Wl,--output-def,${CMAKE_BINARY_DIR}/lib/vantrel.def)
# The program too, when it is built: it needs nothing beyond the DLLs in bin/.
if(PLOVIK_BUILD_CRAWLER)
  set(package_programs $<TARGET_FILE:plovik>)
  set(package_program_targets plovik)
  set(staged_programs ${stage}/bin/plovik.exe)
endif()
add_custom_target(package-windows
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${stage}.zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/bin ${stage}/lib ${stage}/include
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vantrel> ${PLOVIK_RUNTIME_DLLS} ${package_programs} ${stage}/bin
  COMMAND ${CMAKE_STRIP} --strip-debug ${staged_dlls} ${staged_programs}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_LINKER_FILE:vantrel> ${CMAKE_BINARY_DIR}/lib/vantrel.def ${stage}/lib
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/regex/include/vantrel ${stage}/include/vantrel
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/README-windows.txt ${stage}/README.txt
  COMMAND ${CMAKE_COMMAND} -E tar cf ${package_name}.zip --format=zip ${package_name}
  COMMAND ${CMAKE_COMMAND} -E echo "Package: ${CMAKE_BINARY_DIR}/package/${package_name}.zip"
  DEPENDS vantrel ${package_program_targets}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package
  VERBATIM)
