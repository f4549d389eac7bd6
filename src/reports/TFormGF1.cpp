// The window of forest fund report 1.
#include "reports/TFormGF1.h"

#include "core/QtText.h"
#include "reports/TFormGF1Print.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace dx {

void setReportPanel(QLabel *panel, const QString &text)
{
    panel->setText(text);
    panel->setFixedWidth(6 * int(text.size()));
}

TFormGF1::TFormGF1(WindowContext &context)
    : TFormWindow(QStringLiteral("ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите"),
                  context.owner()),
      context_(context), model_(makeGF1Model())
{
    setObjectName(QStringLiteral("FormGF1"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    resize(800, 640);

    menuBar_ = new QMenuBar(this);
    QMenu *file = menuBar_->addMenu(QStringLiteral("Файл"));
    commands_[int(Command::Preview)] = file->addAction(QStringLiteral("Изглед преди печат"), this, &TFormGF1::preview);
    commands_[int(Command::Print)] = file->addAction(QStringLiteral("Печат"), this, &TFormGF1::print);
    commands_[int(Command::Copy)] = file->addAction(QStringLiteral("Копирай в Clipboard"), this, &TFormGF1::copyToClipboard);
    file->addSeparator();
    commands_[int(Command::Exit)] = file->addAction(QStringLiteral("Изход"), this, &TFormGF1::close);

    grid_ = makeReadOnlyGrid(model_.get());
    grid_->setObjectName(QStringLiteral("DBGridEH1"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setColumnWidth(0, 200);
    // Each area column as wide as its own title needs, and no narrower than 90 pixels.
    for (int c = 1; c < model_->columnCount(); ++c) {
        const QString title = model_->column(c).title.section(QLatin1Char('|'), -1);
        grid_->setColumnWidth(c, std::max(90, grid_->fontMetrics().horizontalAdvance(title) + 16));
    }

    auto *status = new QStatusBar;
    status->setSizeGripEnabled(false);
    for (QLabel *&panel : panels_) {
        panel = new QLabel;
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        status->addWidget(panel);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(grid_, 1);
    layout->addWidget(status);
}

void TFormGF1::BuildReport(ForestFundProgress *progress)
{
    const AppState &state = context_.state();
    filter_ = state.ownership.filter;
    setReportPanel(panels_[0], QLatin1Char(' ') + filter_.projectHeading);
    setReportPanel(panels_[1], filter_.description);
    try {
        report_ = BuildGF1(context_.state().db, state.projectTablePath, filter_, progress);
    } catch (const std::exception &e) {
        report_ = GF1Report();
        context_.showMessage({plainCaption(), QStringLiteral("Отчетът не може да бъде съставен."),
                              UserMessage::Icon::Error, qs(e.what())});
    }
    fillGF1Model(*model_, report_);
    if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));
}

void TFormGF1::copyToClipboard()
{
    CopyGridToClipboard(grid_, false, gf1CopyHeading(filter_));
}

void TFormGF1::preview()
{
    if (auto *form = context_.windows().get<TFormGF1Print>()) {
        form->setReport(model_.get(), filter_);
        form->preview(this);
    }
}

void TFormGF1::print()
{
    if (auto *form = context_.windows().get<TFormGF1Print>()) {
        form->setReport(model_.get(), filter_);
        if (!form->print())
            context_.showMessage({plainCaption(), QStringLiteral("Отчетът не може да бъде отпечатан."),
                                  UserMessage::Icon::Error, QStringLiteral("no printer can be used")});
    }
}

} // namespace dx
