# The test and benchmark frameworks are optional for a build: `make demo` needs
# neither. GoogleTest comes from an installed package, else from the sources
# Debian ships in /usr/src/googletest (built here, no root needed); without
# either the tests are left out. Google Benchmark is used only when installed.

find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(GLOWBOX_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources built when no installed GoogleTest is found")
  if(EXISTS "${GLOWBOX_GTEST_SOURCE_DIR}/CMakeLists.txt")
    message(STATUS "GoogleTest: building from ${GLOWBOX_GTEST_SOURCE_DIR}")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory("${GLOWBOX_GTEST_SOURCE_DIR}" "${PROJECT_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    set(GTest_FOUND TRUE)
  else()
    message(WARNING "GoogleTest: not installed and no sources in ${GLOWBOX_GTEST_SOURCE_DIR}; tests are left out (install Debian's googletest or libgtest-dev)")
  endif()
endif()
if(GTest_FOUND)
  include(GoogleTest)
endif()

find_package(benchmark QUIET)
if(NOT benchmark_FOUND)
  message(STATUS "Google Benchmark not found: benchmarks are left out")
endif()
