#include "shell/TFormDendrix.h"

#include "core/GridModel.h"
#include "core/QtText.h"
#include "core/Quoting.h"
#include "core/SafeFileWrite.h"
#include "description/CurrentComposition.h"
#include "description/DescriptionHeader.h"
#include "description/FutureComposition.h"
#include "description/GuiMeasuresPage.h"
#include "shell/ProjectSwitch.h"
#include "description/ProjectRecord.h"
#include "export/DescriptionText.h"
#include "shell/GuiHelp.h"
#include "shell/InfoStatus.h"
#include "shell/Navigation.h"
#include "shell/TFormAbout.h"
#include "shell/TFormLoading.h"
#include "shell/TFormShellWindows.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/GuiReportPrinter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace dx {

// The windows of the other subsystems that the menus open, known here by type only.
class TFormEditDB;
class TFormEditZemName;
class TFormExport;
class TFormPrintEdin;
class TFormPrintListFromFile;
class TFormPrintOtDo;
class TFormPrintPList;
class TFormPrintSet;
class TFormSitoOBS;
class TFormSitoRabotno;
class TFormSitoSechi;
class TFormSob;
class TFormSpisatzi;
class TFormSpisatziQuery;
class TFormSpisatziSechi;
class TFormTableSelect;

namespace {

const QString kCompany = QString::fromUtf8(kCompanyLine);
const QKeySequence kPriorSubCompartmentKeys(Qt::ALT | Qt::Key_Left);
const QKeySequence kNextSubCompartmentKeys(Qt::ALT | Qt::Key_Right);
const QKeySequence kPriorCompartmentKeys(Qt::ALT | Qt::Key_PageUp);
const QKeySequence kNextCompartmentKeys(Qt::ALT | Qt::Key_PageDown);

// The loading sequence's view of the main window: loading window, boxes, lists.
class GuiStartupUi : public StartupUi {
public:
    GuiStartupUi(TFormDendrix &main, TFormLoading &loading) : main_(main), loading_(loading) {}
    void showLoading() override { loading_.showNow(); }
    void status(const QString &text) override { loading_.setStatus(text); }
    void closeLoading() override { loading_.hide(); }
    void message(const UserMessage &m) override { main_.showMessage(m); }
    void disableProjectSelection() override { main_.projectSelectionAction()->setEnabled(false); }
    void captionChanged() override { main_.setWindowTitle(state->caption()); }
    void listsChanged() override { main_.showLists(); }
    void showDescription(int otd, const QString &podotd) override { main_.ViewTax(otd, podotd); }
    void countsChanged(const QString &text) override { main_.countsPanel()->setText(text); }
    void setupMeasures() override { main_.measuresPage()->InitMer(); }
    void clearBuiltTables() override { emit main_.builtTablesCleared(); }

private:
    TFormDendrix &main_;
    TFormLoading &loading_;
};

// The composition grid draws its totals row "всичко" bold and right-aligned in the
// species, stock and use columns.
class CompositionModel : public DataGridModel {
public:
    using DataGridModel::DataGridModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if ((role == Qt::FontRole || role == Qt::TextAlignmentRole) && isTotalsCell(index)) {
            if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
            QFont f;
            f.setBold(true);
            return f;
        }
        return DataGridModel::data(index, role);
    }

private:
    bool isTotalsCell(const QModelIndex &index) const
    {
        static const QStringList bold = {"DV", "V1", "V", "VKLONI", "POLZ1", "POLZ2", "PKLONI"};
        static const QStringList names = compositionColumnNames();
        const int dv = int(names.indexOf(QStringLiteral("DV")));
        if (!index.isValid() || value(index.row(), dv).toString() != QStringLiteral("всичко")) return false;
        return bold.contains(names.value(index.column()));
    }
};

QTableView *makeGrid(DataGridModel *model)
{
    QTableView *grid = makeReadOnlyGrid(model);
    grid->verticalHeader()->setFixedWidth(14);
    grid->setAlternatingRowColors(false);
    return grid;
}

} // namespace

