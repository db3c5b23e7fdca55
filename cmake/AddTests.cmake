# plovik_add_gtests(<dir> LIBS <libs...> [ENV <vars...>] [SOURCES <shared helpers...>] [INCLUDES <dirs...>]
#                   [ONLY <names...> | EXCEPT <names...>])
# Every *_test.cpp in <dir> becomes one GoogleTest executable under ctest;
# ONLY and EXCEPT pick among them by name (without .cpp).
function(plovik_add_gtests dir)
  cmake_parse_arguments(ARG "" "" "LIBS;ENV;SOURCES;INCLUDES;ONLY;EXCEPT" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  foreach(test_source ${tests})
    get_filename_component(name ${test_source} NAME_WE)
    if((ARG_ONLY AND NOT name IN_LIST ARG_ONLY) OR name IN_LIST ARG_EXCEPT)
      continue()
    endif()
    add_executable(${name} ${test_source} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
    target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${ARG_ENV}")
  endforeach()
endfunction()
