#include "grid/qvGridDetailsSite.h"

QJ_IMPLEMENT_CLASS(TqvGridDetailsSiteTabHitTest)
