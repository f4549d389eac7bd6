// The cuttings sieve's window: its lists, menus, result grid and status bar, bound to the
// core CuttingSieve.
#include "sieves/TFormSitoSechi.h"

#include "core/AppState.h"
#include "core/GridModel.h"
#include "core/SafeFileWrite.h"
#include "lists/RtfWriter.h"
#include "lists/SpreadsheetWriter.h"
#include "printing/PrintRun.h"
#include "sieves/SievePrintChoice.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/GuiGridHelpers.h"
#include "widgets/GuiGroupScrollArea.h"
#include "widgets/GuiGridPrinter.h"
#include "widgets/GuiReportPrinter.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {

namespace {
// The grid's repainting suspended while its model is refilled or walked.
struct RepaintSuspended {
    explicit RepaintSuspended(QWidget *w) : w(w) { w->setUpdatesEnabled(false); }
    ~RepaintSuspended() { w->setUpdatesEnabled(true); }
    QWidget *w;
};
const QStringList kSaveFilters = {QStringLiteral("Microsoft Excel (*.xlsx)"), QStringLiteral("Rich Text Format (*.rtf)")};
}

TFormSitoSechi::TFormSitoSechi(WindowContext &context)
    : TFormWindow(kCuttingSieveCaption, context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSitoSechi"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    auto *criteria = new QGroupBox(QStringLiteral("Критерий"));
    auto *form = new QGridLayout(criteria);
    for (int n = 1; n <= kCuttingSlots; ++n) {
        auto *list = new QComboBox;
        list->setObjectName(QStringLiteral("ComboBox%1").arg(n));
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setMinimumContentsLength(12);
        auto *label = new QLabel(cuttingSlotLabel(n));
        label->setBuddy(list);
        form->addWidget(label, n - 1, 0);
        form->addWidget(list, n - 1, 1);
        connect(list, &QComboBox::editTextChanged, this, [this, n](const QString &t) { typeEdited(n, t); });
        lists_[size_t(n - 1)] = list;
        labels_[size_t(n - 1)] = label;
    }
    form->setRowStretch(kCuttingSlots, 1);

    auto *result = new QGroupBox(QStringLiteral("Резултат"));
    model_ = new DataGridModel(this);
    grid_ = makeReadOnlyGrid(model_);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->verticalHeader()->hide();
    connect(grid_, &QTableView::doubleClicked, this, &TFormSitoSechi::showSubCompartment);
    status_ = new QStatusBar;
    status_->setSizeGripEnabled(false);
    auto *resultLayout = new QVBoxLayout(result);
    resultLayout->addWidget(grid_, 1);
    resultLayout->addWidget(status_);

    auto *layout = new QHBoxLayout(this);
    buildMenus();
    layout->setMenuBar(menuBar_);
    layout->addWidget(new GuiGroupScrollArea(criteria));
    layout->addWidget(result, 1);
    enableResultCommands(false);
    resize(520, 420);
}

void TFormSitoSechi::buildMenus()
{
    menuBar_ = new QMenuBar(this);
    auto add = [this](QMenu *menu, Command c, const char *text, void (TFormSitoSechi::*act)()) {
        QAction *a = menu->addAction(QString::fromUtf8(text));
        if (act) connect(a, &QAction::triggered, this, act);
        commands_[size_t(c)] = a;
        return a;
    };
    QMenu *file = menuBar_->addMenu(QStringLiteral("Файл"));
    add(file, Command::Save, "Запиши резултата като", &TFormSitoSechi::saveList);
    file->addSeparator();
    add(file, Command::Preview, "Изглед преди печат", nullptr);
    add(file, Command::Print, "Печат", nullptr);
    add(file, Command::PrintDescriptions, "Печат на таксационни описания", &TFormSitoSechi::printDescriptions);
    file->addSeparator();
    connect(file->addAction(QStringLiteral("Изход")), &QAction::triggered, this, &QWidget::close);
    connect(command(Command::Preview), &QAction::triggered, this, [this] { printList(true); });
    connect(command(Command::Print), &QAction::triggered, this, [this] { printList(false); });

    QMenu *edit = menuBar_->addMenu(QStringLiteral("Редакция"));
    add(edit, Command::Copy, "Копирай", &TFormSitoSechi::copyList);
    add(edit, Command::Show, "Зареди избрания подотдел", &TFormSitoSechi::showSubCompartment);

    QMenu *filter = menuBar_->addMenu(QStringLiteral("Филтър"));
    add(filter, Command::Search, "Търсене", &TFormSitoSechi::search);
    add(filter, Command::Clear, "Изчисти критериите", &TFormSitoSechi::clearCriteria);
}

void TFormSitoSechi::enableResultCommands(bool on)
{
    for (Command c : {Command::Save, Command::Preview, Command::Print, Command::PrintDescriptions, Command::Copy,
                      Command::Show})
        command(c)->setEnabled(on);
}

void TFormSitoSechi::typeEdited(int slot, const QString &text)
{
    sieve_.setType(slot, text);
    command(Command::Search)->setEnabled(sieve_.searchEnabled());
}

void TFormSitoSechi::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) LoadComboSech();
    TFormWindow::showEvent(event);
}

