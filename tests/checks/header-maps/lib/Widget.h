// A widget.
//
// Where the parts live: Widget.cpp (the widget), WidgetPaint.cpp (painting), WidgetGone.cpp
// (a file that was renamed).
#pragma once

// WidgetKeys.cpp is named here below the map, which does not count.
class TWidget {};
