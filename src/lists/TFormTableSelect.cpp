// The table selection window: the table list, the ownership choice and the building of
// the chosen tables, each announced to the Lists window through tableBuilt.
#include "lists/TFormTableSelect.h"

#include "core/AppState.h"
#include "widgets/TFormSitoRabotnoWait.h"
#include "widgets/WindowContext.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace dx {

class TFormSob;
class TFormSpisatzi;

namespace {

const QString kHint = QStringLiteral("Ако желаете за изберете няколко таблици едновременно задръжте \r\nнатиснат клавиша "
                                     "Ctrl и посочете с мишката желаните таблици.");

} // namespace

TFormTableSelect::TFormTableSelect(WindowContext &context) : TFormWindow(QString(), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormTableSelect"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);

    list_ = new QTableWidget(0, 2, this);
    list_->setObjectName(QStringLiteral("RxMemTabList"));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection); // Ctrl and the mouse pick several
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->hide();
    list_->verticalHeader()->hide();
    list_->setColumnWidth(0, 70);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setWordWrap(false);
    list_->setToolTip(kHint);
    layout->addWidget(list_);

    auto *buttons = new QHBoxLayout;
    ownership_ = new QPushButton(QStringLiteral("собственост и предназначение"), this);
    ok_ = new QPushButton(QStringLiteral("ОК"), this);
    cancel_ = new QPushButton(QStringLiteral("Отказ"), this);
    ok_->setDefault(true);
    buttons->addWidget(ownership_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    statusBar_ = new QStatusBar(this);
    statusBar_->setSizeGripEnabled(false);
    status_ = new QLabel(statusBar_);
    statusBar_->addWidget(status_);
    statusBar_->installEventFilter(this);
    status_->installEventFilter(this);
    layout->addWidget(statusBar_);

    connect(ownership_, &QPushButton::clicked, this, &TFormTableSelect::ChooseOwnership);
    connect(ok_, &QPushButton::clicked, this, &TFormTableSelect::BitBtn1Click);
    connect(cancel_, &QPushButton::clicked, this, &TFormTableSelect::close);
    resize(620, 380);
    FillList();
}

void TFormTableSelect::FillList()
{
    list_->clearContents();
    const QList<PhysGeoEntry> &entries = physGeoTableList();
    list_->setRowCount(int(entries.size()));
    for (int r = 0; r < entries.size(); ++r) {
        auto *name = new QTableWidgetItem(entries[r].shortName);
        name->setData(Qt::UserRole, entries[r].number); // NOM, not shown
        list_->setItem(r, 0, name);
        list_->setItem(r, 1, new QTableWidgetItem(entries[r].description));
    }
    list_->clearSelection();
}

void TFormTableSelect::RefreshOwnership()
{
    AppState &state = context_.state();
    state.ownership.mode = OwnershipState::Tables;
    // The ownership window's controls hold the choice as last confirmed (the state's).
    state.ownership.filter = buildOwnershipFilter(state.ownership.choice, state.title, state.year);
    status_->setText(state.ownership.filter.description);
    status_->setMinimumWidth(6 * int(state.ownership.filter.description.size()));
}

void TFormTableSelect::ChooseOwnership()
{
    if (auto *sob = qobject_cast<QDialog *>(context_.windows().widget<TFormSob>())) {
        context_.state().ownership.mode = OwnershipState::Tables;
        sob->exec();
    }
    const QString description = context_.state().ownership.filter.description;
    status_->setText(description);
    status_->setMinimumWidth(6 * int(description.size()));
}

void TFormTableSelect::showEvent(QShowEvent *event)
{
    setWindowTitle(QStringLiteral("Избор на таблици - физико-географска характеристика"));
    TFormWindow::showEvent(event);
    FillList();
    RefreshOwnership();
}

bool TFormTableSelect::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && (watched == statusBar_ || watched == status_)) {
        ChooseOwnership();
        return true;
    }
    return TFormWindow::eventFilter(watched, event);
}

void TFormTableSelect::BitBtn1Click()
{
    QList<int> chosen; // in list order
    for (int r = 0; r < list_->rowCount(); ++r)
        if (list_->selectionModel()->isRowSelected(r, QModelIndex())) chosen << list_->item(r, 0)->data(Qt::UserRole).toInt();
    if (chosen.isEmpty()) {
        context_.showMessage({QStringLiteral("Избор на таблици"),
                              QStringLiteral("За да продължите трябва да изберете таблица от списъка. Ако желаете за "
                                             "изберете няколко таблици едновременно задръжте натиснат клавиша Ctrl и "
                                             "посочете с мишката желаните таблици."),
                              UserMessage::Icon::Information});
        return;
    }
    close();
    for (int number : chosen) {
        for (int r = 0; r < list_->rowCount(); ++r) // the built table's entry becomes the current one
            if (list_->item(r, 0)->data(Qt::UserRole).toInt() == number) list_->setCurrentCell(r, 0, QItemSelectionModel::NoUpdate);
        if (physGeoBuiltNumber(number)) BuildTable(number);
    }
    context_.windows().open<TFormSpisatzi>();
}

bool TFormTableSelect::BuildTable(int number)
{
    AppState &state = context_.state();
    auto *wait = context_.windows().get<TFormSitoRabotnoWait>();
    PhysGeoProgress progress;
    if (wait) {
        progress.start = [wait](const QString &label, int maximum) { wait->start(label, maximum); };
        // The gauge is repainted every 1 % only: a repaint per record would cost more than the sums.
        progress.position = [wait, step = 0](int position) mutable {
            const int max = std::max(1, wait->maximum());
            if (position * 100 / max != step || position == max) {
                step = position * 100 / max;
                wait->setPosition(position);
            }
        };
        progress.finish = [wait] { wait->hide(); };
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        last_ = BuildPhysGeoTable(state.db, physGeoSources(state), number, state.ownership.filter, &progress);
    } catch (const PhysGeoError &e) {
        QApplication::restoreOverrideCursor();
        context_.showMessage(e.message());
        return false;
    }
    QApplication::restoreOverrideCursor();
    const bool first = !state.builtTables.contains(last_.number);
    state.builtTables.insert(last_.number);
    emit tableBuilt(last_, first);
    return true;
}

ListContent TFormTableSelect::loadTable(int number) const
{
    const AppState &state = context_.state();
    return LoadPhysGeoTable(physGeoSources(state), number, state.ownership.filter).content;
}

ListContent TFormTableSelect::LoadTable(int number)
{
    try {
        return loadTable(number);
    } catch (const PhysGeoError &e) {
        context_.showMessage(e.message());
        return {};
    }
}

} // namespace dx
