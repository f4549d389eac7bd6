// Drawing and saving the area chart with Qt Charts.
#include "lists/GuiAreaChart.h"

#include "core/SafeFileWrite.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>

namespace dx {

QChart *makeAreaChart(const AreaChartData &data)
{
    auto *chart = new QChart;
    chart->setTitle(data.subtitle.isEmpty() ? data.title
                                            : QStringLiteral("<b>%1</b><br>%2").arg(data.title.toHtmlEscaped(),
                                                                                     data.subtitle.toHtmlEscaped()));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    // Horizontal bars, drawn from the bottom up: the largest is given last so that it
    // stands at the top.
    auto *set = new QBarSet(data.valueTitle);
    QStringList categories;
    for (qsizetype i = data.values.size() - 1; i >= 0; --i) {
        *set << data.values[i];
        // Equal labels would share one category; a zero-width space keeps them apart.
        QString label = data.labels[i];
        while (categories.contains(label)) label += QChar(0x200B);
        categories << label;
    }
    set->setLabelColor(Qt::black);
    auto *series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);
    auto *axisY = new QBarCategoryAxis;
    axisY->append(categories);
    axisY->setTruncateLabels(false);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    auto *axisX = new QValueAxis;
    const double top = data.values.isEmpty() ? 1.0 : *std::max_element(data.values.begin(), data.values.end());
    axisX->setRange(0, top > 0 ? top * 1.15 : 1.0);
    axisX->applyNiceNumbers(); // ticks on round values: 0, 500, 1000, ...
    axisX->setTitleText(data.valueTitle);
    axisX->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    return chart;
}

QSize areaChartSize(const AreaChartData &data)
{
    return QSize(900, std::max(300, 120 + 22 * int(data.values.size())));
}

namespace {

void paintChart(const AreaChartData &data, QPaintDevice &device, QSize size)
{
    QGraphicsScene scene;
    QChart *chart = makeAreaChart(data);
    scene.addItem(chart);
    chart->setGeometry(0, 0, size.width(), size.height());
    scene.setSceneRect(0, 0, size.width(), size.height());
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(0, 0, size.width(), size.height()), scene.sceneRect());
}

} // namespace

QImage areaChartImage(const AreaChartData &data, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    paintChart(data, image, size);
    return image;
}

void saveAreaChart(const AreaChartData &data, const QString &path)
{
    const QSize size = areaChartSize(data);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(data.title);
        svg.setDescription(data.subtitle);
        paintChart(data, svg, size);
    } else if (!areaChartImage(data, size).save(&buffer, "PNG")) {
        throw FileWriteError(path, QStringLiteral("рисунката не може да бъде съставена"));
    }
    writeFileSafely(path, buffer.data());
}

} // namespace dx