TFormDendrix::TFormDendrix(WindowContext &context) : context_(context), state_(context.state())
{
    setWindowTitle(QStringLiteral("Dendrix "));
    resize(1180, 760);
    context_.setProjectSwitcher([this](const SwitchRequest &r) { return switchToProject(r); });
    buildMenu();
    buildToolbar();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 2);
    buildHeader(central, layout);
    buildPages(layout);
    setCentralWidget(central);

    panel1_ = new QLabel(kCompany);
    panel1_->setFixedWidth(500);
    panel2_ = new QLabel;
    panel2_->setMinimumWidth(220); // wider when the counts need it, never cut
    // A toolbar hint takes the company panel's place for a moment; the counts stay.
    statusBar()->addWidget(panel1_);
    statusBar()->addPermanentWidget(panel2_);
}

TFormDendrix::~TFormDendrix() = default;

void TFormDendrix::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setFont(QFont(QStringLiteral("Tahoma")));
    auto item = [this](QMenu *menu, const QString &caption, std::function<void()> act) {
        QAction *a = menu->addAction(caption);
        connect(a, &QAction::triggered, this, [act] { act(); });
        return a;
    };

    QMenu *file = bar->addMenu(QStringLiteral("Файл"));
    actSelectProject_ = item(file, QStringLiteral("Избор на проект"), [this] { openWindow<TFormSelPrj>(); });
    item(file, QStringLiteral("Информация за проекта"), [this] { openWindow<TFormStatistics>(); });
    item(file, QStringLiteral("Експорт"), [this] {
        // Modeless from here (the working sieve shows it modally with its result).
        if (QWidget *w = context_.windows().widget<TFormExport>(); w && !w->isVisible())
            w->setWindowModality(Qt::NonModal);
        openWindow<TFormExport>();
    });
    QMenu *edit = file->addMenu(QStringLiteral("Редакция"));
    item(edit, QStringLiteral("База данни"), [this] { openDatabaseEditor(); });
    item(edit, QStringLiteral("Землища"), [this] { openWindow<TFormEditZemName>(); });
    item(edit, QStringLiteral("Настройки проект"), [this] { openWindow<TFormEditName>(); });
    file->addSeparator();
    item(file, QStringLiteral("Изход"), [this] { close(); });

    QMenu *queries = bar->addMenu(QStringLiteral("Справки"));
    item(queries, QStringLiteral("Сито работно"), [this] { openWindow<TFormSitoRabotno>(); });
    item(queries, QStringLiteral("Сито ОБС"), [this] { openWindow<TFormSitoOBS>(); });
    item(queries, QStringLiteral("Сито за сечите"), [this] { openWindow<TFormSitoSechi>(); });
    queries->addSeparator();
    item(queries, QStringLiteral("Списък на сечите"), [this] { openCuttingsList(1); });
    item(queries, QStringLiteral("Списък на мероприятията"), [this] { openCuttingsList(2); });

    QMenu *tables = bar->addMenu(QStringLiteral("Таблици"));
    item(tables, QStringLiteral("Площи по отдели"), [this] { emit areasByCompartmentRequested(); });
    item(tables, QStringLiteral("Площи по дървесни видове"), [this] { emit areasBySpeciesRequested(); });
    item(tables, QStringLiteral("Площи по ..."), [this] { openWindow<TFormSpisatziQuery>(); });
    item(tables, QStringLiteral("Таблици физико-географска характеристика"), [this] { openWindow<TFormTableSelect>(); });
    QMenu *fund = tables->addMenu(QStringLiteral("Отчети за горския фонд"));
    item(fund, QStringLiteral("ОГФ 1"), [this] { openForestFundReport(1); });
    item(fund, QStringLiteral("ОГФ 2"), [this] { openForestFundReport(2); });

    QMenu *print = bar->addMenu(QStringLiteral("Печат описания"));
    item(print, QStringLiteral("Единичен печат"), [this] { openWindow<TFormPrintEdin>(); });
    item(print, QStringLiteral("Поточен печат"), [this] { openWindow<TFormPrintOtDo>(); });
    item(print, QStringLiteral("Предотделен лист"), [this] { openWindow<TFormPrintPList>(); });
    item(print, QStringLiteral("Поточен печат от списък"), [this] { openWindow<TFormPrintListFromFile>(); });
    print->addSeparator();
    item(print, QStringLiteral("Настройки принтер"), [this] { openWindow<TFormPrintSet>(); });

    QMenu *help = bar->addMenu(QStringLiteral("Помощ"));
    QAction *contents = item(help, QStringLiteral("Съдържание"), [this] { openHelp(state_.programDir, this); });
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    contents->setShortcutContext(Qt::ApplicationShortcut);
    item(help, QStringLiteral("За прогрмата"), [this] {
        if (auto *about = context_.windows().get<TFormAbout>()) {
            about->setVersion(state_.version);
            openWindow<TFormAbout>();
        }
    });
}