void TFormSitoSechi::LoadComboSech()
{
    {
        RepaintSuspended quiet(grid_);
        sieve_.show(context_.state());
        model_->setColumns({});
        model_->clearRows();
    }
    const CuttingTypeLists &lists = sieve_.lists();
    for (int n = 1; n <= kCuttingSlots; ++n) {
        QComboBox *list = typeList(n);
        const QSignalBlocker block(list); // an emptied text is no change by the user
        list->clear();
        if (lists.enabled[size_t(n - 1)]) list->addItems(lists.lists[size_t(n - 1)]);
        list->setCurrentIndex(-1);
        list->setEditText(QString());
        list->setEnabled(lists.enabled[size_t(n - 1)]);
        typeLabel(n)->setEnabled(lists.enabled[size_t(n - 1)]);
    }
    status_->clearMessage();
    enableResultCommands(false);
}

void TFormSitoSechi::showResult()
{
    {
        RepaintSuspended quiet(grid_);
        fillCuttingSieveModel(*model_, sieve_.result());
    }
    // As wide as the title needs where the font is larger than the widths were made for.
    for (int c = 0; c < model_->columnCount(); ++c)
        if (const int w = cuttingSieveColumnWidth(c))
            grid_->setColumnWidth(c, std::max(w, grid_->horizontalHeader()->sectionSizeHint(c)));
    status_->showMessage(sieve_.status());
}

void TFormSitoSechi::search()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CuttingSieve::Outcome outcome = sieve_.search(context_.state());
    switch (outcome) {
    case CuttingSieve::Outcome::NothingChosen:
        break;
    case CuttingSieve::Outcome::Failed:
        model_->setColumns({});
        model_->clearRows();
        enableResultCommands(false);
        QApplication::restoreOverrideCursor();
        context_.showMessage(sieve_.failure());
        return;
    case CuttingSieve::Outcome::Rows:
    case CuttingSieve::Outcome::NoRows:
        showResult();
        enableResultCommands(outcome == CuttingSieve::Outcome::Rows);
        break;
    }
    QApplication::restoreOverrideCursor();
}

void TFormSitoSechi::clearCriteria()
{
    for (QComboBox *list : lists_) {
        const QSignalBlocker block(list);
        list->setCurrentIndex(-1);
        list->setEditText(QString());
    }
    sieve_.clear();
    model_->setColumns({});
    model_->clearRows();
    enableResultCommands(false);
    status_->clearMessage();
}

void TFormSitoSechi::copyList()
{
    const AppState &state = context_.state();
    QString text;
    {
        RepaintSuspended quiet(grid_);
        text = cuttingSieveCopyText(*model_, visibleGridColumns(grid_), sieve_.types(), state.title, state.year,
                                    sieve_.status(), state.contactLine);
    }
    QApplication::clipboard()->setText(text);
    grid_->setFocus();
}

std::optional<std::pair<QString, int>> TFormSitoSechi::chooseSaveFile()
{
    if (saveHook_) return saveHook_();
    QFileDialog dialog(this, QStringLiteral("Запиши резултата като"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(kSaveFilters);
    dialog.setDirectory(lastDir_.isEmpty() ? context_.state().programDir : lastDir_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastDir_ = dialog.directory().absolutePath();
    return std::make_pair(dialog.selectedFiles().front(),
                          std::max(0, int(kSaveFilters.indexOf(dialog.selectedNameFilter()))));
}

void TFormSitoSechi::saveList()
{
    const std::optional<std::pair<QString, int>> chosen = chooseSaveFile();
    if (!chosen || chosen->first.isEmpty()) return;
    const QList<int> columns = visibleGridColumns(grid_);
    QString path;
    try {
        if (chosen->second == 1) {
            path = rtfFileName(chosen->first);
            SaveGridRtf(*model_, columns, path, windowTitle());
        } else {
            path = xlsxFileName(chosen->first);
            SaveGridXlsx(*model_, columns, path, windowTitle());
        }
    } catch (const FileWriteError &e) {
        context_.showMessage({windowTitle(), QStringLiteral("Списъкът не е записан във файла %1.").arg(path),
                              UserMessage::Icon::Error, e.reason()});
    }
}

void TFormSitoSechi::printList(bool preview)
{
    GridPrinter printer(grid_);
    printer.setHeader(sieve_.heading());
    printer.setFooterLeft(context_.state().contactLine);
    printer.setOrientation(QPageLayout::Portrait);
    printer.options().pageLayout.setUnits(QPageLayout::Millimeter);
    printer.options().pageLayout.setMargins(QMarginsF(2.0, 2.0, 2.0, 2.0));
    if (printHook_) {
        printHook_(printer, preview);
        return;
    }
    if (preview) printer.preview(this);
    else printer.printWithDialog(this);
}

void TFormSitoSechi::printDescriptions()
{
    const int rows = model_->rowCount();
    if (rows == 0) return;
    if (!context_.ask(descriptionsPrintQuestion(rows), MessageSink::Buttons::OkCancel)) return;
    QVector<RangeEntry> entries;
    for (int r = 0; r < rows; ++r) entries.push_back({model_->displayText(r, 0).toInt(), model_->displayText(r, 1)});
    DescriptionComposer composer(context_.state());
    PrintRunOptions o;
    o.report = [this](const UserMessage &m) { context_.showMessage(m); };
    std::unique_ptr<PageSink> sink = ReportPrinter::instance().jobSink();
    dx::printDescriptions(context_.state(), composer, entries, *sink, o);
}

void TFormSitoSechi::showSubCompartment()
{
    const QModelIndex current = grid_->currentIndex();
    if (model_->rowCount() == 0 || !current.isValid()) return;
    emit subCompartmentChosen(model_->displayText(current.row(), 0), model_->displayText(current.row(), 1));
    grid_->setFocus();
}

} // namespace dx
