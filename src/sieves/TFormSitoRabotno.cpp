// The working sieve's window: the criteria group, the toolbar and menus, the result
// group, the loading of the pick lists on show, and the openers of the range,
// cutting-type and column-choice windows. The run and the result commands are in
// TFormSitoRabotnoResult.cpp.
#include "sieves/TFormSitoRabotno.h"

#include "core/GridModel.h"
#include "sieves/SieveRange.h"
#include "sieves/TFormSitoRabotnoAge.h"
#include "sieves/TFormSitoRabotnoSechi.h"
#include "sieves/TFormSitoRabotnoSetting.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/GuiGroupScrollArea.h"
#include "widgets/TFormSitoRabotnoWait.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace dx {

namespace {

constexpr int kCriteriaRows = 9; // the group's four columns are filled top to bottom

} // namespace

TFormSitoRabotno::TFormSitoRabotno(WindowContext &context)
    : TFormWindow(QStringLiteral("Сито работно"), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSitoRabotno"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setMinimumSize(700, 500);

    buildCommands();
    buildMenus();
    auto *body = new QHBoxLayout;
    body->addWidget(new GuiGroupScrollArea(buildCriteria()), 0);
    body->addWidget(buildResult(), 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(4);
    layout->setMenuBar(menuBar_);
    layout->addWidget(toolBar_);
    layout->addLayout(body, 1);
    enableResultCommands(false, true);
}

QGroupBox *TFormSitoRabotno::buildCriteria()
{
    criteriaGroup_ = new QGroupBox(QStringLiteral("Критерий"));
    auto *grid = new QGridLayout(criteriaGroup_);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    for (const SieveCriterion &c : sieveCriteria()) {
        const size_t i = size_t(c.id);
        auto *label = new QLabel(c.label);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, c.labelColour);
        label->setPalette(p);
        labels_[i] = label;

        QWidget *control = nullptr;
        if (c.listSource != PickListSource::None) {
            auto *list = new QComboBox;
            list->setObjectName(c.control);
            list->setEditable(true);
            list->setInsertPolicy(QComboBox::NoInsert);
            list->setMaxVisibleItems(20);
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(12);
            lists_[i] = list;
            control = list;
        } else {
            // A range or cutting field: read-only, filled by its window, opened by the
            // small button beside it (and, for age and cutting, by a double click).
            auto *field = new QLineEdit;
            field->setObjectName(c.control);
            field->setReadOnly(true);
            field->installEventFilter(this);
            auto *button = new QToolButton;
            button->setText(QStringLiteral("..."));
            button->setToolTip(c.label);
            if (c.kind == CriterionKind::Range) {
                const RangeMode mode = c.rangeMode;
                connect(button, &QToolButton::clicked, this, [this, mode] { openRange(mode); });
            } else {
                connect(button, &QToolButton::clicked, this, &TFormSitoRabotno::openCutting);
            }
            fields_[i] = field;
            openers_[i] = button;
            control = new QWidget;
            auto *h = new QHBoxLayout(control);
            h->setContentsMargins(0, 0, 0, 0);
            h->setSpacing(2);
            h->addWidget(field, 1);
            h->addWidget(button);
        }
        label->setBuddy(control);
        const int column = int(i) / kCriteriaRows;
        const int row = int(i) % kCriteriaRows;
        grid->addWidget(label, row * 2, column);
        grid->addWidget(control, row * 2 + 1, column);
        grid->setRowMinimumHeight(row * 2 + 1, control->sizeHint().height() + 2);
    }
    grid->setRowStretch(kCriteriaRows * 2, 1);
    return criteriaGroup_;
}

QGroupBox *TFormSitoRabotno::buildResult()
{
    auto *group = new QGroupBox(QStringLiteral("Резултат"));
    model_ = new DataGridModel(this);
    grid_ = makeReadOnlyGrid(model_);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->verticalHeader()->hide(); // the highlighted row shows where the user stands
    // The last column takes the width the others leave, so the list fills its group.
    grid_->horizontalHeader()->setStretchLastSection(true);
    connect(grid_, &QTableView::doubleClicked, this, &TFormSitoRabotno::DBGrid1DblClick);
    label_ = new QLabel(kInitialSieveLabel);
    label_->setObjectName(QStringLiteral("Label1"));
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(grid_, 1);
    layout->addWidget(label_);
    return group;
}

