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
  if(WIN32)
    kv_add_win32_resources(${target} ${out} "${entries}")
    return()
  endif()
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

# Windows: the entries become the module's own Win32 resources (a script for windres), the
# version record a VERSIONINFO resource; the module's mark (platform/module.h) is a byte of its
# own data that finds its handle.
function(kv_add_win32_resources target out entries)
  set(script "#include <winver.h>\n")
  foreach(entry IN LISTS entries)
    string(REPLACE "=" ";" parts "${entry}")
    list(GET parts 0 type)
    list(GET parts 1 name)
    list(GET parts 2 file)
    if(type STREQUAL "VERSION")
      string(APPEND script "${_kv_version_info}")
    else()
      string(APPEND script "${name} ${type} \"${file}\"\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${out}.rc CONTENT "${script}" @ONLY)
  file(CONFIGURE OUTPUT ${out}.cpp CONTENT
       "#include \"platform/module.h\"\nextern \"C\" const unsigned char kv_module_resources[1] = {};\nextern \"C\" const unsigned char kv_module_resources_end[1] = {};\n")
  target_sources(${target} PRIVATE ${out}.rc ${out}.cpp)
endfunction()

string(REPLACE "." "," _kv_version_commas "${PROJECT_VERSION}")
set(_kv_version_info "1 VERSIONINFO
FILEVERSION ${_kv_version_commas}
PRODUCTVERSION ${_kv_version_commas}
FILEOS VOS__WINDOWS32
FILETYPE VFT_DLL
BEGIN
  BLOCK \"StringFileInfo\"
  BEGIN
    BLOCK \"040504E2\"
    BEGIN
      VALUE \"CompanyName\", \"KORVEN\"
      VALUE \"FileDescription\", \"KORVEN TTS\"
      VALUE \"FileVersion\", \"${PROJECT_VERSION}\"
      VALUE \"ProductName\", \"KORVEN TTS\"
      VALUE \"ProductVersion\", \"${PROJECT_VERSION}\"
    END
  END
  BLOCK \"VarFileInfo\"
  BEGIN
    VALUE \"Translation\", 0x0405, 1250
  END
END
")
