// Widget
