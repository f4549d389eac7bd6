// The database editor, its search window and its restore window.
#include "maintenance/TFormEditDB.h"

#include "core/Paths.h"
#include "core/QtText.h"
#include "description/ProjectRecord.h"
#include "maintenance/Archive.h"
#include "widgets/TFormSitoRabotnoWait.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace dx {
namespace {

using Icon = UserMessage::Icon;
const QString kCaption = QStringLiteral("Редакция база дании");
const QString kRestoreCaption = QStringLiteral("Възтановяване на база данни");
const QString kNotFound = QStringLiteral("Няма намерено съвпадение.");

} // namespace

// --- The grid's model -------------------------------------------------------------

int EditDbModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(editor_.rowCount());
}

int EditDbModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(editor_.columnCount());
}

QVariant EditDbModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return editor_.text(size_t(index.row()), size_t(index.column()));
}

bool EditDbModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole) return false;
    const QString text = value.toString();
    if (text == editor_.text(size_t(index.row()), size_t(index.column()))) return false; // nothing to post
    const std::optional<UserMessage> refused = editor_.setText(size_t(index.row()), size_t(index.column()), text);
    if (refused) {
        // A refusal may have read the table again: the whole grid shows the file.
        reset();
        if (onRefused) onRefused(*refused);
        return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    if (onPosted) onPosted();
    return true;
}

Qt::ItemFlags EditDbModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

// Titles are the labels of the project record's fields, by position.
QVariant EditDbModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, o, role);
    if (o == Qt::Vertical) return QVariant();
    const auto &labels = projectRecordFields();
    if (section >= 0 && size_t(section) < labels.size()) return labels[size_t(section)].label;
    if (section >= 0 && size_t(section) < editor_.fields().size()) return qs(editor_.fields()[size_t(section)].name);
    return {};
}

// --- The editor --------------------------------------------------------------------

TFormEditDB::TFormEditDB(WindowContext &context)
    : TFormWindow(kCaption, context.owner()), context_(context), editor_(context.state().db)
{
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    QMenu *data = bar->addMenu(QStringLiteral("Данни"));
    search_ = data->addAction(QStringLiteral("Търсене"));
    search_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    archive_ = data->addAction(QStringLiteral("Архивиране"));
    restore_ = data->addAction(QStringLiteral("Възтановяване от архив"));
    QAction *quit = data->addAction(QStringLiteral("Изход"));
    connect(search_, &QAction::triggered, this, [this] { context_.windows().open<TFormDBSearch>(); });
    connect(archive_, &QAction::triggered, this, [this] { Archive(); });
    connect(restore_, &QAction::triggered, this, [this] { openRestoreWindow(); });
    connect(quit, &QAction::triggered, this, &QWidget::hide);

    auto *tools = new QHBoxLayout;
    auto *nav = new QToolBar(this);
    const QString hints[10] = {QStringLiteral("Първи запис"),        QStringLiteral("Предишен запис"),
                               QStringLiteral("Следващ запис"),      QStringLiteral("Последен запис"),
                               QStringLiteral("Вмъкни нов ред"),     QStringLiteral("Изтрий избрания ред"),
                               QStringLiteral("Редакция на ред"),    QStringLiteral("Запис на редакциите"),
                               QStringLiteral("Отказ на редакция"),  QStringLiteral("Опресни данните")};
    const QString marks[10] = {"|<", "<", ">", ">|", "+", "-", "^", "✓", "✗", "↻"};
    for (int i = 0; i < 10; ++i) {
        nav_[i] = nav->addAction(marks[i]);
        nav_[i]->setToolTip(hints[i]);
    }
    tools->addWidget(nav);
    tools->addStretch(1);
    tools->addWidget(new QLabel(QStringLiteral("Отиди в подотдел:"), this));
    jump_ = new QLineEdit(this);
    jump_->setToolTip(QStringLiteral("Напишете отдел:подотдел \r\nс разделител двуеточие и натиснете Enter"));
    tools->addWidget(jump_);
    layout->addLayout(tools);
    connect(jump_, &QLineEdit::returnPressed, this, [this] { Jump(); });

    model_ = new EditDbModel(editor_, this);
    model_->onRefused = [this](const UserMessage &m) { context_.showMessage(m); };
    model_->onPosted = [this] { posted(); };
    grid_ = new QTableView(this);
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(grid_, 1);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { currentChanged(); });

    connect(nav_[0], &QAction::triggered, this, [this] { goRow(0); });
    connect(nav_[1], &QAction::triggered, this, [this] { goRow(int(pos_.row) - 1); });
    connect(nav_[2], &QAction::triggered, this, [this] { goRow(int(pos_.row) + 1); });
    connect(nav_[3], &QAction::triggered, this, [this] { goRow(model_->rowCount() - 1); });
    connect(nav_[4], &QAction::triggered, this, [this] {
        size_t row = 0;
        if (auto m = editor_.appendRow(&row)) return context_.showMessage(*m);
        model_->reset();
        posted();
        goRow(int(row));
    });
    connect(nav_[5], &QAction::triggered, this, [this] {
        if (auto m = editor_.removeRow(pos_.row)) context_.showMessage(*m);
        model_->reset();
        posted();
        goRow(std::min(int(pos_.row), model_->rowCount() - 1));
    });
    connect(nav_[6], &QAction::triggered, this, [this] { grid_->edit(grid_->currentIndex()); });
    connect(nav_[7], &QAction::triggered, this, [this] { grid_->setFocus(); }); // the cell editor commits on leaving
    connect(nav_[8], &QAction::triggered, this, [this] {
        const TableEditor::Cell keep = pos_;
        model_->reset(); // drops an open cell editor without posting
        setSearchPosition(keep);
    });
    connect(nav_[9], &QAction::triggered, this, [this] {
        const TableEditor::Cell keep = pos_;
        editor_.reload();
        model_->reset();
        setSearchPosition(keep);
    });
    resize(900, 560);
}

