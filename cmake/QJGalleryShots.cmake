# Run by CTest before the tests: one test per gallery page (`gallery_shots:<page>`, running
# `gallery --shot DIR --page <page>`), so the pages render in parallel and no single test holds
# up the end of the run. The list is made again whenever the program is newer than it.
#
# Set by the caller: QJ_GALLERY (the program), QJ_GALLERY_LIST (the file written),
# QJ_GALLERY_SHOTS (the folder of the shots).

function(qj_write_page_list)
  execute_process(COMMAND "${QJ_GALLERY}" --list
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 60)
  if(NOT result EQUAL 0)
    file(WRITE "${QJ_GALLERY_LIST}"
      "add_test([==[gallery_shots:LIST_FAILED]==] [==[${QJ_GALLERY}]==] --list)\n")
    message(WARNING "${QJ_GALLERY} --list failed (${result}): ${errors}")
    return()
  endif()
  string(REPLACE ";" "\\;" listing "${listing}")
  string(REPLACE "\n" ";" pages "${listing}")
  set(script "")
  foreach(page IN LISTS pages)
    if(page STREQUAL "")
      continue()
    endif()
    set(name "gallery_shots:${page}")
    # A page renders in every variant: it costs as much as a large suite, so it starts early.
    string(APPEND script
      "add_test([==[${name}]==] [==[${QJ_GALLERY}]==] --shot [==[${QJ_GALLERY_SHOTS}]==] --page [==[${page}]==])\n"
      "set_tests_properties([==[${name}]==] PROPERTIES"
      " ENVIRONMENT [==[LC_ALL=C;TZ=UTC;QJ_BACKEND=headless]==] COST 100)\n")
  endforeach()
  file(WRITE "${QJ_GALLERY_LIST}" "${script}")
endfunction()

if(NOT EXISTS "${QJ_GALLERY}")
  add_test([==[gallery_shots:NOT_BUILT]==] [==[gallery_NOT_BUILT]==])
  return()
endif()
if(NOT EXISTS "${QJ_GALLERY_LIST}" OR "${QJ_GALLERY}" IS_NEWER_THAN "${QJ_GALLERY_LIST}")
  qj_write_page_list()
endif()
include("${QJ_GALLERY_LIST}")
