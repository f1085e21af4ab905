#pragma once
#include "ChartData.h"
#include "ChartKinds.h"

class QChart;
class QFont;

// Draws one page of labelled values onto a Qt chart, for the screen and for paper alike.
namespace ChartDrawing {

// Replaces the chart's series and axes by the page's items, every text in font. The item
// labels and the room under them take the bottom margin below the plot; rotated labels
// longer than that end in "…".
void draw(QChart &chart, const ChartData &data, int page, const ChartOptions &options, const QFont &font);

} // namespace ChartDrawing