void TFormSitoRabotno::buildCommands()
{
    toolBar_ = new QToolBar;
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setIconSize(QSize(22, 22));
    struct Entry {
        Command command;
        const char *hint;
        const char *theme;
        QStyle::StandardPixmap fallback;
        void (TFormSitoRabotno::*act)();
    };
    const Entry entries[] = {
        {Command::Run, "Изпълни справката", "system-run", QStyle::SP_MediaPlay, &TFormSitoRabotno::SpeedItem1Click},
        {Command::New, "Нов филтър", "edit-clear", QStyle::SP_DialogResetButton, &TFormSitoRabotno::newFilter},
        {Command::Copy, "Копирай списъка", "edit-copy", QStyle::SP_FileDialogDetailedView, &TFormSitoRabotno::copyList},
        {Command::Preview, "Изглед преди печат", "document-print-preview", QStyle::SP_FileDialogContentsView, nullptr},
        {Command::Print, "Печат", "document-print", QStyle::SP_ComputerIcon, nullptr},
        {Command::SaveCriteria, "Запиши филтър", "document-save", QStyle::SP_DialogSaveButton,
         &TFormSitoRabotno::saveCriteria},
        {Command::OpenCriteria, "Отвори филтъл", "document-open", QStyle::SP_DialogOpenButton,
         &TFormSitoRabotno::openCriteria},
        {Command::Export, "Експорт на филтрираните данни", "document-send", QStyle::SP_ArrowRight,
         &TFormSitoRabotno::SpeedItem11Click},
        {Command::Show, "Покажи избрания подотдел", "go-jump", QStyle::SP_FileDialogInfoView,
         &TFormSitoRabotno::DBGrid1DblClick},
    };
    for (const Entry &e : entries) {
        const QString hint = QString::fromUtf8(e.hint);
        QAction *a = toolBar_->addAction(TFormWindow::commandIcon(this, e.theme, e.fallback), hint);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        if (e.act) connect(a, &QAction::triggered, this, e.act);
        commands_[size_t(e.command)] = a;
    }
    connect(command(Command::Preview), &QAction::triggered, this, [this] { printList(true); });
    connect(command(Command::Print), &QAction::triggered, this, [this] { printList(false); });
}

void TFormSitoRabotno::buildMenus()
{
    menuBar_ = new QMenuBar(this);
    QMenu *file = menuBar_->addMenu(QStringLiteral("Файл"));
    connect(file->addAction(QStringLiteral("Запиши резултата като...")), &QAction::triggered, this,
            &TFormSitoRabotno::saveList);
    file->addSeparator();
    file->addAction(command(Command::Preview));
    file->addAction(command(Command::Print));
    file->addSeparator();
    connect(file->addAction(QStringLiteral("Експорт във файл на таксационни описания от филтрираните подотдели")),
            &QAction::triggered, this, &TFormSitoRabotno::openExportChoice);
    connect(file->addAction(QStringLiteral("Печат на таксационни описания от филтрираните подотдели")),
            &QAction::triggered, this, &TFormSitoRabotno::openPrintChoice);
    file->addSeparator();
    connect(file->addAction(QStringLiteral("Изход")), &QAction::triggered, this, &QWidget::close);

    QMenu *filter = menuBar_->addMenu(QStringLiteral("Филтър"));
    connect(filter->addAction(QStringLiteral("Нов")), &QAction::triggered, this, &TFormSitoRabotno::newFilter);
    filter->addAction(QStringLiteral("Търси"))->setEnabled(false); // no search behind it
    filter->addSeparator();
    connect(filter->addAction(QStringLiteral("Настройки")), &QAction::triggered, this,
            &TFormSitoRabotno::openSettings);
}

// --- criteria ----------------------------------------------------------------------------

SieveCriteria TFormSitoRabotno::criteria() const
{
    SieveCriteria c;
    for (const SieveCriterion &k : sieveCriteria()) {
        const size_t i = size_t(k.id);
        if (lists_[i]) c.texts[i] = lists_[i]->currentText();
        else if (k.kind == CriterionKind::Range) c.texts[i] = fields_[i]->text();
    }
    c.cuttingSlots = cutting_;
    return c;
}

void TFormSitoRabotno::setCriteria(const SieveCriteria &criteria)
{
    for (const SieveCriterion &k : sieveCriteria()) {
        const size_t i = size_t(k.id);
        if (QComboBox *list = lists_[i]) {
            const QString &t = criteria.texts[i];
            list->setCurrentIndex(list->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive));
            list->setEditText(t);
        } else if (k.kind == CriterionKind::Range) {
            fields_[i]->setText(criteria.texts[i]);
        }
    }
    cutting_ = criteria.cuttingSlots;
    showCuttingText();
}

void TFormSitoRabotno::showCuttingText()
{
    fields_[size_t(CriterionId::Cutting)]->setText(cuttingText(cutting_));
}

void TFormSitoRabotno::LoadCombo()
{
    TFormSitoRabotnoWait *wait = context_.windows().get<TFormSitoRabotnoWait>();
    if (wait) wait->start(kLoadComboText, kLoadComboSteps);
    const SievePickLists loaded = dx::LoadCombo(context_.state(), [wait](int step, int) {
        if (wait) wait->setPosition(step);
    });
    for (const SieveCriterion &k : sieveCriteria()) {
        if (QComboBox *list = lists_[size_t(k.id)]) {
            list->clear();
            list->addItems(loaded[k.id]);
        }
    }
    SieveCriteria c = criteria();
    c.clearLoaded();
    setCriteria(c);
    if (wait) wait->hide();
    if (!loaded.errors.isEmpty())
        report({windowTitle(), QStringLiteral("Някои от списъците с критерии не могат да бъдат заредени от базата данни."),
                UserMessage::Icon::Warning, loaded.errors.join(QLatin1Char('\n'))});
}

