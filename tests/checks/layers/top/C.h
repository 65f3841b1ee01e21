#pragma once
#include "low/A.h"
#include "mid/B.h"
