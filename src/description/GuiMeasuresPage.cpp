// The page "Мероприятия": the two grids with their cell editors and the four buttons.
#include "description/GuiMeasuresPage.h"

#include "core/QtText.h"
#include "description/MeasuresModel.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {
namespace {

// A cell editor that stops at what the field holds (a text's width, an integer's digits
// and sign) and, for a column with a pick list, offers the list in a drop-down as wide
// as its longest entry; a typed value is taken as it stands. Tab and Shift+Tab commit
// the cell and go on to the next or previous one, in pick-list cells as in plain ones.
class MeasureCellDelegate : public QStyledItemDelegate {
public:
    MeasureCellDelegate(QStringList items, QObject *parent) : QStyledItemDelegate(parent), items_(std::move(items)) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = nullptr;
        QLineEdit *line = nullptr;
        if (!items_.isEmpty()) {
            auto *box = new QComboBox(parent);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->addItems(items_);
            fitPopup(box);
            line = box->lineEdit();
            // Keys handed to the combo's own line edit pass the combo by: Tab is caught
            // there too.
            line->installEventFilter(const_cast<MeasureCellDelegate *>(this));
            editor = box;
        } else {
            editor = QStyledItemDelegate::createEditor(parent, option, index);
            line = qobject_cast<QLineEdit *>(editor);
        }
        if (line) limitTo(line, index);
        return editor;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor)) box->setEditText(index.data(Qt::EditRole).toString());
        else QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor)) model->setData(index, box->currentText(), Qt::EditRole);
        else QStyledItemDelegate::setModelData(editor, model, index);
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(object);
        QComboBox *box = widget ? qobject_cast<QComboBox *>(widget->parentWidget()) : nullptr;
        const bool comboLine = box && box->lineEdit() == widget;
        if (widget && event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            const bool back = key->key() == Qt::Key_Backtab ||
                              (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
            if (back || key->key() == Qt::Key_Tab) {
                QWidget *editor = comboLine ? box : widget;
                emit commitData(editor);
                emit closeEditor(editor, back ? EditPreviousItem : EditNextItem);
                return true;
            }
        }
        // Everything else typed into a pick list is the combo's own business.
        if (comboLine) return false;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    static void limitTo(QLineEdit *line, const QModelIndex &index)
    {
        auto *model = qobject_cast<const MeasuresModel *>(index.model());
        if (!model) return;
        const MeasureColumn &column = model->column(index.column());
        // One character is one byte of the file's code page.
        line->setMaxLength(std::max(1, column.width));
        if (column.type == FieldType::Integer)
            line->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]*")), line));
    }
    static void fitPopup(QComboBox *box)
    {
        QAbstractItemView *view = box->view();
        const QFontMetrics metrics(view->font());
        int widest = 0;
        for (int i = 0; i < box->count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
        // Room for the item's margins, the list's frame and a scroll bar.
        const int room = std::max(widest + 16, view->sizeHintForColumn(0)) + 2 * view->frameWidth() +
                         view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
        view->setMinimumWidth(room);
    }

    QStringList items_;
};

// The width of a grid title drawn in bold, as the header draws the active column's.
int boldTitleWidth(QHeaderView *header, int section, const QString &title)
{
    QFont bold = header->font();
    bold.setBold(true);
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return std::max(header->sectionSizeHint(section), QFontMetrics(bold).horizontalAdvance(title) + margins + 2);
}

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
        grids_[g]->setItemDelegate(new MeasureCellDelegate({}, grids_[g]));
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
        // Nine pixels per character of the title, the remark with room to spare, and
        // never less than the title takes in bold.
        int width = 9 * int(col.title.size()) + (col.field == QStringLiteral("ZABELEJKA") ? 20 : 0);
        width = std::max(width, boldTitleWidth(grids_[grid]->horizontalHeader(), c, col.title));
        grids_[grid]->setColumnWidth(c, std::max(width, 40));
        if (!col.pickList.isEmpty())
            grids_[grid]->setItemDelegateForColumn(c, new MeasureCellDelegate(setup.pickLists.value(col.pickList), grids_[grid]));
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
    try {
        dx::ViewMer(state_, otdText, podotd);
    } catch (const std::exception &e) {
        // The grids keep showing what the tables show; a row typed now is refused.
        if (report_)
            report_({QStringLiteral("Грешка!"),
                     QStringLiteral("Мероприятията на подотдел %1 не могат да бъдат показани.").arg(measureKey(otdText, podotd)),
                     UserMessage::Icon::Error, qs(e.what())});
    }
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
