// The window of forest fund report 2.
#include "reports/TFormGF2.h"

#include "core/QtText.h"
#include "reports/GuiLevelsHeader.h"
#include "reports/TFormGF1.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QResizeEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {
namespace {

QTableView *reportGrid(QAbstractItemModel *model, const QString &name)
{
    auto *grid = new QTableView;
    grid->setObjectName(name);
    grid->setHorizontalHeader(new LevelsHeader(grid));
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setColumnWidth(0, 220);
    for (int c = 1; c < model->columnCount(); ++c) grid->setColumnWidth(c, 56);
    return grid;
}

} // namespace

TFormGF2::TFormGF2(WindowContext &context)
    : TFormWindow(QStringLiteral("ОГФ 2 - Отчет за разпределение на залесената горска площ по дървесни видове и "
                                 "класове на възраст"),
                  context.owner()),
      context_(context), models_{makeGF2Model(kGF2Upper), makeGF2Model(kGF2Lower)}
{
    setObjectName(QStringLiteral("FormGF2"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    resize(800, 600);

    menuBar_ = new QMenuBar(this);
    QMenu *file = menuBar_->addMenu(QStringLiteral("Файл"));
    commands_[int(Command::Copy)] = file->addAction(QStringLiteral("Копирай в Clipboard"), this, &TFormGF2::copyToClipboard);
    file->addSeparator();
    commands_[int(Command::Exit)] = file->addAction(QStringLiteral("Изход"), this, &TFormGF2::close);

    splitter_ = new QSplitter(Qt::Vertical);
    grids_[0] = reportGrid(models_[0].get(), QStringLiteral("DBGridEH1"));
    grids_[1] = reportGrid(models_[1].get(), QStringLiteral("DBGridEH2"));
    splitter_->addWidget(grids_[0]);
    splitter_->addWidget(grids_[1]);

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
    layout->addWidget(splitter_, 1);
    layout->addWidget(status);
}

void TFormGF2::resizeEvent(QResizeEvent *event)
{
    TFormWindow::resizeEvent(event);
    // The upper grid takes half the window's height less 20 pixels.
    const int upper = std::max(0, (event->size().height() + 1) / 2 - 20);
    splitter_->setSizes({upper, std::max(0, splitter_->height() - splitter_->handleWidth() - upper)});
}

void TFormGF2::BuildReport(ForestFundProgress *progress)
{
    AppState &state = context_.state();
    filter_ = state.ownership.filter;
    const OwnershipChoice choice = state.ownership.choice;
    setReportPanel(panels_[0], QLatin1Char(' ') + filter_.projectHeading);
    setReportPanel(panels_[1], filter_.description);
    QStringList errors;
    const auto groups = loadGF2Groups(state.db, state.nomenclaturePath(), &errors);
    const std::vector<GF2Table> tables =
        BuildGF2(state.db, state.projectTablePath, choice, groups, {kGF2Upper, kGF2Lower}, progress);
    const GF2Table &upper = tables[0], &lower = tables[1];
    fillGF2Model(*models_[0], upper);
    fillGF2Model(*models_[1], lower);
    errors << upper.errors;
    for (int i = 0; i < 2; ++i)
        if (models_[i]->rowCount() > 0) grids_[i]->setCurrentIndex(models_[i]->index(0, 0));
    if (!errors.isEmpty())
        context_.showMessage({plainCaption(), QStringLiteral("Отчетът не е пълен: грешка в базата данни."),
                              UserMessage::Icon::Error, errors.join(QLatin1Char('\n'))});
}

void TFormGF2::copyToClipboard()
{
    CopyTwoGridsToClipboard(grids_[0], grids_[1], false, gf2LowerHeading(), gf2UpperHeading(filter_));
}

} // namespace dx
