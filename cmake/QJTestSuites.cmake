# Run by CTest before the tests: registers one CTest test per GoogleTest suite of a test program
# (`<program>:<suite>`, running `--gtest_filter=<suite>.*`). One process per case spent most of
# the test time starting processes; a suite keeps the names readable and still spreads the
# programs over every core. The list is made again whenever the program is newer than it.
#
# Set by the caller: QJ_TEST_PROGRAM, QJ_TEST_NAME, QJ_TEST_LIST (the file written),
# QJ_TEST_WORKDIR, QJ_TEST_ENV (a list of VAR=value).

function(qj_write_suite_list)
  execute_process(COMMAND "${QJ_TEST_PROGRAM}" --gtest_list_tests
    WORKING_DIRECTORY "${QJ_TEST_WORKDIR}"
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result
    TIMEOUT 60)
  if(NOT result EQUAL 0)
    file(WRITE "${QJ_TEST_LIST}"
      "add_test([==[${QJ_TEST_NAME}:LIST_FAILED]==] [==[${QJ_TEST_PROGRAM}]==] --gtest_list_tests)\n")
    message(WARNING "${QJ_TEST_PROGRAM} --gtest_list_tests failed (${result}): ${errors}")
    return()
  endif()

  # A suite line is "Suite.", a case line is indented. The comments that follow either ("  #
  # TypeParam = ...", "  # GetParam() = ...") go first: parameters may hold brackets or
  # semicolons, which would spoil the list of lines.
  string(REGEX REPLACE "  #[^\n]*" "" listing "${listing}")
  string(REPLACE ";" "\\;" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(suites)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ ][^ ]*)\\.$")
      set(suite "${CMAKE_MATCH_1}")
      list(APPEND suites "${suite}")
      set(cases_${suite} 0)
    elseif(line MATCHES "^  [^ ]" AND DEFINED suite)
      math(EXPR cases_${suite} "${cases_${suite}} + 1")
    endif()
  endforeach()

  set(script "")
  foreach(suite IN LISTS suites)
    set(name "${QJ_TEST_NAME}:${suite}")
    string(APPEND script
      "add_test([==[${name}]==] [==[${QJ_TEST_PROGRAM}]==] [==[--gtest_filter=${suite}.*]==])\n"
      "set_tests_properties([==[${name}]==] PROPERTIES WORKING_DIRECTORY [==[${QJ_TEST_WORKDIR}]==]"
      " ENVIRONMENT [==[${QJ_TEST_ENV}]==] COST ${cases_${suite}})\n")
  endforeach()
  file(WRITE "${QJ_TEST_LIST}" "${script}")
endfunction()

if(NOT EXISTS "${QJ_TEST_PROGRAM}")
  add_test([==[${QJ_TEST_NAME}:NOT_BUILT]==] [==[${QJ_TEST_NAME}_NOT_BUILT]==])
  return()
endif()
if(NOT EXISTS "${QJ_TEST_LIST}" OR "${QJ_TEST_PROGRAM}" IS_NEWER_THAN "${QJ_TEST_LIST}")
  qj_write_suite_list()
endif()
include("${QJ_TEST_LIST}")
