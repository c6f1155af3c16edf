# Compile settings shared by every target of our own code.
function(quillon_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12 reports -Wrestrict inside libstdc++'s own string concatenation at -O2 (a known
  # false alarm of that compiler); it says nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# A test executable: lives in <build>/tests, finds the program folder's libraries through
# its RUNPATH, runs under ctest with the offscreen platform.
function(quillon_test name)
  cmake_parse_arguments(QT "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${QT_SOURCES})
  quillon_warnings(${name})
  target_link_libraries(${name} PRIVATE ${QT_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    INSTALL_RPATH "$ORIGIN/..;$ORIGIN")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILLON_BUILD_DIR=${CMAKE_BINARY_DIR};QUILLON_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 120)
endfunction()
