# The distribution's hardening flags (dpkg-buildflags with every hardening feature): stack
# protector, _FORTIFY_SOURCE, relro with immediate binding, plus stack-clash protection. The
# engine and the speech-dispatcher module read untrusted text from any program, and the package
# is built from this tree. Left out of the sanitizer build, whose instrumentation covers more.
option(KV_HARDENING "Build with the distribution's hardening flags" ON)
if(NOT KV_HARDENING OR KV_SANITIZE)
  return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: built without the distribution's hardening flags")
  return()
endif()

function(kv_buildflags name out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${DPKG_BUILDFLAGS} --get ${name}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # The build type chooses optimisation and debug information; paths stay as they are.
  list(FILTER flags EXCLUDE REGEX "^(-O[0-9s]?|-g|-ffile-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

kv_buildflags(CPPFLAGS cppflags)
if(CMAKE_BUILD_TYPE STREQUAL Debug)
  list(FILTER cppflags EXCLUDE REGEX "^-D_FORTIFY_SOURCE")  # needs optimisation
endif()
kv_buildflags(CXXFLAGS cxxflags)
kv_buildflags(LDFLAGS ldflags)
add_compile_options(${cppflags} ${cxxflags})
# Older dpkg leaves stack-clash protection out; the compiler has it either way.
if(NOT "-fstack-clash-protection" IN_LIST cxxflags)
  add_compile_options(-fstack-clash-protection)
endif()
add_link_options(${ldflags})
