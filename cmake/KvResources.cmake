# Module resources: (type, name) -> bytes, compiled into a module at build time.
#
#   kv_add_resources(<target> [UNITS] [ENTRY <type> <name> <file>]...)
#
# UNITS adds every resources/units/*.wav as a resource of type "WAV" named after the file
# (picked up at configure time, so a new unit only needs a re-run of cmake).
function(kv_add_resources target)
  cmake_parse_arguments(KVR "UNITS" "" "" ${ARGN})
  set(entries)
  set(deps)
  set(rest ${KVR_UNPARSED_ARGUMENTS})
  list(LENGTH rest n)
  while(n GREATER 0)
    list(POP_FRONT rest keyword type name file)
    if(NOT keyword STREQUAL "ENTRY")
      message(FATAL_ERROR "kv_add_resources: expected ENTRY, got ${keyword}")
    endif()
    list(APPEND entries "${type}=${name}=${file}")
    list(APPEND deps "${file}")
    list(LENGTH rest n)
  endwhile()
  if(KVR_UNITS)
    file(GLOB units CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/units/*.wav)
    foreach(unit IN LISTS units)
      get_filename_component(stem ${unit} NAME_WE)
      string(TOUPPER ${stem} stem)
      list(APPEND entries "WAV=${stem}=${unit}")
      list(APPEND deps "${unit}")
    endforeach()
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  add_custom_command(
    OUTPUT ${out}.bin ${out}.cpp
    COMMAND kv_rescomp ${out}.bin ${out}.cpp ${entries}
    DEPENDS kv_rescomp ${deps}
    COMMENT "Compiling resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out}.cpp)
endfunction()

# The version record every module of the system carries (resource VERSION/040504E2, read by
# the installer without loading the module): "FileVersion=<project version>". Sets var to the
# generated file.
function(kv_version_record var)
  set(file ${PROJECT_BINARY_DIR}/version_record.txt)
  file(CONFIGURE OUTPUT ${file} CONTENT "FileVersion=${PROJECT_VERSION}\n")
  set(${var} ${file} PARENT_SCOPE)
endfunction()
