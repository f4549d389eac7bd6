// The Lists window.
#include "lists/TFormSpisatzi.h"

#include "core/GridModel.h"
#include "core/SafeFileWrite.h"
#include "engine/common/EngineError.h"
#include "lists/GuiAreaChart.h"
#include "lists/ListDbfSave.h"
#include "lists/RtfWriter.h"
#include "lists/SpreadsheetWriter.h"
#include "lists/TFormSpisatziSubInfo.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/TFormSitoRabotnoWait.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {
namespace {

// Restores the normal cursor however the work ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFormSpisatzi::TFormSpisatzi(WindowContext &context)
    : TFormWindow(QStringLiteral("Списъци"), context.owner()), context_(context),
      model_(std::make_unique<DataGridModel>())
{
    setObjectName(QStringLiteral("FormSpisatzi"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setMinimumSize(190, 190);
    model_->setLocale(QLocale::system());

    menuBar_ = new QMenuBar(this);
    QMenu *file = menuBar_->addMenu(QStringLiteral("Файл"));
    commands_[int(Command::Copy)] = file->addAction(QStringLiteral("Копирай"), this, &TFormSpisatzi::N1Click);
    commands_[int(Command::Save)] = file->addAction(QStringLiteral("Запиши като.."), this, &TFormSpisatzi::N4Click);
    file->addSeparator();
    commands_[int(Command::Exit)] = file->addAction(QStringLiteral("Изход"), this, &TFormSpisatzi::close);
    tableMenu_ = menuBar_->addMenu(QStringLiteral("Таблици"));
    QMenu *chart = menuBar_->addMenu(QStringLiteral("Диаграма"));
    commands_[int(Command::ShowChart)] = chart->addAction(QStringLiteral("Покажи диаграмата"));
    commands_[int(Command::ShowChart)]->setCheckable(true);
    connect(commands_[int(Command::ShowChart)], &QAction::toggled, this, &TFormSpisatzi::setChartShown);
    commands_[int(Command::SaveChart)] = chart->addAction(QStringLiteral("Запиши диаграмата като.."), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Запиши диаграмата като.."), QString(),
                                                          QStringLiteral("PNG (*.png);;SVG (*.svg)"));
        if (!path.isEmpty()) saveChart(path);
    });
    commands_[int(Command::CopyChart)] = chart->addAction(QStringLiteral("Копирай диаграмата"), this, &TFormSpisatzi::copyChart);

    grid_ = makeReadOnlyGrid(model_.get());
    grid_->setObjectName(QStringLiteral("DBGridEh1"));
    connect(grid_, &QTableView::doubleClicked, this, [this] { DBGridEH1DblClick(); });
    chartView_ = new QChartView;
    chartView_->setRenderHint(QPainter::Antialiasing);
    pages_ = new QStackedWidget;
    pages_->addWidget(grid_);
    pages_->addWidget(chartView_);

    auto *status = new QStatusBar;
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    const int widths[4] = {150, 50, 50, 50};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel;
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        panels_[i]->setMinimumWidth(widths[i]);
        status->addWidget(panels_[i], i == 3 ? 1 : 0);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(pages_, 1);
    layout->addWidget(status);
    refreshChart();
}

TFormSpisatzi::~TFormSpisatzi() = default;

QAction *TFormSpisatzi::command(Command c) const { return commands_[int(c)]; }

void TFormSpisatzi::setContent(const ListContent &content)
{
    model_->setColumns(content.columns);
    model_->setRows(content.rows);
    grid_->resizeColumnsToContents();
    if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));
}

void TFormSpisatzi::show(const AreaList &list, const QStringList &fieldNames)
{
    setWindowTitle(list.caption);
    setContent(list.content);
    ownHeading_ = false;
    heading_.clear();
    fieldNames_ = fieldNames;
    mode_ = list.mode;
    chartable_ = true;
    panels_[0]->setText(list.status);
    int width = list.width;
    if (width == 0) {
        for (int c = 0; c < model_->columnCount(); ++c) width += grid_->columnWidth(c) + 15;
    }
    resize(std::max(width, minimumWidth()), std::max(height(), 300));
    refreshChart();
    TFormWindow::show();
    raise();
}

void TFormSpisatzi::engineFailed(const std::exception &e)
{
    if (auto *f = dynamic_cast<const FileWriteError *>(&e)) {
        context_.showMessage(fileWriteMessage(*f));
        return;
    }
    context_.showMessage({plainCaption(), QString::fromUtf8(e.what()), UserMessage::Icon::Error});
}

