include(${CMAKE_CURRENT_LIST_DIR}/QJUnity.cmake)

# Registers a test program with CTest, its suites in groups of about a hundred cases, listed when
# CTest starts (cmake/QJTestSuites.cmake).
function(qj_add_test_suites target)
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT
"set(QJ_TEST_PROGRAM [==[$<TARGET_FILE:${target}>]==])
set(QJ_TEST_NAME [==[${target}]==])
set(QJ_TEST_LIST [==[${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake]==])
set(QJ_TEST_WORKDIR [==[${CMAKE_BINARY_DIR}]==])
set(QJ_TEST_ENV [==[LC_ALL=C;TZ=UTC;QJ_BACKEND=headless]==])
include([==[${CMAKE_SOURCE_DIR}/cmake/QJTestSuites.cmake]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()

# The virtual screen: a private Xvfb server and reads of its screen (tests/support/XDisplay.cpp).
# The end-to-end tests and the benchmarks share it, so it builds whatever QJ_BUILD_TESTS says.
function(qj_virtual_screen)
  add_library(qj_xdisplay STATIC ${CMAKE_SOURCE_DIR}/tests/support/XDisplay.cpp)
  target_include_directories(qj_xdisplay PUBLIC ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(qj_xdisplay PUBLIC ${CMAKE_DL_LIBS} Threads::Threads)
endfunction()

# Helpers shared by the test suites (tests/support/*.cpp), the virtual screen among them.
function(qj_test_support)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/tests/support/XDisplay.cpp)
  if(sources)
    add_library(qj_testsupport STATIC ${sources})
    target_link_libraries(qj_testsupport PUBLIC qj_xdisplay)
  else()
    add_library(qj_testsupport INTERFACE)
    target_link_libraries(qj_testsupport INTERFACE qj_xdisplay)
  endif()
endfunction()

# Checks of the tree that need no compiler (cmake/checks/), run by CTest as check:<name>: on the
# tree, and on tests/checks/<name>, a fixture that breaks the rules, where the check must fail with
# the violations the fixture expects. Every library gets the whole tree as include path, so the
# layering check is what keeps includes to the arrows of cmake/QJLayers.cmake.
function(qj_add_tree_check name script)
  set(check ${CMAKE_SOURCE_DIR}/cmake/checks/${script})
  add_test(NAME check:${name}
           COMMAND ${CMAKE_COMMAND} -DQJ_ROOT=${CMAKE_SOURCE_DIR}
                   -DQJ_LAYERS=${CMAKE_SOURCE_DIR}/cmake/QJLayers.cmake -P ${check})
  add_test(NAME check:${name}:fixture
           COMMAND ${CMAKE_COMMAND} -DQJ_CHECK=${check} -DQJ_FIXTURE=${CMAKE_SOURCE_DIR}/tests/checks/${name}
                   -P ${CMAKE_SOURCE_DIR}/cmake/checks/ExpectViolations.cmake)
  set_tests_properties(check:${name} check:${name}:fixture PROPERTIES LABELS check)
endfunction()

# qj_module(<target> <folder> <deps...>)
# Builds <folder>/**/*.cpp (except the program's entry) into a static library when the folder has
# sources, and tests/<folder>/**/*.cpp into one GoogleTest executable registered with CTest.
# New files are picked up without editing any CMakeLists.
function(qj_module target folder)
  set(deps ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/app/QJEdit\\.cpp$")
  if(NOT sources)
    return()
  endif()
  add_library(${target} STATIC)
  qj_unity_sources(${target} ${QJ_UNITY_BATCH} ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  set(linked)
  foreach(dep IN LISTS deps)
    if(TARGET ${dep} OR dep MATCHES "::")
      list(APPEND linked ${dep})
    endif()
  endforeach()
  target_link_libraries(${target} PUBLIC ${linked})
  if(QJ_BUILD_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()

  if(QJ_BUILD_TESTS)
    file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
    if(test_sources)
      string(REPLACE "qj_" "test_" test_target ${target})
      add_executable(${test_target})
      qj_unity_sources(${test_target} ${QJ_UNITY_TEST_BATCH} ${test_sources})
      target_link_libraries(${test_target} PRIVATE ${target} qj_testsupport GTest::gtest_main GTest::gmock)
      target_include_directories(${test_target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
      # Test code is not optimised: the optimiser's time on GoogleTest's macros was the largest
      # single cost of the build. The libraries under test keep the build type's optimisation.
      target_compile_options(${test_target} PRIVATE -O0)
      qj_add_test_suites(${test_target})
    endif()
  endif()
endfunction()
