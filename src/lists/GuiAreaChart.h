// The area chart drawn with Qt Charts: a bar chart of an AreaChartData, shown in the
// Lists window, saved as PNG or SVG and copied as a picture. dendrix-cli draws its
// --chart files through the same functions.
#pragma once

#include "lists/AreaChart.h"

#include <QImage>
#include <QSize>
#include <QString>

class QChart;

namespace dx {

// A new chart of the bars (the caller owns it).
QChart *makeAreaChart(const AreaChartData &data);
// The size a saved chart gets: wide enough for every bar's label.
QSize areaChartSize(const AreaChartData &data);
// The chart as a picture of `size`.
QImage areaChartImage(const AreaChartData &data, QSize size);
// Writes the chart as .png or, for a name ending ".svg" (any case), as SVG. A file that
// cannot be written throws FileWriteError; an older file stays as it was.
void saveAreaChart(const AreaChartData &data, const QString &path);

} // namespace dx
