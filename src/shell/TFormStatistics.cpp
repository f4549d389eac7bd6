// The project information window.
#include "shell/TFormStatistics.h"

#include "core/GridModel.h"
#include "core/QtText.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/WindowContext.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {

TFormStatistics::TFormStatistics(WindowContext &context)
    : TFormWindow(QStringLiteral("Информация за проекта"), context.owner()), context_(context)
{
    auto *layout = new QVBoxLayout(this);
    heading_ = new QLabel(this);
    layout->addWidget(heading_);
    auto *figures = new QGridLayout;
    const QString captions[3] = {QStringLiteral("Отдели"), QStringLiteral("Подотдели"), QStringLiteral("Площ")};
    for (int i = 0; i < 3; ++i) {
        figures->addWidget(new QLabel(captions[i], this), i, 0);
        values_[i] = new QLabel(QStringLiteral("-"), this);
        figures->addWidget(values_[i], i, 1);
    }
    layout->addLayout(figures);
    model_ = new DataGridModel({GridColumn(QStringLiteral("Sob")), GridColumn(QStringLiteral("Area"))}, this);
    grid_ = makeReadOnlyGrid(model_);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setColumnWidth(0, 200);
    layout->addWidget(grid_, 1);
    copy_ = new QPushButton(QStringLiteral("Копирай"), this);
    close_ = new QPushButton(QStringLiteral("Затвори"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    connect(copy_, &QPushButton::clicked, this, [this] { Copy(); });
    connect(close_, &QPushButton::clicked, this, [this] {
        model_->setRows({}); // closing deactivates the ownership table
        hide();
    });
    setFixedWidth(305);
}

void TFormStatistics::FillStatistics()
{
    AppState &st = context_.state();
    heading_->setText(st.title + QLatin1Char(' ') + st.year + QStringLiteral("г."));
    for (QLabel *v : values_) v->setText(QStringLiteral("-"));
    model_->setRows({});
    stats_ = {};
    try {
        stats_ = computeStatistics(st);
    } catch (const std::exception &e) {
        context_.showMessage({plainCaption(), qs(e.what()), UserMessage::Icon::Error});
        return;
    }
    values_[0]->setText(QString::number(stats_.compartments));
    values_[1]->setText(QString::number(stats_.subCompartments));
    values_[2]->setText(stats_.areaText);
    QList<DataGridModel::Row> rows;
    for (const OwnershipArea &o : stats_.ownership) rows.push_back({o.sob, o.area});
    model_->setRows(rows);
    close_->setFocus();
}

void TFormStatistics::Copy()
{
    ProjectStatistics shown = stats_;
    shown.areaText = values_[2]->text();
    QGuiApplication::clipboard()->setText(statisticsText(context_.state(), shown));
}

void TFormStatistics::showEvent(QShowEvent *event)
{
    TFormWindow::showEvent(event);
    if (QScreen *screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
    FillStatistics();
}

} // namespace dx
