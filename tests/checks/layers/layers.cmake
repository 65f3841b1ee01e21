set(QJ_LAYER_FOLDERS low mid top)
set(QJ_LAYER_low "")
set(QJ_LAYER_mid low)
set(QJ_LAYER_top mid low)
