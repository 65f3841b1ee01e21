#pragma once
#include "low/A.h"
#  include "tests/support/X.h"
