# plovik_target_warnings(<target>...): the warnings these targets are kept clean
# of, errors with PLOVIK_WERROR. plovik_directory_warnings() gives them to every
# target the calling folder has compiled so far, except sources of others compiled
# here (targets with the property PLOVIK_THIRD_PARTY).
include_guard(GLOBAL)

option(PLOVIK_WERROR "Warnings of plovik_target_warnings are errors" OFF)

function(plovik_target_warnings)
  foreach(target ${ARGN})
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion
                                             $<$<BOOL:${PLOVIK_WERROR}>:-Werror>)
  endforeach()
endfunction()

function(plovik_directory_warnings)
  get_property(targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    get_target_property(third_party ${target} PLOVIK_THIRD_PARTY)
    if(NOT third_party AND type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|STATIC_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      plovik_target_warnings(${target})
    endif()
  endforeach()
endfunction()
