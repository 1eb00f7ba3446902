# What the Windows build builds: the platform layer's Windows face, the synthesizer, our SAPI
# side (WAV only), the settings forms as Windows forms, kv_ttse.dll and kvtts.exe, and the tests
# that run under Wine. No toolkit: the dialogs module is not built here.
enable_language(RC)
# A release build carries no symbols: the modules are what gets copied to the machines.
add_link_options($<$<CONFIG:Release>:-s>)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)

include(cmake/KvResources.cmake)

add_subdirectory(platform)
add_subdirectory(synth)
add_subdirectory(sapi)
add_subdirectory(dialogs/logic)
add_subdirectory(dialogs/win32)
add_subdirectory(engine)
add_subdirectory(apps/kvtts)
add_subdirectory(installer/win32)

if(KV_TESTS)
  enable_testing()
  # GoogleTest from the sources that libgtest-dev ships.
  set(KV_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${KV_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${KV_GTEST_SOURCE} (libgtest-dev)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KV_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/windows)
endif()
