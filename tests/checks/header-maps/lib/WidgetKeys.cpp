// WidgetKeys
