# With -DCOVERAGE=ON, after a build: the coverage target runs the whole suite afresh and
# prints the line coverage of src/ (per file in coverage.txt of the build folder).
if(NOT COVERAGE)
  return()
endif()
find_program(GCOVR_PROGRAM gcovr REQUIRED)
add_custom_target(coverage
  COMMAND find ${CMAKE_BINARY_DIR} -name "*.gcda" -delete
  COMMAND ${CMAKE_CTEST_COMMAND} -j2 --output-on-failure
  COMMAND ${GCOVR_PROGRAM} -j 2 --root ${CMAKE_SOURCE_DIR} --filter ${CMAKE_SOURCE_DIR}/src/
          --object-directory ${CMAKE_BINARY_DIR} --txt ${CMAKE_BINARY_DIR}/coverage.txt --print-summary
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  USES_TERMINAL
  COMMENT "Running the tests for coverage")
