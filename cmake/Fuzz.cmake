# Fuzz targets. Each is one source with LLVMFuzzerTestOneInput and a folder of seeds;
# plovik_add_fuzz_targets turns it into
#   - with FUZZ (clang, make fuzz): a libFuzzer program in <build>/fuzz/,
#     with <name>.seeds beside it naming its seed folder;
#   - with REPLAY (the tests): <name>_replay, the same entry point under a plain main
#     (cmake/fuzz/ReplayMain.cpp), run on the seeds as the ctest test <name>_seeds.
# FUZZ needs plovik_instrument_for_fuzzing() in a folder above the targets.
include_guard(GLOBAL)

# Everything below the calling folder is instrumented, so the fuzzer sees coverage
# inside the library and the engine too. Boost.Regex computes ~flags on its
# match_flags enumeration (a bit mask, harmless): that check recovers so that
# ubsan.supp can silence it. Done once: a folder below one that did it inherits it.
function(plovik_instrument_for_fuzzing)
  get_property(done GLOBAL PROPERTY PLOVIK_FUZZ_INSTRUMENTED)
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY PLOVIK_FUZZ_INSTRUMENTED ON)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang: configure with CC=clang-14 CXX=clang++-14 (make fuzz does)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fsanitize-recover=enum -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endfunction()

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

# The replay itself: it reads every input whole, fails on a broken invariant, and
# refuses to pass on no inputs at all. Added with the first replay.
function(plovik_add_fuzz_replay_checks)
  if(TARGET fuzz_replay_check OR CMAKE_CROSSCOMPILING)
    return()
  endif()
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
endfunction()

# plovik_add_fuzz_targets(<dir> TARGETS <names...> LIBS <libs...> [FUZZ <bool>] [REPLAY <bool>])
# <dir>/<name>.cpp is the target, <dir>/corpus/<name>/ its seeds. FUZZ and REPLAY
# default to PLOVIK_BUILD_FUZZ and PLOVIK_BUILD_TESTS.
function(plovik_add_fuzz_targets dir)
  cmake_parse_arguments(ARG "" "FUZZ;REPLAY" "TARGETS;LIBS" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  if(NOT DEFINED ARG_FUZZ)
    set(ARG_FUZZ ${PLOVIK_BUILD_FUZZ})
  endif()
  if(NOT DEFINED ARG_REPLAY)
    set(ARG_REPLAY ${PLOVIK_BUILD_TESTS})
  endif()
  if(ARG_FUZZ AND NOT TARGET fuzz_targets)
    add_custom_target(fuzz_targets)
  endif()
  if(ARG_REPLAY)
    plovik_add_fuzz_replay_checks()
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
    if(ARG_FUZZ)
      add_executable(${name} ${source})
      target_link_options(${name} PRIVATE -fsanitize=fuzzer)
      set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
      file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.seeds "${seeds}\n")
      add_dependencies(fuzz_targets ${name})
      list(APPEND programs ${name})
    endif()
    if(ARG_REPLAY)
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
