# Installation and the Debian package (CPack, DEB generator): kvtts_<version>_amd64.deb.
#
#   cmake --build build --target package      (or: cd build && cpack)
#
# Layout under /usr: the programs in bin/; the platform library and the engine library (with
# its units inside, its dialogs module and the default pronunciation dictionary beside it) in lib/<triplet>/kvtts/; the
# speech-dispatcher module in lib/speech-dispatcher-modules/ with its configuration in
# /etc/speech-dispatcher/modules/; manual pages generated from the programs' --help by
# help2man (sources in docs/man/). Installed programs find their libraries through $ORIGIN, so
# the unpacked tree works wherever it lies.

if(CMAKE_LIBRARY_ARCHITECTURE)
  set(KV_PRIVATE_LIB_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/kvtts)
else()
  set(KV_PRIVATE_LIB_DIR lib/kvtts)
endif()
# First use of a prefix looks for the engine there (sapi/first_use.cpp), and files beside the
# installed modules are kept per user (platform/posix/beside_module.cpp).
target_compile_definitions(kvplatform PRIVATE KV_PRIVATE_LIB_DIR="${KV_PRIVATE_LIB_DIR}")
set(KV_DOC_DIR share/doc/kvtts)

# Programs of the package. Another program (the installer, once it exists) joins them with
#   set_property(GLOBAL APPEND PROPERTY KV_PACKAGE_PROGRAMS <target>)
# in its own CMakeLists.txt; it gets a manual page when docs/man/<target>.h2m exists.
get_property(KV_PACKAGE_PROGRAMS GLOBAL PROPERTY KV_PACKAGE_PROGRAMS)
list(PREPEND KV_PACKAGE_PROGRAMS kvtts kvreg regsvr)
set_target_properties(${KV_PACKAGE_PROGRAMS} PROPERTIES INSTALL_RPATH "$ORIGIN/../${KV_PRIVATE_LIB_DIR}")
set_target_properties(sd_kvtts PROPERTIES INSTALL_RPATH "$ORIGIN/../../${KV_PRIVATE_LIB_DIR}")
set_target_properties(kvttse kvttsdlg PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS ${KV_PACKAGE_PROGRAMS} RUNTIME DESTINATION bin)
install(TARGETS kvplatform kvttse LIBRARY DESTINATION ${KV_PRIVATE_LIB_DIR} NAMELINK_SKIP)
# The engine loads its dialogs module from beside itself on the first dialog call.
install(TARGETS kvttsdlg LIBRARY DESTINATION ${KV_PRIVATE_LIB_DIR})
# The default dictionary, as the installer writes it beside the engine (Windows-1250).
install(FILES ${KV_INSTALLER_PAYLOAD_DIR}/kv_ttse.dct DESTINATION ${KV_PRIVATE_LIB_DIR})
# Windows-1250 is that file's format (the engine reads nothing else), not a leftover encoding.
file(WRITE ${PROJECT_BINARY_DIR}/packaging/lintian-overrides
     "kvtts: national-encoding [usr/${KV_PRIVATE_LIB_DIR}/kv_ttse.dct]\n")
install(FILES ${PROJECT_BINARY_DIR}/packaging/lintian-overrides DESTINATION share/lintian/overrides
        RENAME kvtts)
install(TARGETS sd_kvtts RUNTIME DESTINATION lib/speech-dispatcher-modules)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/speechd/kvtts.conf
        DESTINATION /etc/speech-dispatcher/modules)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/speechd/speechd-kvtts.conf DESTINATION share/kvtts)

# Manual pages, generated at build time.
find_program(HELP2MAN help2man REQUIRED)
set(man_pages)
foreach(program ${KV_PACKAGE_PROGRAMS} sd_kvtts)
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/docs/man/${program}.h2m)
    continue()
  endif()
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env KVTTS_PREFIX=${PROJECT_BINARY_DIR}/man/prefix
            ${HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION} --source=KORVEN --manual=KORVEN\ TTS
            --include=${PROJECT_SOURCE_DIR}/docs/man/${program}.h2m
            --output=${page} $<TARGET_FILE:${program}>
    COMMAND gzip -n -9 -f ${page}
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/docs/man/${program}.h2m
    COMMENT "Manual page ${program}(1)"
    VERBATIM)
  list(APPEND man_pages ${page}.gz)
endforeach()
add_custom_target(manpages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION share/man/man1)

# Documentation: the README for an installed system, the copyright and licence statement, the
# changelog.
set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
add_custom_target(package_docs ALL DEPENDS ${changelog})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
              ${changelog}
        DESTINATION ${KV_DOC_DIR})

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvtts)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KORVEN TTS maintainers <kvtts@korven.cz>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
# kvtts loads the encoders of compressed audio files only when it writes one (not found by
# shlibdeps, so named here).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsndfile1 (>= 1.2), libsoxr0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "speech-dispatcher")
set(CPACK_DEBIAN_PACKAGE_ENHANCES "speech-dispatcher")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Czech text-to-speech engine with three voices")
# CPack puts the summary in front as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "KORVEN TTS speaks Czech with a female voice (DAVLa), a child voice (DAVLuska)
and a male voice (DAVL). The package holds the engine library, which programs
load through a SAPI 4 style runtime, the command-line program kvtts, the
registry tools kvreg and regsvr, and sd_kvtts, an output module that makes the
voices available through speech-dispatcher.")
configure_file(${PROJECT_SOURCE_DIR}/packaging/conffiles ${PROJECT_BINARY_DIR}/packaging/conffiles
               COPYONLY)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
