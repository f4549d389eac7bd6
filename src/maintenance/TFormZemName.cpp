// The land-area names editor, its test window and the status window.
#include "maintenance/TFormZemName.h"

#include "core/Paths.h"
#include "core/QtText.h"
#include "maintenance/LandAreaTest.h"
#include "widgets/WindowContext.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace dx {
namespace {

using Icon = UserMessage::Icon;

// The land-area grid's titles.
class ZemModel : public EditDbModel {
public:
    using EditDbModel::EditDbModel;
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o == Qt::Horizontal && role == Qt::DisplayRole)
            return section == 0 ? QStringLiteral("No.") : QStringLiteral("Землище");
        return EditDbModel::headerData(section, o, role);
    }
};

} // namespace

TFormEditZemName::TFormEditZemName(WindowContext &context)
    : TFormWindow(QStringLiteral("Землища"), context.owner()), context_(context), editor_(context.state().db)
{
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    QMenu *file = bar->addMenu(QStringLiteral("Файл"));
    connect(file->addAction(QStringLiteral("Проверка за съответствие")), &QAction::triggered, this,
            [this] { context_.windows().open<TFormTestZemName>(); });
    connect(file->addAction(QStringLiteral("Местоположение")), &QAction::triggered, this, [this] { ShowLocation(); });
    connect(file->addAction(QStringLiteral("Изход")), &QAction::triggered, this, [this] {
        grid_->setFocus(); // the open cell is posted
        hide();
    });
    QMenu *table = bar->addMenu(QStringLiteral("Таблица"));
    connect(table->addAction(QStringLiteral("Запиши")), &QAction::triggered, this, [this] { grid_->setFocus(); });
    connect(table->addAction(QStringLiteral("Вмъкни ред")), &QAction::triggered, this, [this] { InsertRow(); });
    connect(table->addAction(QStringLiteral("Изтрий ред")), &QAction::triggered, this, [this] { DeleteRow(); });

    model_ = new ZemModel(editor_, this);
    model_->onRefused = [this](const UserMessage &m) { context_.showMessage(m); };
    model_->onPosted = [this] { changed(); };
    grid_ = new QTableView(this);
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    layout->addWidget(grid_, 1);
    auto *status = new QStatusBar(this);
    count_ = new QLabel(status);
    count_->setFixedWidth(200);
    status->addWidget(count_);
    layout->addWidget(status);
    setFixedWidth(287);
}

void TFormEditZemName::refreshCount()
{
    count_->setText(QStringLiteral("брой землища:%1").arg(editor_.rowCount()));
}

// The main window's land-area table reads the file again, so descriptions show the names.
void TFormEditZemName::changed()
{
    refreshCount();
    Table &t = context_.state().landArea;
    if (!t.active()) return;
    try {
        t.close();
        t.open();
    } catch (const std::exception &) {
        t.close();
    }
}

bool TFormEditZemName::createTable()
{
    AppState &st = context_.state();
    const QString path = newLandAreaPath(st);
    if (fileExists(path)) {
        if (!context_.ask({QStringLiteral("Землища"),
                           QStringLiteral("Съществува файл %1, който ще бъде изтрит. Желаете ли да продъжите?").arg(path),
                           Icon::None},
                          MessageSink::Buttons::YesNo))
            return false;
        if (!QFile::remove(diskPath(path))) {
            context_.showMessage({QStringLiteral("Таблици"),
                                  QStringLiteral("Файл %1 неможе да бъде изтрит. Рестартирайте програмата и опитайте "
                                                 "отново.")
                                      .arg(path),
                                  Icon::Error});
            return false;
        }
    }
    try {
        createLandAreaTable(st, path);
    } catch (const std::exception &e) {
        context_.showMessage({QStringLiteral("Таблици"),
                              QStringLiteral("Файл %1 неможе да бъде отворен. Рестартирайте програмата и опитайте "
                                             "отново.")
                                  .arg(path),
                              Icon::Error, qs(e.what())});
        return false;
    }
    return true;
}