void TFormDendrix::buildToolbar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Придвижване"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [&](const QString &text, const QString &hint, std::function<void()> act, bool bold = false,
                   const QKeySequence &keys = {}) {
        QAction *a = bar->addAction(text);
        a->setStatusTip(hint);
        a->setToolTip(hint);
        if (!keys.isEmpty()) {
            a->setShortcut(keys);
            a->setShortcutContext(Qt::WindowShortcut);
            a->setToolTip(hint + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        }
        if (bold) {
            QFont f = a->font();
            f.setBold(true);
            a->setFont(f);
        }
        connect(a, &QAction::triggered, this, [act] { act(); });
        return a;
    };
    // The moves' keys: Alt with an arrow or a page key, which neither the lists nor the
    // grids use for anything of their own.
    add(QStringLiteral("<"), QStringLiteral("Предишен подотдел"), [this] { priorSubCompartment(); }, true,
        kPriorSubCompartmentKeys);
    add(QStringLiteral("<<"), QStringLiteral("Предишен отдел"), [this] { priorCompartment(); }, false,
        kPriorCompartmentKeys);
    add(QStringLiteral(">>"), QStringLiteral("Следващ отдел"), [this] { nextCompartment(); }, false,
        kNextCompartmentKeys);
    add(QStringLiteral(">"), QStringLiteral("Следващ подотдел"), [this] { nextSubCompartment(); }, true,
        kNextSubCompartmentKeys);
    bar->addSeparator();
    add(QStringLiteral("Филтър"), QStringLiteral("Филтриране на данни"), [this] { openWindow<TFormSitoRabotno>(); });
    add(QStringLiteral("Печат"), QStringLiteral("Директен печат на текущия подотдел"),
        [this] { printCurrentDescription(context_); });
    add(QStringLiteral("Копирай"), QStringLiteral("Копирай текущия подотдел"), [this] { copyCurrentSubCompartment(); });
}

void TFormDendrix::copyCurrentSubCompartment()
{
    if (!state_.hasCurrent) return;
    const QString text = currentSubCompartmentText(state_, state_.currentOtd, state_.currentPodotd,
                                                   [this](const UserMessage &m) { showMessage(m); });
    QGuiApplication::clipboard()->setText(text);
}

