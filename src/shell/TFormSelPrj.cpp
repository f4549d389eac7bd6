// The project selection window.
#include "shell/TFormSelPrj.h"

#include "core/Paths.h"
#include "widgets/GuiGridHeader.h"
#include "widgets/WindowContext.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QButtonGroup>
#include <QColor>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {

// The project list over the state's catalogue; the sort column tinted.
class ProjectListModel : public QAbstractTableModel {
public:
    ProjectListModel(QVector<ProjectEntry> &rows, QObject *parent) : QAbstractTableModel(parent), rows_(rows) {}
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rows_.size()) return {};
        const ProjectEntry &e = rows_[index.row()];
        if (role == Qt::DisplayRole) return fieldOf(e, kFields[index.column()]);
        // Colour value 16315379 of the legacy palette (0x00BBGGRR): a light grey-blue.
        if (role == Qt::BackgroundRole && index.column() == tinted) return QColor(0xF3, 0xF3, 0xF8);
        if (role == Qt::TextAlignmentRole && index.column() == 1) return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        static const QString titles[4] = {QStringLiteral("РУГ"), QStringLiteral("вид"),
                                          QStringLiteral("лесничейство"), QStringLiteral("година")};
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section < 4) return titles[section];
        if (o == Qt::Horizontal && role == Qt::TextAlignmentRole && section == 1) return int(Qt::AlignCenter);
        return QAbstractTableModel::headerData(section, o, role);
    }
    void reset() { beginResetModel(), endResetModel(); }

    static constexpr CatalogueField kFields[4] = {CatalogueField::Direkcia, CatalogueField::Vid, CatalogueField::Bgname,
                                                  CatalogueField::Godina};
    int tinted = 2;

private:
    QVector<ProjectEntry> &rows_;
};

namespace {

using Icon = UserMessage::Icon;
constexpr int kWidth = 350;

} // namespace

TFormSelPrj::TFormSelPrj(WindowContext &context)
    : TFormWindow(QStringLiteral("Избор на проект"), context.owner()), context_(context)
{
    model_ = new ProjectListModel(context.state().catalogue, this);
    auto *layout = new QVBoxLayout(this);
    grid_ = new QTableView(this);
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    const int widths[4] = {96, 40, 128, 40};
    for (int c = 0; c < 4; ++c) grid_->setColumnWidth(c, widths[c]);
    grid_->horizontalHeader()->setSectionsClickable(true);
    grid_->installEventFilter(this);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { SortColumn(c); });
    connect(grid_, &QTableView::doubleClicked, this, [this] { Choose(); });
    layout->addWidget(grid_, 1);

    count_ = new QLabel(this);
    toggle_ = new QPushButton(QStringLiteral("Търсене >>"), this);
    auto *row = new QHBoxLayout;
    row->addWidget(count_, 1);
    row->addWidget(toggle_);
    layout->addLayout(row);
    connect(toggle_, &QPushButton::clicked, this, [this] { showSearch(!searchShown()); });

    searchPanel_ = new QWidget(this);
    auto *search = new QGridLayout(searchPanel_);
    search->setContentsMargins(0, 0, 0, 0);
    const QString labels[3] = {QStringLiteral("лесничейство"), QStringLiteral("година"), QStringLiteral("РУГ")};
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        choices_[i] = new QRadioButton(labels[i], searchPanel_);
        texts_[i] = new QLineEdit(searchPanel_);
        texts_[i]->installEventFilter(this);
        group->addButton(choices_[i], i);
        search->addWidget(choices_[i], i, 0);
        search->addWidget(texts_[i], i, 1);
        connect(choices_[i], &QRadioButton::clicked, this, [this, i] { chooseField(i); });
        connect(texts_[i], &QLineEdit::returnPressed, this, [this] { Search(); });
    }
    find_ = new QPushButton(QStringLiteral("Търси"), searchPanel_);
    search->addWidget(find_, 3, 1, Qt::AlignRight);
    connect(find_, &QPushButton::clicked, this, [this] { Search(); });
    layout->addWidget(searchPanel_);
    choices_[0]->setChecked(true);
    chooseField(0);

    remember_ = new QCheckBox(QStringLiteral("запомни последния отварян проект"), this);
    layout->addWidget(remember_);
    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    auto *cancel = new QPushButton(QStringLiteral("Отказ"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] { Choose(); });
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    // Enter belongs to the search texts: no button of the window is its default.
    for (QPushButton *b : findChildren<QPushButton *>()) b->setAutoDefault(false);
    setFixedWidth(kWidth);
}

