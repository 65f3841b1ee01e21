#include "mid/B.h"
// #include "top/C.h" in a comment is no include
#include "top/C.h"
