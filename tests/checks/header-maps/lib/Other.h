// Another header that claims a part of the widget.
//
// Where the parts live: WidgetPaint.cpp.
#pragma once