void TFormSelPrj::LoadCatalogue()
{
    sortByName(context_.state().catalogue);
    model_->tinted = tinted_ = 2;
    model_->reset();
    nameAscendingNext_ = otherAscendingNext_ = true;
    setCurrentRow(0);
    count_->setText(QStringLiteral("Общ брой проекти: %1").arg(context_.state().catalogue.size()));
}

void TFormSelPrj::SortColumn(int column)
{
    if (column < 0 || column > 3) return;
    bool &mark = column == 2 ? nameAscendingNext_ : otherAscendingNext_;
    const bool ascending = !mark;
    mark = !mark;
    sortCatalogue(context_.state().catalogue, ProjectListModel::kFields[column], ascending);
    model_->tinted = tinted_ = column;
    model_->reset();
    setCurrentRow(0);
}

int TFormSelPrj::currentRow() const
{
    return grid_->currentIndex().isValid() ? grid_->currentIndex().row() : -1;
}

void TFormSelPrj::setCurrentRow(int row)
{
    if (row < 0 || row >= model_->rowCount()) return;
    grid_->setCurrentIndex(model_->index(row, 0));
    grid_->selectRow(row);
}

bool TFormSelPrj::searchShown() const
{
    return !searchPanel_->isHidden();
}

void TFormSelPrj::showSearch(bool on)
{
    searchPanel_->setVisible(on);
    toggle_->setText(on ? QStringLiteral("Търсене <<") : QStringLiteral("Търсене >>"));
    setFixedHeight(on ? 400 : 300);
}

void TFormSelPrj::chooseField(int which)
{
    for (int i = 0; i < 3; ++i) texts_[i]->setEnabled(i == which);
    texts_[which]->setFocus();
}

void TFormSelPrj::Search()
{
    int which = 0;
    for (int i = 0; i < 3; ++i)
        if (choices_[i]->isChecked()) which = i;
    const QString text = texts_[which]->text();
    if (text.isEmpty()) return;
    static const CatalogueField fields[3] = {CatalogueField::Bgname, CatalogueField::Godina, CatalogueField::Direkcia};
    const int found = findNextEntry(context_.state().catalogue, fields[which], currentRow(), text);
    if (found < 0) {
        context_.showMessage({QStringLiteral("Търсене"), QStringLiteral("Няма намерено съвпадение."), Icon::Information});
        return;
    }
    setCurrentRow(found);
}

QString TFormSelPrj::projectInfo() const
{
    const int row = currentRow();
    const AppState &st = context_.state();
    if (row < 0 || row >= st.catalogue.size()) return {};
    const ProjectEntry &e = st.catalogue[row];
    const QString cr = QStringLiteral("\r");
    return entryTitle(e) + QLatin1Char(' ') + e.godina + QStringLiteral("г.") + cr + QStringLiteral("РУГ ") +
           e.direkcia + cr + QStringLiteral("Database: ") + st.programDir + QLatin1Char('\\') + e.tabl + cr +
           QStringLiteral("Землищe NOM: ") + st.programDir + QLatin1Char('\\') + e.zemnom;
}

void TFormSelPrj::Choose()
{
    const int row = currentRow();
    hide();
    if (row < 0 || row >= context_.state().catalogue.size()) return;
    const ProjectEntry entry = context_.state().catalogue[row];
    context_.switchProject({entry.tabl, entryTitle(entry), entry.zemnom, entry.godina, remember_->isChecked()});
}

void TFormSelPrj::showEvent(QShowEvent *event)
{
    // The list is filled from the catalogue read at start-up on the first showing; other
    // windows may have changed the rows since (the project settings rewrite them).
    if (!loaded_) {
        LoadCatalogue();
        loaded_ = true;
    } else {
        model_->reset();
        count_->setText(QStringLiteral("Общ брой проекти: %1").arg(context_.state().catalogue.size()));
    }
    showSearch(context_.state().catalogue.size() > 10);
    if (currentRow() < 0) setCurrentRow(0);
    TFormWindow::showEvent(event);
    if (QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

bool TFormSelPrj::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->text() == QStringLiteral("?")) {
            if (watched == grid_)
                context_.showMessage({QStringLiteral("Project Info"), projectInfo(), Icon::Information});
            return true; // refused in the search texts
        }
    }
    return TFormWindow::eventFilter(watched, event);
}

} // namespace dx
