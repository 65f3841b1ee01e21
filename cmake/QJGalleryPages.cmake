# Run by CTest before the tests: registers one test per gallery page (`gallery:<page>`, running
# `gallery --shot DIR --page <page>`, every variant) and one that renders the page's default
# variant at 192 dpi (`gallery-192dpi:<page>`, into DIR-192dpi). The list is made again whenever
# the program is newer than it.
#
# Set by the caller: QJ_GALLERY (the program), QJ_GALLERY_LIST (the file written), QJ_GALLERY_SHOTS.

# The variant the 192-dpi shots take: the one the interactive gallery opens with.
set(QJ_GALLERY_DPI_VARIANT ultraflat-themes-on)

function(qj_write_gallery_list)
  execute_process(COMMAND "${QJ_GALLERY}" --list
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 60)
  if(NOT result EQUAL 0)
    file(WRITE "${QJ_GALLERY_LIST}" "add_test([==[gallery:LIST_FAILED]==] [==[${QJ_GALLERY}]==] --list)\n")
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
    set(name "gallery:${page}")
    string(APPEND script
      "add_test([==[${name}]==] [==[${QJ_GALLERY}]==] --shot [==[${QJ_GALLERY_SHOTS}]==] --page [==[${page}]==])\n"
      "set_tests_properties([==[${name}]==] PROPERTIES ENVIRONMENT [==[LC_ALL=C;TZ=UTC;QJ_BACKEND=headless]==])\n")
    set(name "gallery-192dpi:${page}")
    string(APPEND script
      "add_test([==[${name}]==] [==[${QJ_GALLERY}]==] --shot [==[${QJ_GALLERY_SHOTS}-192dpi]==] --page [==[${page}]==] --variant ${QJ_GALLERY_DPI_VARIANT})\n"
      "set_tests_properties([==[${name}]==] PROPERTIES ENVIRONMENT [==[LC_ALL=C;TZ=UTC;QJ_BACKEND=headless;QJ_DPI=192]==])\n")
  endforeach()
  file(WRITE "${QJ_GALLERY_LIST}" "${script}")
endfunction()

if(NOT EXISTS "${QJ_GALLERY}")
  add_test([==[gallery:NOT_BUILT]==] [==[gallery_NOT_BUILT]==])
  return()
endif()
if(NOT EXISTS "${QJ_GALLERY_LIST}" OR "${QJ_GALLERY}" IS_NEWER_THAN "${QJ_GALLERY_LIST}")
  qj_write_gallery_list()
endif()
include("${QJ_GALLERY_LIST}")