void TFormDendrix::buildHeader(QWidget *parent, QVBoxLayout *layout)
{
    auto box = [this](const QString &name) {
        auto *e = new QLineEdit;
        e->setReadOnly(true);
        e->setObjectName(name);
        // Boxes give way on a narrow screen (1024 px) instead of pushing the window
        // wider than the screen; the text stays readable by scrolling the box.
        e->setMinimumWidth(40);
        boxes_.insert(name, e);
        return e;
    };
    auto row = [&](std::initializer_list<std::tuple<const char *, QWidget *, int>> cells) {
        auto *h = new QHBoxLayout;
        h->setSpacing(4);
        for (const auto &[label, widget, stretch] : cells) {
            if (label) h->addWidget(new QLabel(QString::fromUtf8(label)));
            h->addWidget(widget, stretch);
            h->addSpacing(6);
        }
        layout->addLayout(h);
    };

    comboOtd_ = new QComboBox(parent);
    comboPodotd_ = new QComboBox(parent);
    for (QComboBox *c : {comboOtd_, comboPodotd_}) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        // A typed number is taken as typed: completing "6" to "60" would show the wrong
        // compartment.
        c->setCompleter(nullptr);
        c->setMaxVisibleItems(20);
        c->lineEdit()->installEventFilter(this);
        c->installEventFilter(this);
    }
    comboOtd_->setMinimumWidth(80);
    comboPodotd_->setMinimumWidth(60);
    showButton_ = new QToolButton;
    showButton_->setText(QStringLiteral("подотдел"));
    showButton_->setObjectName(QStringLiteral("ShowSubCompartment"));
    showButton_->setAutoRaise(true);
    showButton_->setToolTip(QStringLiteral("Покажи избрания подотдел"));
    connect(showButton_, &QToolButton::clicked, this, [this] { showListedSubCompartment(); });

    auto *lists = new QWidget;
    auto *lh = new QHBoxLayout(lists);
    lh->setContentsMargins(0, 0, 0, 0);
    lh->addWidget(showButton_);
    lh->addWidget(comboOtd_);
    lh->addWidget(comboPodotd_);
    row({{nullptr, lists, 0},
         {"площ", box("EditArea"), 1},
         {"гту", box("EditGTU"), 1},
         {"зем.:", box("EditZEM"), 2},
         {"вид подотдел", box("EditVP"), 3}});
    row({{"стопански клас", box("EditSK"), 2}, {"собственост", box("EditSB"), 2}});
    row({{"вид гори", box("EditVG"), 2}, {"функция", box("EditFUN"), 3}});
    row({{"положение", box("MemoPol"), 1}});
    row({{"почва", box("MemoSoil"), 1}});
    row({{"тип месторастене", box("EditMest"), 3}, {"вид сеч", box("EditSech"), 2}});
    row({{"залес. по насоки", box("EditNasZal"), 2}, {"почвоподготовка", box("EditPP"), 3}});

    connect(comboOtd_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (filling_) return;
        guarded([&] { chooseCompartment(state_, index); });
        showLists();
    });
    connect(comboPodotd_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (filling_) return;
        std::optional<ListSelection> sel = chosenSubCompartment(state_, index);
        if (sel) ViewTax(sel->otd, sel->podotd);
    });
}

void TFormDendrix::buildPages(QVBoxLayout *layout)
{
    pages_ = new QTabWidget;
    modelSS_ = new CompositionModel(compositionColumns(), this);
    gridSS_ = makeGrid(modelSS_);
    connect(gridSS_, &QTableView::clicked, this, &TFormDendrix::compositionClicked);
    modelBS_ = new DataGridModel(futureColumns(), this);
    gridBS_ = makeGrid(modelBS_);
    auto *future = new QWidget;
    auto *fh = new QHBoxLayout(future);
    fh->setContentsMargins(0, 0, 0, 0);
    fh->addWidget(gridBS_, 1);
    fh->addStretch(1);
    pages_->addTab(gridSS_, QStringLiteral("Сегашен състав"));
    pages_->addTab(future, QStringLiteral("Бъдещ състав"));
    measures_ = new MeasuresPage(state_);
    measures_->setKeySource([this] { return measuresKey(); });
    measures_->setReporter([this](const UserMessage &m) { showMessage(m); });
    pages_->addTab(measures_, QStringLiteral("Мероприятия"));
    layout->addWidget(pages_, 1);
    connect(pages_, &QTabWidget::currentChanged, this, &TFormDendrix::pageChanged);
}

QLineEdit *TFormDendrix::headerBox(const QString &name) const
{
    return boxes_.value(name);
}

