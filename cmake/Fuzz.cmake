# Fuzz targets. Each is one source with LLVMFuzzerTestOneInput and a folder of seeds;
# plovik_add_fuzz_targets turns it into
#   - with PLOVIK_BUILD_FUZZ (clang, make fuzz): a libFuzzer program in <build>/fuzz/,
#     with <name>.seeds beside it naming its seed folder;
#   - with the tests: <name>_replay, the same entry point under a plain main
#     (cmake/fuzz/ReplayMain.cpp), run on the seeds as the ctest test <name>_seeds.
option(PLOVIK_BUILD_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(PLOVIK_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang: configure with CC=clang-14 CXX=clang++-14 (make fuzz does)")
  endif()
  # Everything is instrumented, so the fuzzer sees coverage inside the library and
  # the engine too. Boost.Regex computes ~flags on its match_flags enumeration (a
  # bit mask, harmless): that check recovers so that ubsan.supp can silence it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fsanitize-recover=enum -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_custom_target(fuzz_targets)
endif()

# The libFuzzer helper header some targets read their input with. Clang ships it among
# its own builtin headers, which must not shadow GCC's: the replays get a copy alone.
file(GLOB PLOVIK_FUZZ_PROVIDER_DIRS /usr/lib/llvm-*/lib/clang/*/include)
find_file(PLOVIK_FUZZ_PROVIDER fuzzer/FuzzedDataProvider.h HINTS ${PLOVIK_FUZZ_PROVIDER_DIRS})
set(PLOVIK_FUZZ_PROVIDER_DIR)
if(PLOVIK_FUZZ_PROVIDER)
  set(PLOVIK_FUZZ_PROVIDER_DIR ${CMAKE_BINARY_DIR}/fuzz-include)
  configure_file(${PLOVIK_FUZZ_PROVIDER} ${PLOVIK_FUZZ_PROVIDER_DIR}/fuzzer/FuzzedDataProvider.h COPYONLY)
endif()

set(PLOVIK_FUZZ_SUPPORT_DIR ${CMAKE_CURRENT_LIST_DIR}/fuzz)

# plovik_add_fuzz_targets(<dir> TARGETS <names...> LIBS <libs...>)
# <dir>/<name>.cpp is the target, <dir>/corpus/<name>/ its seeds.
function(plovik_add_fuzz_targets dir)
  cmake_parse_arguments(ARG "" "" "TARGETS;LIBS" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  foreach(name ${ARG_TARGETS})
    set(source ${dir}/${name}.cpp)
    set(seeds ${dir}/corpus/${name})
    file(READ ${source} text)
    if(text MATCHES "FuzzedDataProvider" AND NOT PLOVIK_FUZZ_PROVIDER_DIR)
      message(WARNING "${name} needs fuzzer/FuzzedDataProvider.h (package clang-14); left out")
      continue()
    endif()
    set(programs)
    if(PLOVIK_BUILD_FUZZ)
      add_executable(${name} ${source})
      target_link_options(${name} PRIVATE -fsanitize=fuzzer)
      set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
      file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.seeds "${seeds}\n")
      add_dependencies(fuzz_targets ${name})
      list(APPEND programs ${name})
    endif()
    if(PLOVIK_BUILD_TESTS)
      add_executable(${name}_replay ${source} ${PLOVIK_FUZZ_SUPPORT_DIR}/ReplayMain.cpp)
      set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
      add_test(NAME ${name}_seeds COMMAND ${name}_replay ${seeds})
      list(APPEND programs ${name}_replay)
    endif()
    foreach(program ${programs})
      target_link_libraries(${program} PRIVATE ${ARG_LIBS})
      target_include_directories(${program} PRIVATE ${PLOVIK_FUZZ_SUPPORT_DIR})
      if(PLOVIK_FUZZ_PROVIDER_DIR)
        target_include_directories(${program} SYSTEM PRIVATE ${PLOVIK_FUZZ_PROVIDER_DIR})
      endif()
    endforeach()
  endforeach()
endfunction()

# The replay itself: it reads every input whole, fails on a broken invariant, and
# refuses to pass on no inputs at all.
if(PLOVIK_BUILD_TESTS AND NOT CMAKE_CROSSCOMPILING)
  set(checks ${PLOVIK_FUZZ_SUPPORT_DIR}/replay_check)
  add_executable(fuzz_replay_check ${PLOVIK_FUZZ_SUPPORT_DIR}/replay_check.cpp ${PLOVIK_FUZZ_SUPPORT_DIR}/ReplayMain.cpp)
  target_include_directories(fuzz_replay_check PRIVATE ${PLOVIK_FUZZ_SUPPORT_DIR})
  set_target_properties(fuzz_replay_check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-empty-corpus)
  add_test(NAME FuzzReplayReadsInputsWhole COMMAND fuzz_replay_check ${checks}/whole)
  # The broken invariant aborts: sh turns that into a status ctest can expect.
  add_test(NAME FuzzReplayFailsOnBrokenInvariant
           COMMAND sh -c "! \"$0\" \"$@\"" $<TARGET_FILE:fuzz_replay_check> ${checks}/whole ${checks}/faulty)
  set_tests_properties(FuzzReplayFailsOnBrokenInvariant PROPERTIES
                       PASS_REGULAR_EXPRESSION "faulty/violation\n[^\n]*invariant violated: text.compare")
  add_test(NAME FuzzReplayFailsWithoutInputs COMMAND fuzz_replay_check ${CMAKE_BINARY_DIR}/fuzz-empty-corpus)
  add_test(NAME FuzzReplayFailsOnMissingFolder COMMAND fuzz_replay_check ${checks}/missing)
  set_tests_properties(FuzzReplayFailsWithoutInputs FuzzReplayFailsOnMissingFolder PROPERTIES WILL_FAIL ON)
endif()
