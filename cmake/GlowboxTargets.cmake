# Small helpers so that every subsystem folder declares its target in a few lines.
# Sources are globbed per folder (CONFIGURE_DEPENDS), so adding a file needs no
# CMake edit; a folder without sources yet yields an interface target.

function(glowbox_add_library name)
  cmake_parse_arguments(ARG "" "" "GLOBS;PUBLIC_DEPS;PRIVATE_DEPS;PUBLIC_INCLUDES;PRIVATE_INCLUDES" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${ARG_GLOBS})
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    target_include_directories(${name} PUBLIC ${ARG_PUBLIC_INCLUDES} PRIVATE ${ARG_PRIVATE_INCLUDES})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_PUBLIC_DEPS})
    target_include_directories(${name} INTERFACE ${ARG_PUBLIC_INCLUDES})
  endif()
endfunction()

# One GoogleTest executable per test folder; every TEST becomes a ctest case.
function(glowbox_add_test name)
  cmake_parse_arguments(ARG "" "" "GLOBS;DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${ARG_GLOBS})
  if(NOT srcs OR NOT GTest_FOUND)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  # Windows programs cross-built here are tested under Wine, where the build
  # machine's root is drive Z:. A path without its drive would be taken on
  # the drive of whichever process reads it, and the tests' children work in
  # folders on C:.
  set(host_root "")
  if(WIN32 AND CMAKE_HOST_UNIX)
    set(host_root "Z:")
  endif()
  target_compile_definitions(${name} PRIVATE
    GLOWBOX_SOURCE_DIR="${host_root}${PROJECT_SOURCE_DIR}"
    GLOWBOX_CORPUS_DIR="${host_root}${PROJECT_SOURCE_DIR}/../shared/corpus"
    GLOWBOX_BIN_DIR="${host_root}${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    GLOWBOX_EXE_SUFFIX="${CMAKE_EXECUTABLE_SUFFIX}"
    GLOWBOX_SANITIZED=$<BOOL:${GLOWBOX_SANITIZE}>)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  # A cross-built test program lists its tests only when ctest runs it (under
  # the emulator), not at every build.
  set(discovery POST_BUILD)
  if(CMAKE_CROSSCOMPILING)
    set(discovery PRE_TEST)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE ${discovery} PROPERTIES TIMEOUT 600)
endfunction()

function(glowbox_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE
    GLOWBOX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    GLOWBOX_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus"
    GLOWBOX_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()