// Work on the project table that fails shows the database error box, a file that cannot
// be written a box naming it; the window stays as it was and usable.
void TFormDendrix::guarded(const std::function<void()> &work)
{
    try {
        work();
    } catch (const FileWriteError &e) {
        showMessage(fileWriteMessage(e));
    } catch (const std::exception &e) {
        showMessage({QStringLiteral("Error"), QStringLiteral("Грешка в базата данни!"), UserMessage::Icon::Error,
                     qs(e.what())});
    }
}

void TFormDendrix::showLists()
{
    filling_ = true;
    const NavigationLists &l = state_.lists;
    if (comboOtd_->count() != l.compartments.size() ||
        (comboOtd_->count() > 0 && comboOtd_->itemText(0) != l.compartments.first())) {
        comboOtd_->clear();
        comboOtd_->addItems(l.compartments);
    }
    comboOtd_->setCurrentIndex(l.compartment);
    comboOtd_->setEditText(l.compartmentText);
    comboPodotd_->clear();
    comboPodotd_->addItems(l.subCompartments);
    comboPodotd_->setCurrentIndex(l.subCompartment);
    comboPodotd_->setEditText(l.subCompartmentText);
    filling_ = false;
}

void TFormDendrix::syncListTexts()
{
    state_.lists.compartmentText = comboOtd_->currentText();
    state_.lists.subCompartmentText = comboPodotd_->currentText();
}

void TFormDendrix::InfoStatus()
{
    panel2_->setText(dx::InfoStatus(state_.db, state_.projectTablePath));
}

void TFormDendrix::ViewTax(int otd, const QString &podotd)
{
    guarded([&] {
        ViewTaxResult r = dx::showSubCompartment(state_, otd, podotd);
        if (r.shown) showDescription(r);
    });
    showLists();
}

void TFormDendrix::showDescription(const ViewTaxResult &r)
{
    setWindowTitle(r.caption);
    const DescriptionHeader &h = r.header;
    const std::pair<const char *, const QString *> texts[] = {
        {"EditArea", &h.area}, {"EditGTU", &h.gtu},   {"EditZEM", &h.zem},       {"EditVP", &h.vp},
        {"EditSK", &h.sk},     {"EditSB", &h.sb},     {"EditVG", &h.vg},         {"EditFUN", &h.fun},
        {"MemoPol", &h.pol},   {"MemoSoil", &h.soil}, {"EditMest", &h.mest},     {"EditSech", &h.sech},
        {"EditNasZal", &h.nasZal}, {"EditPP", &h.pp}};
    for (const auto &[name, text] : texts) {
        QLineEdit *e = boxes_.value(QString::fromUtf8(name));
        // A box whose text stays is left alone: repainting every box is most of a step.
        if (e->text() == *text && e->cursorPosition() == 0 && !e->hasSelectedText()) continue;
        e->setText(*text);
        e->setCursorPosition(0);
        // A text longer than its box (a narrow screen) is read whole in the tip.
        e->setToolTip(*text);
    }
    const int front = pages_->currentIndex();
    refreshPage(front, state_.currentOtd, state_.currentPodotd);
    for (int i = 0; i < 3; ++i) pageCurrent_[i] = i == front;
}

void TFormDendrix::refreshPage(int page, int otd, const QString &podotd)
{
    if (page == 0) ViewSS(otd, podotd);
    else if (page == 1) ViewBS(otd, podotd);
    else ViewMer(otd, podotd);
}

void TFormDendrix::ViewSS(int otd, const QString &podotd)
{
    guarded([&] {
        auto rows = dx::ViewSS(state_, otd, podotd);
        if (!rows) return;
        modelSS_->setRows(compositionGridRows(*rows));
        gridSS_->resizeColumnsToContents();
        if (modelSS_->rowCount() > 0) gridSS_->selectRow(0);
        panel1_->setText(kCompany);
    });
}

