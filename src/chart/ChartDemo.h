#pragma once

// Adds the chart window ("chart") to the demo windows: the handsets of the current
// catalogue per manufacturer, or per release year with the argument "year".
void registerChartDemos();
