# Runs a check on a fixture tree that breaks the check's rules on purpose, and fails unless the
# check fails and reports exactly the violations the fixture lists (expected.txt, one a line).
#   cmake -DQJ_CHECK=<check script> -DQJ_FIXTURE=<tree with layers.cmake and expected.txt> -P ...
cmake_minimum_required(VERSION 3.25)

execute_process(
  COMMAND ${CMAKE_COMMAND} -DQJ_ROOT=${QJ_FIXTURE} -DQJ_LAYERS=${QJ_FIXTURE}/layers.cmake -P ${QJ_CHECK}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "the check passed a tree that breaks its rules:\n${output}")
endif()

string(REGEX MATCHALL "violation: [^\n]*" reported "${output}")
file(STRINGS ${QJ_FIXTURE}/expected.txt expected)
list(SORT reported)
list(SORT expected)
if(NOT reported STREQUAL expected)
  list(JOIN reported "\n  " reportedText)
  list(JOIN expected "\n  " expectedText)
  message(FATAL_ERROR "reported:\n  ${reportedText}\nexpected:\n  ${expectedText}")
endif()
message("the check reported the ${QJ_FIXTURE} violations and failed")