void TFormEditDB::load()
{
    try {
        editor_.open(ss(context_.state().projectTablePath));
    } catch (const std::exception &e) {
        editor_.close();
        context_.showMessage({kCaption, QStringLiteral("Базата данни неможе да бъде отворена за редакция."),
                              Icon::Error, qs(e.what())});
    }
    model_->reset();
}

void TFormEditDB::showEvent(QShowEvent *event)
{
    TFormWindow::showEvent(event);
    base_ = windowTitle();
    const int arrow = int(base_.indexOf(QStringLiteral(" > ")));
    if (arrow >= 0) base_ = base_.mid(arrow + 3);
    load();
    if (!opened_) {
        opened_ = true;
        if (!fileExists(archivePath(context_.state().projectTablePath)) &&
            context_.ask({QStringLiteral("Архивиране"),
                          QStringLiteral("Липсва архивно копие на базата данни. Желаете ли да бъде направено копие "
                                         "на данните преди да започнете редакция?"),
                          Icon::None},
                         MessageSink::Buttons::YesNo))
            Archive();
    }
    setSearchPosition({0, 0});
    grid_->setFocus();
}

void TFormEditDB::hideEvent(QHideEvent *event)
{
    if (QWidget *w = context_.windows().widget<TFormDBSearch>()) w->hide();
    if (QWidget *w = context_.windows().widget<TFormEditDBUnArch>()) w->hide();
    TFormWindow::hideEvent(event);
}

void TFormEditDB::setSearchPosition(TableEditor::Cell c)
{
    if (model_->rowCount() == 0) return;
    c.row = std::min<size_t>(c.row, size_t(model_->rowCount() - 1));
    c.column = std::min<size_t>(c.column, size_t(model_->columnCount() - 1));
    grid_->setCurrentIndex(model_->index(int(c.row), int(c.column)));
    pos_ = c;
}

void TFormEditDB::goRow(int row)
{
    if (row < 0 || row >= model_->rowCount()) return;
    setSearchPosition({pos_.column, size_t(row)});
}

void TFormEditDB::currentChanged()
{
    const QModelIndex i = grid_->currentIndex();
    if (!i.isValid()) return;
    pos_ = {size_t(i.column()), size_t(i.row())};
    const int otd = editor_.fieldIndex("OTD");
    const int pod = editor_.fieldIndex("PODOTD");
    if (otd < 0 || pod < 0) return;
    setWindowTitle(QStringLiteral("%1:%2 > %3")
                       .arg(editor_.text(pos_.row, size_t(otd)), editor_.text(pos_.row, size_t(pod)), base_));
}