bool TFormSpisatzi::ViewOtd()
{
    AppState &st = context_.state();
    try {
        WaitCursor wait;
        setWindowTitle(QStringLiteral("Oтдели"));
        show(AreasByCompartment(st.db, st.projectTablePath, QLocale::system()), {"OTD", "P"});
        return true;
    } catch (const std::exception &e) {
        engineFailed(e);
        return false;
    }
}

bool TFormSpisatzi::ViewSpecies()
{
    AppState &st = context_.state();
    TFormSitoRabotnoWait *wait = context_.windows().get<TFormSitoRabotnoWait>();
    if (wait) {
        wait->start(QStringLiteral("Зареждане на данните..."), 100);
        wait->show();
    }
    SpeciesProgress progress;
    if (wait) {
        progress.label = [wait](const QString &t) { wait->setText(t); wait->repaint(); };
        progress.gauge = [wait](int p) { wait->setPosition(p); };
    }
    bool ok = false;
    try {
        WaitCursor cursor;
        show(AreasBySpecies(st.db, st.projectTablePath, st.programDir, progress, QLocale::system()),
             {"TXT", "AREA"});
        ok = true;
    } catch (const std::exception &e) {
        if (wait) wait->close();
        engineFailed(e);
        return false;
    }
    if (wait) {
        wait->setText(QStringLiteral("Зареждане на данните..."));
        wait->close();
    }
    return ok;
}

bool TFormSpisatzi::ViewAttribute(int number)
{
    AppState &st = context_.state();
    try {
        WaitCursor wait;
        const QString landArea = st.landArea.active() ? QString::fromStdString(st.landArea.path()) : QString();
        const AreaList list = AreasByAttribute(st.db, st.projectTablePath, number, landArea);
        const AreaAttribute &a = areaAttributes().at(number - 1);
        const bool joined = a.field == QLatin1String("ZEML") && !landArea.isEmpty();
        show(list, {joined ? QStringLiteral("ZEMNAME") : a.field, QStringLiteral("P")});
        return true;
    } catch (const std::exception &e) {
        engineFailed(e);
        return false;
    }
}

void TFormSpisatzi::showList(const ListContent &content)
{
    setContent(content);
    heading_ = content.heading;
    ownHeading_ = true;
    fieldNames_.clear();
    mode_ = 0;
    chartable_ = false;
    setChartShown(false);
    panels_[0]->setText(QStringLiteral("записи: %1").arg(model_->rowCount()));
    refreshChart();
    TFormWindow::show();
    raise();
}

void TFormSpisatzi::addTableMenuEntry(const QString &text, std::function<ListContent()> load)
{
    // One entry per text: a table built again keeps its entry, which loads the new one.
    QAction *entry = nullptr;
    for (QAction *a : tableMenu_->actions())
        if (a->text() == text) entry = a;
    if (entry) entry->disconnect(this);
    else entry = tableMenu_->addAction(text);
    connect(entry, &QAction::triggered, this, [this, load] {
        try {
            showList(load());
        } catch (const std::exception &e) {
            engineFailed(e);
        }
    });
}

void TFormSpisatzi::clearTableMenu() { tableMenu_->clear(); }

void TFormSpisatzi::setTableEntry(const QString &shortName, const QString &description)
{
    entryShort_ = shortName;
    entryDescription_ = description;
}

QString TFormSpisatzi::copyHeading() const
{
    if (ownHeading_) return heading_;
    const OwnershipFilter &f = context_.state().ownership.filter;
    const QString crlf = QStringLiteral("\r\n");
    return entryShort_ + crlf + entryDescription_ + crlf + crlf + f.projectHeading + QStringLiteral(", ") +
           f.description + crlf + crlf;
}

void TFormSpisatzi::N1Click() { CopyGridToClipboard(grid_, true, copyHeading()); }

void TFormSpisatzi::N4Click()
{
    QFileDialog dialog(this, QStringLiteral("Запиши като.."));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = {QStringLiteral("Microsoft Excel (*.xlsx)"), QStringLiteral("Rich Text Format (*.rtf)"),
                                 QStringLiteral("Текст формат (Табулатор разделител) (*.txt)"),
                                 QStringLiteral("dBase Files (*.dbf)")};
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    saveAs(dialog.selectedFiles().first(), int(filters.indexOf(dialog.selectedNameFilter())));
}

