#include "C.h"
#include <string>
