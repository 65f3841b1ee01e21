# Fails when a source of a library folder includes a header of a folder its arrows do not reach.
#   cmake -DQJ_ROOT=<tree> -DQJ_LAYERS=<table, as cmake/QJLayers.cmake> -P Layers.cmake
# Every project include names its folder from the tree's root ("core/qvClasses.h"); one without a
# folder is the including folder's own. Each violation prints as "violation: ..." and the script
# ends with an error.
cmake_minimum_required(VERSION 3.25)
include(${QJ_LAYERS})

set(violations 0)
foreach(folder IN LISTS QJ_LAYER_FOLDERS)
  set(allowed ${folder} ${QJ_LAYER_${folder}})
  file(GLOB sources RELATIVE ${QJ_ROOT} ${QJ_ROOT}/${folder}/*.h ${QJ_ROOT}/${folder}/*.cpp)
  list(SORT sources)
  foreach(source IN LISTS sources)
    file(STRINGS ${QJ_ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
      get_filename_component(target ${header} DIRECTORY)
      if(target STREQUAL "")
        continue()
      endif()
      if(NOT target IN_LIST allowed)
        message("violation: ${source} includes ${header}: ${folder} may not include ${target}")
        math(EXPR violations "${violations} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) against the layering (see ${QJ_LAYERS})")
endif()