// --- the windows it opens ----------------------------------------------------------------

void TFormSitoRabotno::openRange(RangeMode mode)
{
    auto *range = context_.windows().get<TFormSitoRabotnoAge>();
    if (!range) return;
    const CriterionId id = rangeCriterion(mode);
    QLineEdit *field = fields_[size_t(id)];
    const QRect inGroup(field->mapTo(criteriaGroup_, QPoint(0, 0)), field->size());
    range->openFor(mode, field->text(), rangeWindowPosition(frameGeometry().topLeft(), inGroup),
                   [this, id](const QString &text) { fields_[size_t(id)]->setText(text); });
}

void TFormSitoRabotno::openCutting()
{
    auto *cutting = context_.windows().get<TFormSitoRabotnoSechi>();
    if (!cutting) return;
    cutting->openFor(cutting_, [this](const CuttingSlots &chosen) {
        cutting_ = chosen;
        showCuttingText();
    });
}

void TFormSitoRabotno::openSettings()
{
    if (QWidget *settings = context_.windows().widget<TFormSitoRabotnoSetting>()) {
        settings->show();
        settings->raise();
        settings->activateWindow();
    }
}

// --- show and close ----------------------------------------------------------------------

void TFormSitoRabotno::showEvent(QShowEvent *event)
{
    // Brought back from the task bar: nothing to redo.
    if (!event->spontaneous()) {
        AppState &state = context_.state();
        if (!state.workingSieveLoaded) {
            LoadCombo();
            if (auto *settings = context_.windows().get<TFormSitoRabotnoSetting>()) settings->initialise();
            state.workingSieveLoaded = true;
        }
        if (auto *cutting = context_.windows().get<TFormSitoRabotnoSechi>()) cutting->markStale();
        if (!resultOpen_) enableResultCommands(false, true);
    }
    // After the column choice is read: the first show sizes the window to it.
    TFormWindow::showEvent(event);
}

// The criteria beside a result grid as wide as its columns (before any run: the chosen
// columns, each as wide as its title or the longest value its criterion's pick list
// holds), so that a list opens without scrolling sideways where the screen has room.
QSize TFormSitoRabotno::sizeHint() const
{
    QSize hint = TFormWindow::sizeHint();
    const int wanted = resultColumnsWidth() + grid_->verticalScrollBar()->sizeHint().width() + 2 * grid_->frameWidth();
    hint.rwidth() += std::max(0, wanted - grid_->sizeHint().width());
    return hint;
}

int TFormSitoRabotno::resultColumnsWidth() const
{
    if (model_->columnCount() > 0) return grid_->horizontalHeader()->length();
    auto *settings = context_.windows().get<TFormSitoRabotnoSetting>();
    const QList<int> chosen = settings ? settings->choice() : parseSieveFields(kDefaultSieveFields);
    const QFontMetrics titles = grid_->horizontalHeader()->fontMetrics();
    const QFontMetrics cells = grid_->fontMetrics();
    const int padding = 2 * grid_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) + 10;
    const int widest = cells.averageCharWidth() * 40; // a column is never planned wider
    int total = 0;
    for (qsizetype c = 0; c < chosen.size(); ++c) {
        const SieveField &field = sieveFieldTable()[size_t(chosen[c])];
        int width = std::max(titles.horizontalAdvance(field.caption), sieveColumnPixelWidth(int(c), true));
        for (const SieveCriterion &k : sieveCriteria()) {
            QComboBox *list = lists_[size_t(k.id)];
            if (!list || !k.fields.contains(field.name)) continue;
            for (int i = 0; i < list->count(); ++i) width = std::max(width, cells.horizontalAdvance(list->itemText(i)));
        }
        total += std::min(width, widest) + padding;
    }
    return total;
}

void TFormSitoRabotno::hideEvent(QHideEvent *event)
{
    TFormWindow::hideEvent(event);
    if (event->spontaneous()) return;
    // Closing the sieve closes the windows that set its criteria.
    const WindowRegistry &windows = context_.windows();
    for (QWidget *w : {windows.widget<TFormSitoRabotnoAge>(), windows.widget<TFormSitoRabotnoSechi>()})
        if (w) w->hide();
}

void TFormSitoRabotno::keyPressEvent(QKeyEvent *event)
{
    // Escape closes a list's drop-down, never the whole sieve with its criteria.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    TFormWindow::keyPressEvent(event);
}

bool TFormSitoRabotno::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == fields_[size_t(CriterionId::Age)]) {
            openRange(RangeMode::Age);
            return true;
        }
        if (watched == fields_[size_t(CriterionId::Cutting)]) {
            openCutting();
            return true;
        }
    }
    return TFormWindow::eventFilter(watched, event);
}

} // namespace dx
