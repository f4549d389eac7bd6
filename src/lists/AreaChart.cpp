// The bars of an area list's chart.
#include "lists/AreaChart.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

namespace dx {

AreaChartData areaChartData(const ListContent &content, const QString &title, const QString &subtitle)
{
    AreaChartData out;
    out.title = title;
    out.subtitle = subtitle;
    if (content.columns.size() < 2) return out;
    out.valueTitle = content.columns[1].title;
    DataGridModel model(content.columns);
    model.setRows(content.rows);
    std::vector<int> order;
    for (int r = 0; r < model.rowCount(); ++r) {
        bool ok = false;
        model.value(r, 1).toDouble(&ok);
        if (ok) order.push_back(r);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return model.value(a, 1).toDouble() > model.value(b, 1).toDouble();
    });
    for (int r : order) {
        out.labels << model.displayText(r, 0);
        out.values << model.value(r, 1).toDouble();
        out.valueTexts << model.displayText(r, 1);
    }
    return out;
}

} // namespace dx