void TFormDendrix::ViewBS(int otd, const QString &podotd)
{
    guarded([&] {
        auto rows = dx::ViewBS(state_, otd, podotd);
        if (!rows) return;
        modelBS_->setRows(futureGridRows(*rows));
        gridBS_->resizeColumnsToContents();
        if (modelBS_->rowCount() > 0) gridBS_->selectRow(0);
    });
}

void TFormDendrix::ViewMer(int otd, const QString &podotd)
{
    guarded([&] { measures_->ViewMer(QString::number(otd), podotd); });
}

QString TFormDendrix::measuresKey() const
{
    // Rows are filed only under the sub-compartment on screen, whatever the lists hold.
    if (!state_.hasCurrent) return {};
    return measureKey(QString::number(state_.currentOtd), state_.currentPodotd);
}

void TFormDendrix::pageChanged(int page)
{
    if (page < 0 || page > 2 || pageCurrent_[page]) return;
    pageCurrent_[page] = true;
    // The page shows the sub-compartment on screen, never a pair merely typed.
    if (state_.hasCurrent) refreshPage(page, state_.currentOtd, state_.currentPodotd);
}

void TFormDendrix::compositionClicked(const QModelIndex &index)
{
    if (!index.isValid()) return;
    const QString title = modelSS_->headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString();
    const int povr = int(compositionColumnNames().indexOf(QStringLiteral("POVR")));
    const QString code = modelSS_->value(index.row(), povr).toString();
    panel1_->setText(compositionCellStatus(state_, title, code, [this](const UserMessage &m) { showMessage(m); }));
}

void TFormDendrix::showListedSubCompartment()
{
    syncListTexts();
    std::optional<ListSelection> sel;
    guarded([&] { sel = listedPair(state_); });
    if (!sel) {
        showLists();
        showMessage({plainCaption(),
                     QStringLiteral("\"%1\" не е номер на отдел. Въведете цяло число.").arg(state_.lists.compartmentText),
                     UserMessage::Icon::Warning});
        return;
    }
    ViewTax(sel->otd, sel->podotd);
}

void TFormDendrix::leaveCompartmentList()
{
    syncListTexts();
    if (state_.lists.compartmentText.trimmed().isEmpty()) return;
    // Leaving the list after looking at it changes nothing; a new number is shown.
    std::optional<int> otd = wholeNumber(state_.lists.compartmentText);
    if (otd && state_.hasCurrent && *otd == state_.currentOtd && state_.lists.listedOtd == QString::number(*otd) &&
        state_.lists.subCompartmentText == state_.currentPodotd)
        return;
    showListedSubCompartment();
}

void TFormDendrix::goToSubCompartment(const QString &otd, const QString &podotd)
{
    guarded([&] {
        ViewTaxResult r = dx::goToAndShow(state_, otd, podotd);
        if (r.shown) showDescription(r);
    });
    showLists();
    // The answer to another window's request is seen at once.
    raise();
    activateWindow();
}

// A toolbar move from the sub-compartment on screen.
void TFormDendrix::move(void (*step)(AppState &))
{
    guarded([&] {
        ViewTaxResult r = dx::moveAndShow(state_, step);
        if (r.shown) showDescription(r);
    });
    showLists();
}

void TFormDendrix::nextSubCompartment() { move(dx::nextSubCompartment); }
void TFormDendrix::priorSubCompartment() { move(dx::priorSubCompartment); }
void TFormDendrix::nextCompartment() { move(dx::nextCompartment); }
void TFormDendrix::priorCompartment() { move(dx::priorCompartment); }