bool TFormSpisatzi::saveAs(const QString &chosen, int filter)
{
    try {
        switch (filter) {
        case 0: SaveGridXlsx(*model_, visibleGridColumns(grid_), xlsxFileName(chosen), windowTitle()); break;
        case 1: SaveGridRtf(*model_, visibleGridColumns(grid_), rtfFileName(chosen), windowTitle()); break;
        case 2: SaveGridToTextFile(grid_, true, QStringLiteral("\t"), textFileName(chosen)); break;
        case 3: return Save2Dbf(chosen);
        default: return false;
        }
        return true;
    } catch (const FileWriteError &e) {
        context_.showMessage(fileWriteMessage(e));
        return false;
    }
}

bool TFormSpisatzi::Save2Dbf(const QString &fileName)
{
    if (model_->columnCount() == 0) return false;
    WaitCursor wait;
    const QModelIndex current = grid_->currentIndex();
    DbfSaveProgress progress;
    progress.stage = [this](const QString &t) { panels_[3]->setText(t); panels_[3]->repaint(); };
    progress.percent = [this](int p) { panels_[2]->setText(QStringLiteral("%1%").arg(p)); panels_[2]->repaint(); };
    try {
        const DbfSaveResult r = dx::Save2Dbf(*model_, fieldNames_, dbfSavePath(fileName), progress);
        grid_->setCurrentIndex(current);
        panels_[1]->setText(QString::number(r.records));
        panels_[3]->setText(QStringLiteral("Файлът ") + fileName + QStringLiteral(".dbf") +
                            QStringLiteral(" e запазен успешно."));
        if (!r.renamed.isEmpty())
            context_.showMessage({plainCaption(),
                                  QStringLiteral("Имената на някои колони не се побират в dBase файл и са променени."),
                                  UserMessage::Icon::Information, r.renamed.join(QLatin1Char('\n'))});
        return true;
    } catch (const FileWriteError &e) {
        grid_->setCurrentIndex(current);
        panels_[3]->clear();
        context_.showMessage(fileWriteMessage(e));
        return false;
    }
}

void TFormSpisatzi::DBGridEH1DblClick()
{
    if (mode_ != 1) return;
    const QModelIndex at = grid_->currentIndex();
    if (!at.isValid()) return;
    auto *detail = context_.windows().get<TFormSpisatziSubInfo>();
    if (!detail) return;
    detail->showCompartment(model_->value(at.row(), 0).toInt());
    detail->placeBeside(this);
}

void TFormSpisatzi::closeEvent(QCloseEvent *event)
{
    if (auto *detail = context_.windows().get<TFormSpisatziSubInfo>()) detail->close();
    TFormWindow::closeEvent(event);
}

bool TFormSpisatzi::chartAvailable() const { return chartable_ && model_->columnCount() >= 2; }
bool TFormSpisatzi::chartShown() const { return pages_->currentIndex() == 1; }

AreaChartData TFormSpisatzi::chartData() const
{
    ListContent content;
    content.columns = model_->columns();
    content.rows = model_->rows();
    return areaChartData(content, windowTitle(), context_.state().ownership.filter.ownershipLine());
}

void TFormSpisatzi::refreshChart()
{
    const bool can = chartAvailable();
    for (Command c : {Command::ShowChart, Command::SaveChart, Command::CopyChart}) commands_[int(c)]->setEnabled(can);
    if (!can) {
        pages_->setCurrentIndex(0);
        commands_[int(Command::ShowChart)]->setChecked(false);
        return;
    }
    if (chartShown()) {
        QChart *old = chartView_->chart();
        chartView_->setChart(makeAreaChart(chartData()));
        delete old;
    }
}

void TFormSpisatzi::setChartShown(bool shown)
{
    shown = shown && chartAvailable();
    if (commands_[int(Command::ShowChart)]->isChecked() != shown) commands_[int(Command::ShowChart)]->setChecked(shown);
    pages_->setCurrentIndex(shown ? 1 : 0);
    if (shown) refreshChart();
}

bool TFormSpisatzi::saveChart(const QString &path)
{
    if (!chartAvailable()) return false;
    try {
        saveAreaChart(chartData(), path);
        return true;
    } catch (const FileWriteError &e) {
        context_.showMessage(fileWriteMessage(e));
        return false;
    }
}

void TFormSpisatzi::copyChart()
{
    if (!chartAvailable()) return;
    const AreaChartData data = chartData();
    QApplication::clipboard()->setImage(areaChartImage(data, areaChartSize(data)));
}

} // namespace dx
