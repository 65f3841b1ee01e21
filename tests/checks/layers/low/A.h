#pragma once
#include <vector>
#include "low/A2.h"
#include "mid/B.h"