bool TFormDendrix::eventFilter(QObject *watched, QEvent *event)
{
    const bool onOtd = watched == comboOtd_ || watched == comboOtd_->lineEdit();
    const bool onPodotd = watched == comboPodotd_ || watched == comboPodotd_->lineEdit();
    if (!onOtd && !onPodotd) return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) break;
        if (onOtd && comboOtd_->currentText().isEmpty()) {
            // An emptied compartment text gets the current compartment back.
            comboOtd_->setEditText(QString::number(state_.currentOtd));
            return true;
        }
        showListedSubCompartment();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        showListedSubCompartment();
        return true;
    case QEvent::FocusOut: {
        // Leaving the compartment list (Tab, a click elsewhere) shows what it names; its
        // own drop-down and a switch to another program are no leaving.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (onOtd && why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason &&
            !comboOtd_->view()->isVisible() && !leaving_) {
            leaving_ = true;
            leaveCompartmentList();
            leaving_ = false;
        }
        break;
    }
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormDendrix::openDatabaseEditor()
{
    QWidget *editor = context_.windows().widget<TFormEditDB>();
    if (!editor) return;
    try {
        Table check(state_.db);
        check.setPath(ss(state_.projectTablePath));
        check.open();
        check.first();
    } catch (const std::exception &e) {
        showMessage({plainCaption(), QStringLiteral("Базата данни неможе да бъде отворена за редакция."),
                     UserMessage::Icon::Error, qs(e.what())});
        return;
    }
    editor->setWindowTitle(QStringLiteral("Редакция база дании - %1 %2 [%3]")
                               .arg(state_.title, state_.year, state_.projectTablePath));
    openWindow<TFormEditDB>();
}

void TFormDendrix::openForestFundReport(int mode)
{
    showMessage({QStringLiteral("Внимание!"),
                 QStringLiteral("Автора на програмата не гарантира 100% съвапдения на резултатите с тези от томовете "
                                "на проекта,\r\nпоради различия в алгоритмите и подхода при съставяне на ОГФ в настоящата "
                                "програма."),
                 UserMessage::Icon::Information});
    state_.ownership.mode = mode;
    if (QWidget *sob = context_.windows().widget<TFormSob>()) {
        sob->setWindowTitle(mode == 1 ? QStringLiteral("ОГФ 1 - Избор на собственост")
                                      : QStringLiteral("ОГФ 2 - Избор на собственост"));
        openWindow<TFormSob>();
    }
}

void TFormDendrix::openCuttingsList(int mode)
{
    // The window is known here only by its type; it sets its mode itself.
    if (QWidget *w = context_.windows().widget<TFormSpisatziSechi>()) {
        QMetaObject::invokeMethod(w, "openList", Q_ARG(int, mode));
        openWindow<TFormSpisatziSechi>();
    }
}

void TFormDendrix::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    ++showCount_;
    // Every show, not only the first: the sieves fill their lists anew when next opened.
    state_.workingSieveLoaded = false;
    state_.obsSieveLoaded = false;
    if (showCount_ == 1) QTimer::singleShot(0, this, &TFormDendrix::runLoadingSequence);
}

bool TFormDendrix::switchToProject(const SwitchRequest &request)
{
    std::unique_ptr<TFormLoading> own;
    TFormLoading *loading = context_.windows().get<TFormLoading>();
    if (!loading) {
        own = std::make_unique<TFormLoading>();
        loading = own.get();
    }
    repaint();
    GuiStartupUi ui(*this, *loading);
    const SwitchResult r = dx::switchProject(state_, ui, request);
    loading->hide();
    if (r == SwitchResult::EndRequested) {
        if (endHook_) endHook_();
        else QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); });
    }
    return r == SwitchResult::Switched;
}

void TFormDendrix::runLoadingSequence()
{
    std::unique_ptr<TFormLoading> own;
    TFormLoading *loading = context_.windows().get<TFormLoading>();
    if (!loading) {
        own = std::make_unique<TFormLoading>();
        loading = own.get();
    }
    GuiStartupUi ui(*this, *loading);
    outcome_ = dx::runLoadingSequence(state_, ui);
    loading->hide();
    // Ending takes effect only now, back in the event loop.
    if (outcome_.endRequested) {
        if (endHook_) endHook_();
        else QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); });
    }
    emit loadingFinished();
}

} // namespace dx