// The main window's project table object reads the file again, so that its next view
// shows the change.
void TFormEditDB::posted()
{
    Table &t = context_.state().projectTable;
    if (!t.active()) return;
    try {
        t.close();
        t.open();
    } catch (const std::exception &) {
        t.close();
    }
}

void TFormEditDB::Jump()
{
    const QString t = jump_->text();
    if (t.isEmpty()) return;
    TableEditor::JumpError e;
    const std::optional<size_t> row = editor_.jump(pos_.row, t, &e);
    if (e == TableEditor::JumpError::NotANumber) {
        context_.showMessage({kCaption, QStringLiteral("Името на отдела трябва да бъде число"), Icon::Warning});
        return;
    }
    if (!row) context_.showMessage({QStringLiteral("Търсене"), kNotFound, Icon::Information});
    else goRow(int(*row));
}

bool TFormEditDB::Archive()
{
    const QString table = context_.state().projectTablePath;
    auto *wait = context_.windows().get<TFormSitoRabotnoWait>();
    if (wait) wait->start(QStringLiteral("Архивиране на база данни..."), int(QFileInfo(table).size() / 1024));
    bool ok = true;
    try {
        archiveTable(table, [wait](qint64 done, qint64) {
            if (wait) wait->setPosition(int(done));
        });
    } catch (const std::exception &e) {
        context_.showMessage({QStringLiteral("Архивиране"), qs(e.what()), Icon::Error});
        ok = false;
    }
    if (wait) {
        wait->hide();
        wait->setText(QStringLiteral("Зареждане на данните..."));
    }
    return ok;
}

void TFormEditDB::openRestoreWindow()
{
    const QString archive = archivePath(context_.state().projectTablePath);
    if (!pathPresent(archive)) {
        context_.showMessage({kRestoreCaption,
                              QStringLiteral("Няма архивно копие на базата данни. За да създадете архив на базата "
                                             "данни използвайте меню \"Архивиране\"."),
                              Icon::Information});
        return;
    }
    if (auto *w = context_.windows().get<TFormEditDBUnArch>()) {
        w->fill(archive);
        context_.windows().open<TFormEditDBUnArch>();
    }
}

void TFormEditDB::RestoreConfirmed()
{
    AppState &st = context_.state();
    const QString table = st.projectTablePath;
    if (!pathPresent(archivePath(table))) {
        context_.showMessage({kRestoreCaption, QStringLiteral("Липсва архивно копие на базата данни."), Icon::Error});
        return;
    }
    hide();
    editor_.close();
    st.projectTable.close();
    auto *wait = context_.windows().get<TFormSitoRabotnoWait>();
    if (wait) wait->start(QStringLiteral("Възтановяване на база данни..."), int(QFileInfo(table).size() / 1024));
    try {
        restoreTable(table, [wait](qint64 done, qint64) {
            if (wait) wait->setPosition(int(done));
        });
    } catch (const std::exception &e) {
        if (wait) wait->hide();
        context_.showMessage({kRestoreCaption, qs(e.what()), Icon::Error});
    }
    if (wait) {
        wait->hide();
        wait->setText(QStringLiteral("Зареждане на данните..."));
    }
    // The project is opened again whether the copy was made or refused: its table object
    // was closed for the copy.
    context_.switchProject({st.projectTableName, st.title, st.zemFileName, st.year, std::nullopt});
    load();
    if (QWidget *w = context_.windows().widget<TFormEditDBUnArch>()) w->hide();
}

// --- The search window ---------------------------------------------------------------

