# Run by CTest before the tests: registers a test program's GoogleTest suites with CTest in groups
# of whole suites of about QJ_TEST_GROUP_CASES cases each (`<program>:<first suite>+<more>`,
# running `--gtest_filter=<suite>.*:...`, labelled with every suite it runs: `ctest -L <suite>`).
# Every process pays the program's start and the sanitizers' exit checks (about a second in the
# sanitizer build): one process per suite spent more time there than in the tests, while groups
# still spread the programs over every core. The list is made again whenever the program is newer
# than it.
#
# Set by the caller: QJ_TEST_PROGRAM, QJ_TEST_NAME, QJ_TEST_LIST (the file written),
# QJ_TEST_WORKDIR, QJ_TEST_ENV (a list of VAR=value).

set(QJ_TEST_GROUP_CASES 100)

# Appends to <script_var> one test that runs the suites of <group>, whose cases number <cases>.
function(qj_group_test script_var group cases)
  list(GET group 0 first)
  list(LENGTH group size)
  set(name "${QJ_TEST_NAME}:${first}")
  if(size GREATER 1)
    math(EXPR more "${size} - 1")
    string(APPEND name "+${more}")
  endif()
  list(TRANSFORM group APPEND ".*" OUTPUT_VARIABLE patterns)
  list(JOIN patterns ":" filter)
  string(APPEND ${script_var}
    "add_test([==[${name}]==] [==[${QJ_TEST_PROGRAM}]==] [==[--gtest_filter=${filter}]==])\n"
    "set_tests_properties([==[${name}]==] PROPERTIES WORKING_DIRECTORY [==[${QJ_TEST_WORKDIR}]==]"
    " ENVIRONMENT [==[${QJ_TEST_ENV}]==] LABELS [==[${group}]==] COST ${cases})\n")
  set(${script_var} "${${script_var}}" PARENT_SCOPE)
endfunction()

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
  if(suites)
    list(GET suites -1 last_suite)
  endif()
  set(group)
  set(group_cases 0)
  foreach(suite IN LISTS suites)
    list(APPEND group ${suite})
    math(EXPR group_cases "${group_cases} + ${cases_${suite}}")
    if(group_cases GREATER_EQUAL QJ_TEST_GROUP_CASES OR suite STREQUAL last_suite)
      qj_group_test(script "${group}" ${group_cases})
      set(group)
      set(group_cases 0)
    endif()
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
