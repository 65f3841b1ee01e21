# The library folders and the folders each one's sources may include: the arrows of
# ARCHITECTURE.md, section 2 (those of the platform layer are its link dependencies). A folder may
# always include its own headers; tests/, tools/, bench/ and fuzz/ may include anything and are
# not listed. Read by the checks in cmake/checks/ (CTest: check:layers, check:header-maps).
set(QJ_PLATFORM platform/rtl platform/os platform/forms platform/net platform/data)

set(QJ_LAYER_FOLDERS ${QJ_PLATFORM} core lookandfeel editors grid pagecontrol statusbar dataaware treelist app)

set(QJ_LAYER_platform/rtl "")
set(QJ_LAYER_platform/os platform/rtl)
set(QJ_LAYER_platform/forms platform/os platform/rtl)
set(QJ_LAYER_platform/net platform/rtl)
set(QJ_LAYER_platform/data platform/rtl)
set(QJ_LAYER_core platform/rtl)
set(QJ_LAYER_lookandfeel core ${QJ_PLATFORM})
set(QJ_LAYER_editors lookandfeel core ${QJ_PLATFORM})
set(QJ_LAYER_grid pagecontrol editors lookandfeel core ${QJ_PLATFORM})
set(QJ_LAYER_pagecontrol lookandfeel core ${QJ_PLATFORM})
set(QJ_LAYER_statusbar lookandfeel core ${QJ_PLATFORM})
# ARCHITECTURE.md names grid, editors, core and platform/data for dataaware, but its lookup edits
# are controls like the editors below it: they paint through the look and feel and live on forms.
set(QJ_LAYER_dataaware grid editors lookandfeel core ${QJ_PLATFORM})
set(QJ_LAYER_treelist ${QJ_PLATFORM})
set(QJ_LAYER_app core lookandfeel editors grid pagecontrol statusbar dataaware treelist ${QJ_PLATFORM})

# Sources that are a program's entry rather than part of a library: they need no header.
set(QJ_PROGRAM_ENTRIES app/QJEdit.cpp)

# A header longer than this starts with a map of where its parts live.
set(QJ_HEADER_MAP_LINES 500)