TFormDBSearch::TFormDBSearch(WindowContext &context)
    : TFormWindow(QStringLiteral("Търсене"), context.owner()), context_(context)
{
    auto *layout = new QVBoxLayout(this);
    text_ = new QLineEdit(this);
    layout->addWidget(text_);
    const QString labels[3] = {QStringLiteral("Търси във всички данни"), QStringLiteral("Търси само в текущия ред"),
                               QStringLiteral("Търси само в текущата колона")};
    for (int i = 0; i < 3; ++i) {
        modes_[i] = new QRadioButton(labels[i], this);
        layout->addWidget(modes_[i]);
    }
    modes_[0]->setChecked(true);
    find_ = new QPushButton(QStringLiteral("Търси"), this);
    find_->setEnabled(false);
    layout->addWidget(find_, 0, Qt::AlignRight);
    connect(text_, &QLineEdit::textChanged, this, [this](const QString &t) { find_->setEnabled(!t.isEmpty()); });
    connect(text_, &QLineEdit::returnPressed, this, [this] { Find(); });
    connect(find_, &QPushButton::clicked, this, [this] { Find(); });
    find_->setAutoDefault(false); // Enter in the text searches once
}

void TFormDBSearch::Find()
{
    auto *ed = context_.windows().get<TFormEditDB>();
    const QString needle = text_->text();
    if (!ed || needle.isEmpty()) return;
    TableEditor &data = ed->editor();
    TableEditor::Cell pos = ed->searchPosition();
    std::optional<TableEditor::Cell> found;
    const UserMessage notFound{QStringLiteral("Търсене"), kNotFound, Icon::Information};
    if (modes_[0]->isChecked()) {
        if (data.isLastCell(pos)) {
            if (!context_.ask({QStringLiteral("Търсене"),
                               QStringLiteral("Желаете ли търсенето да подължи отначалото на данните?"), Icon::None},
                              MessageSink::Buttons::OkCancel))
                return;
            // From the first cell of the first record, itself included.
            found = data.text(0, 0).toUpper().contains(needle.toUpper()) ? std::optional(TableEditor::Cell{0, 0})
                                                                         : data.searchAll({0, 0}, needle);
        } else {
            found = data.searchAll(pos, needle);
        }
    } else if (modes_[1]->isChecked()) {
        found = data.searchRow(pos, needle);
        if (!found) {
            ed->setSearchPosition(pos);
            context_.showMessage(notFound);
            return;
        }
    } else {
        found = data.searchColumn(pos, needle, false);
        if (!found) {
            if (!context_.ask({QStringLiteral("Търсене"),
                               QStringLiteral("Няма намерено съвапдение. Желаете ли търсенето да подължи отначалото на "
                                              "данните?"),
                               Icon::None},
                              MessageSink::Buttons::OkCancel))
                return;
            found = data.searchColumn(pos, needle, true);
            if (!found) {
                context_.showMessage(notFound);
                return;
            }
        }
    }
    if (found) {
        ed->setSearchPosition(*found);
        ed->grid()->setFocus();
    }
}

// --- The restore window --------------------------------------------------------------

TFormEditDBUnArch::TFormEditDBUnArch(WindowContext &context)
    : TFormWindow(kRestoreCaption, context.owner()), context_(context)
{
    auto *layout = new QGridLayout(this);
    project_ = new QLabel(this);
    file_ = new QLabel(this);
    stamp_ = new QLabel(this);
    layout->addWidget(new QLabel(QStringLiteral("проект:"), this), 0, 0);
    layout->addWidget(project_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("файл:"), this), 1, 0);
    layout->addWidget(file_, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("дата/час:"), this), 2, 0);
    layout->addWidget(stamp_, 2, 1);
    restore_ = new QPushButton(QStringLiteral("Възтанови"), this);
    auto *cancel = new QPushButton(QStringLiteral("Отказ"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(restore_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 3, 0, 1, 2);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(restore_, &QPushButton::clicked, this, [this] {
        const bool go = context_.ask(
            {kRestoreCaption,
             QStringLiteral("ВНИМАНИЕ! Възтановяването на базата данни ще изтрие текущото състояние на данните!\r\n"
                            "За отказ натиснете бутона CANCEL. Действитено ли желаета да продължите?"),
             Icon::None},
            MessageSink::Buttons::OkCancel);
        if (!go) return;
        if (auto *ed = context_.windows().get<TFormEditDB>()) ed->RestoreConfirmed();
    });
}

void TFormEditDBUnArch::fill(const QString &archive)
{
    const AppState &st = context_.state();
    project_->setText(st.title + QLatin1Char(' ') + st.year);
    file_->setText(QFileInfo(archive).fileName());
    stamp_->setText(QLocale().toString(QFileInfo(archive).lastModified(), QLocale::ShortFormat));
}

} // namespace dx
