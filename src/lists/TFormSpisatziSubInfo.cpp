// The compartment detail window.
#include "lists/TFormSpisatziSubInfo.h"

#include "core/GridModel.h"
#include "lists/AreaLists.h"
#include "widgets/WindowContext.h"

#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {

TFormSpisatziSubInfo::TFormSpisatziSubInfo(WindowContext &context)
    : TFormWindow(QString(), context.owner()), context_(context), model_(std::make_unique<DataGridModel>())
{
    setObjectName(QStringLiteral("FormSpisatziSubInfo"));
    model_->setLocale(QLocale::system());
    grid_ = new QTableView;
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(model_.get());
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();
    auto *bar = new QStatusBar;
    bar->setSizeGripEnabled(false);
    status_ = new QLabel;
    bar->addWidget(status_, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(grid_, 1);
    layout->addWidget(bar);
}

TFormSpisatziSubInfo::~TFormSpisatziSubInfo() = default;

bool TFormSpisatziSubInfo::showCompartment(int otd)
{
    AppState &st = context_.state();
    const CompartmentDetailList detail = CompartmentDetail(st.db, st.projectTablePath, otd, QLocale::system());
    setWindowTitle(detail.caption);
    status_->setText(detail.status);
    if (!detail.found) return false;
    model_->setColumns(detail.content.columns);
    model_->setRows(detail.content.rows);
    grid_->resizeColumnsToContents();
    return true;
}

void TFormSpisatziSubInfo::placeBeside(const QWidget *lists)
{
    const QRect frame = lists->frameGeometry();
    // Shown first: a first show sizes and places a window by itself.
    TFormWindow::show();
    const int extra = frameGeometry().height() - height();
    resize(std::max(width(), 260), std::max(1, frame.height() - std::max(0, extra)));
    move(frame.left() + frame.width(), frame.top());
    raise();
}

} // namespace dx