void TFormEditZemName::showEvent(QShowEvent *event)
{
    TFormWindow::showEvent(event);
    AppState &st = context_.state();
    setWindowTitle(QStringLiteral("Землища - %1 %2г.").arg(st.title, st.year));
    const bool made = !st.landArea.active();
    if (made && !createTable()) return;
    try {
        st.landArea.setFiltered(false);
        editor_.open(st.landArea.path());
    } catch (const std::exception &e) {
        context_.showMessage({QStringLiteral("Землища"), qs(e.what()), Icon::Error});
        return;
    }
    model_->reset();
    grid_->setColumnWidth(0, made ? 30 : 20);
    grid_->setColumnWidth(1, made ? 200 : 150);
    if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));
    refreshCount();
}

void TFormEditZemName::InsertRow()
{
    if (!editor_.active()) return;
    // Before the current row; with none (an empty table) the row is the first.
    const QModelIndex current = grid_->currentIndex();
    const size_t before = current.isValid() ? size_t(current.row()) : editor_.rowCount();
    size_t row = 0;
    if (auto m = editor_.insertRow(before, &row)) {
        model_->reset();
        refreshCount();
        return context_.showMessage(*m);
    }
    model_->reset();
    grid_->setCurrentIndex(model_->index(int(row), 0));
    changed();
}

void TFormEditZemName::DeleteRow()
{
    const QModelIndex i = grid_->currentIndex();
    if (!editor_.active() || !i.isValid()) return;
    if (auto m = editor_.removeRow(size_t(i.row()))) context_.showMessage(*m);
    model_->reset();
    changed();
}

void TFormEditZemName::ShowLocation()
{
    if (!editor_.active()) return;
    context_.showMessage({QStringLiteral("Землищe - файл"), qs(editor_.path()), Icon::Information});
}

// --- The test window -------------------------------------------------------------------

TFormTestZemName::TFormTestZemName(WindowContext &context)
    : TFormWindow(QStringLiteral("Тест - Съответсвие имена на землища"), context.owner()), context_(context)
{
    auto *layout = new QVBoxLayout(this);
    auto group = [this, layout](const QString &title, QLineEdit *&edit) {
        auto *g = new QGroupBox(title, this);
        auto *l = new QVBoxLayout(g);
        edit = new QLineEdit(g);
        edit->setReadOnly(true);
        l->addWidget(edit);
        layout->addWidget(g);
    };
    group(QStringLiteral(" Лесоустройствени данни "), table_);
    group(QStringLiteral(" Номенклатура - зeмлища "), zem_);
    test_ = new QPushButton(QStringLiteral("Тест"), this);
    auto *quit = new QPushButton(QStringLiteral("Изход"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(test_);
    buttons->addWidget(quit);
    layout->addLayout(buttons);
    connect(test_, &QPushButton::clicked, this, [this] { Test(); });
    connect(quit, &QPushButton::clicked, this, [this] {
        if (QWidget *s = context_.windows().widget<TFormStatus>()) s->hide();
        hide();
    });
}

void TFormTestZemName::showEvent(QShowEvent *event)
{
    TFormWindow::showEvent(event);
    const AppState &st = context_.state();
    table_->setText(st.projectTablePath);
    zem_->setText(st.landArea.active() ? qs(st.landArea.path()) : st.path(st.zemFileName));
    test_->setEnabled(fileExists(table_->text()) && fileExists(zem_->text()));
}

void TFormTestZemName::Test()
{
    UserMessage failure;
    const std::optional<LandAreaTestResult> r = testLandAreaNames(context_.state(), &failure);
    if (!r) {
        context_.showMessage(failure);
        return;
    }
    auto *status = context_.windows().get<TFormStatus>();
    if (status) {
        status->move(frameGeometry().right() + 1, frameGeometry().top());
        status->memo()->setPlainText(r->lines.join(QLatin1Char('\n')));
        status->show();
    }
    if (r->problems == 0) {
        context_.showMessage({QStringLiteral("Тест"), QStringLiteral("Данните са коректни!"), Icon::Information});
        if (status) status->hide();
    }
}

TFormStatus::TFormStatus(WindowContext &context) : TFormWindow(QStringLiteral("Status"), context.owner())
{
    auto *layout = new QVBoxLayout(this);
    memo_ = new QPlainTextEdit(this);
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(memo_);
}

} // namespace dx
