#include "description/GuiMeasuresPage.h"

#include "description/MeasuresModel.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {
namespace {

// A cell editor offering a pick list; a typed value is taken as it stands.
class PickListDelegate : public QStyledItemDelegate {
public:
    PickListDelegate(QStringList items, QObject *parent) : QStyledItemDelegate(parent), items_(std::move(items)) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(items_);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QComboBox *>(editor)->setEditText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
    }

private:
    QStringList items_;
};

} // namespace

MeasuresPage::MeasuresPage(AppState &state, QWidget *parent) : QWidget(parent), state_(state)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    models_[0] = new MeasuresModel(state_.cuttings, cuttingMeasures(), this);
    models_[1] = new MeasuresModel(state_.afforestation, afforestationMeasures(), this);
    for (int g = 0; g < 2; ++g) {
        grids_[g] = new QTableView;
        grids_[g]->setModel(models_[g]);
        grids_[g]->setSelectionBehavior(QAbstractItemView::SelectItems);
        grids_[g]->setEditTriggers(QAbstractItemView::AllEditTriggers);
        grids_[g]->installEventFilter(this);
        grids_[g]->viewport()->installEventFilter(this);
        connect(models_[g], &MeasuresModel::problem, this, [this](const QString &text) {
            if (report_) report_({QStringLiteral("Мероприятия"), text, UserMessage::Icon::Warning});
        });
        layout->addWidget(grids_[g], g == 0 ? 0 : 1);
    }
    buttons_ = new QWidget;
    auto *row = new QHBoxLayout(buttons_);
    row->setContentsMargins(0, 2, 0, 2);
    auto button = [&](const QString &caption, void (MeasuresPage::*act)()) {
        auto *b = new QPushButton(caption);
        connect(b, &QPushButton::clicked, this, act);
        row->addWidget(b);
    };
    button(QStringLiteral("Запис"), &MeasuresPage::saveRows);
    button(QStringLiteral("Вмъкни"), &MeasuresPage::insertRow);
    button(QStringLiteral("Добави"), &MeasuresPage::appendRow);
    button(QStringLiteral("Изтрий"), &MeasuresPage::deleteRow);
    row->addStretch(1);
    layout->addWidget(buttons_);
}

void MeasuresPage::setKeySource(std::function<QString()> key)
{
    for (MeasuresModel *m : models_) m->setKeySource(key);
}

void MeasuresPage::setUpGrid(int grid, const MeasureSetup &setup)
{
    const MeasureTableDef &def = grid == 0 ? cuttingMeasures() : afforestationMeasures();
    const QVector<MeasureColumn> columns = def.gridColumns();
    for (int c = 0; c < columns.size(); ++c) {
        const MeasureColumn &col = columns[c];
        // Nine pixels per character of the title; the remark gets room to spare.
        int width = 9 * int(col.title.size()) + (col.field == QStringLiteral("ZABELEJKA") ? 20 : 0);
        grids_[grid]->setColumnWidth(c, std::max(width, 40));
        if (!col.pickList.isEmpty())
            grids_[grid]->setItemDelegateForColumn(c, new PickListDelegate(setup.pickLists.value(col.pickList), grids_[grid]));
    }
}

void MeasuresPage::InitMer()
{
    MeasureSetup setup = dx::InitMer(state_, [this](const UserMessage &m) {
        if (report_) report_(m);
    });
    // Titles, widths and pick lists are set once; a later set-up keeps them.
    if (!initialised_) {
        setUpGrid(0, setup);
        setUpGrid(1, setup);
        initialised_ = true;
    }
    for (MeasuresModel *m : models_) m->refresh();
}

void MeasuresPage::ViewMer(const QString &otdText, const QString &podotd)
{
    dx::ViewMer(state_, otdText, podotd);
    for (MeasuresModel *m : models_) m->refresh();
}

void MeasuresPage::saveRows()
{
    // A cell still being edited is committed first, as leaving it would.
    for (QTableView *g : grids_) {
        QModelIndex current = g->currentIndex();
        g->setCurrentIndex(QModelIndex());
        g->setCurrentIndex(current);
    }
    models_[0]->save();
    models_[1]->save();
}

void MeasuresPage::insertRow()
{
    QTableView *view = activeView();
    int row = activeModel()->insertNewRow(std::max(0, view->currentIndex().row()));
    if (row >= 0) view->setCurrentIndex(activeModel()->index(row, 0));
}

void MeasuresPage::appendRow()
{
    QTableView *view = activeView();
    int row = activeModel()->appendNewRow();
    if (row >= 0) view->setCurrentIndex(activeModel()->index(row, 0));
}

void MeasuresPage::deleteRow()
{
    MeasuresModel *model = activeModel();
    if (model->rowCount() == 0) return;
    int row = activeView()->currentIndex().row();
    if (row < 0) row = 0;
    bool ok = confirm_ ? confirm_()
                       : QMessageBox::warning(this, QStringLiteral("Изтриване"),
                                              QStringLiteral("Действително ли желаете да изтриете избрания запис?"),
                                              QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    if (ok) model->removeAt(row);
}

void MeasuresPage::layoutGrids()
{
    // The cuttings grid takes half of the page less the button panel.
    int h = (height() - buttons_->sizeHint().height()) / 2;
    grids_[0]->setFixedHeight(std::max(h, 40));
}

void MeasuresPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    active_ = 1;
    layoutGrids();
    grids_[0]->setFocus();
}

void MeasuresPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutGrids();
}

bool MeasuresPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) {
        if (watched == grids_[0] || watched == grids_[0]->viewport()) active_ = 1;
        else if (watched == grids_[1] || watched == grids_[1]->viewport()) active_ = 2;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dx
