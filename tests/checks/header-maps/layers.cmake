set(QJ_LAYER_FOLDERS lib)
set(QJ_LAYER_lib "")
set(QJ_PROGRAM_ENTRIES lib/Main.cpp)
set(QJ_HEADER_MAP_LINES 10)
