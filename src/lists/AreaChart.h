// What the "Диаграма" view of an area list draws: one bar per row, largest first, with
// its value written on it, the list's caption as title and the ownership description as
// subtitle. Plain data, so that the window and dendrix-cli draw the same chart.
#pragma once

#include "lists/ListContent.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dx {

struct AreaChartData {
    QString title;
    QString subtitle;
    QString valueTitle;    // the area column's title
    QStringList labels;    // the first column as shown, largest first
    QList<double> values;
    QStringList valueTexts; // the area as the grid shows it
};

// The bars of a list whose first column names the rows and whose second holds the area;
// rows without an area are left out, equal areas keep the list's order.
AreaChartData areaChartData(const ListContent &content, const QString &title, const QString &subtitle);

} // namespace dx
