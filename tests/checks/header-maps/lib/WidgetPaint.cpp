// WidgetPaint
