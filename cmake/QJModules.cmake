# qj_module(<target> <folder> <deps...>)
# Builds <folder>/**/*.cpp (except the program's entry) into a static library when the folder has
# sources, and tests/<folder>/**/*.cpp into one GoogleTest executable registered with CTest.
# New files are picked up without editing any CMakeLists.
# Helpers shared by the test suites (tests/support/*.cpp).
function(qj_test_support)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_library(qj_testsupport STATIC ${sources})
  target_include_directories(qj_testsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(qj_testsupport PUBLIC ${CMAKE_DL_LIBS})
endfunction()

function(qj_module target folder)
  set(deps ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/app/QJEdit\\.cpp$")
  if(NOT sources)
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  set(linked)
  foreach(dep IN LISTS deps)
    if(TARGET ${dep} OR dep MATCHES "::")
      list(APPEND linked ${dep})
    endif()
  endforeach()
  target_link_libraries(${target} PUBLIC ${linked})

  if(QJ_BUILD_TESTS)
    file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
    if(test_sources)
      string(REPLACE "qj_" "test_" test_target ${target})
      add_executable(${test_target} ${test_sources})
      target_link_libraries(${test_target} PRIVATE ${target} qj_testsupport GTest::gtest_main GTest::gmock)
      target_include_directories(${test_target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
      gtest_discover_tests(${test_target}
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        PROPERTIES ENVIRONMENT "LC_ALL=C;TZ=UTC;QJ_BACKEND=headless")
    endif()
  endif()
endfunction()
