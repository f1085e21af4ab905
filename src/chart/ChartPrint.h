#pragma once
#include "ChartData.h"
#include "ChartKinds.h"
#include <QString>

class QPagedPaintDevice;

// One page of a chart on paper: the title centred above, the chart filling the rest.
// False when the device cannot be painted on.
bool printChart(QPagedPaintDevice &device, const ChartData &data, int page, const ChartOptions &options,
                const QString &title);
