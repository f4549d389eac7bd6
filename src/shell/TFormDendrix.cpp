#include "shell/TFormDendrix.h"

#include "shell/GuiWindows.h"
#include "shell/InfoStatus.h"
#include "shell/Navigation.h"
#include "shell/TFormLoading.h"
#include "shell/TFormShellWindows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace dx {
namespace {

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
    void countsChanged(const QString &text) override { main_.countsPanel()->setText(text); }

private:
    TFormDendrix &main_;
    TFormLoading &loading_;
};

QMessageBox::Icon boxIcon(UserMessage::Icon icon)
{
    switch (icon) {
    case UserMessage::Icon::Information: return QMessageBox::Information;
    case UserMessage::Icon::Warning: return QMessageBox::Warning;
    case UserMessage::Icon::Error: return QMessageBox::Critical;
    case UserMessage::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TFormDendrix::TFormDendrix(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Dendrix "));
    resize(1024, 700);
    buildMenu();
    buildLists();

    panel1_ = new QLabel(QStringLiteral("Тилмара ЕООД"));
    panel1_->setFixedWidth(500);
    panel2_ = new QLabel;
    panel2_->setMinimumWidth(220); // wider when the counts need it, never cut
    statusBar()->addWidget(panel1_);
    statusBar()->addWidget(panel2_);
}

TFormDendrix::~TFormDendrix() = default;

void TFormDendrix::buildMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("Файл"));
    actSelectProject_ = file->addAction(QStringLiteral("Избор на проект"));
    connect(actSelectProject_, &QAction::triggered, this, [this] {
        if (windows_) windows_->selPrj->show();
    });
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("Изход"));
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

void TFormDendrix::buildLists()
{
    auto *central = new QWidget(this);
    auto *top = new QHBoxLayout;
    comboOtd_ = new QComboBox;
    comboOtd_->setEditable(true);
    comboOtd_->setInsertPolicy(QComboBox::NoInsert);
    comboOtd_->setMinimumWidth(90);
    comboPodotd_ = new QComboBox;
    comboPodotd_->setEditable(true);
    comboPodotd_->setInsertPolicy(QComboBox::NoInsert);
    comboPodotd_->setMinimumWidth(70);
    top->addWidget(new QLabel(QStringLiteral("отдел")));
    top->addWidget(comboOtd_);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("подотдел")));
    top->addWidget(comboPodotd_);
    top->addStretch(1);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addStretch(1);
    setCentralWidget(central);

    connect(comboOtd_, qOverload<int>(&QComboBox::activated), this, &TFormDendrix::compartmentChosen);
    connect(comboPodotd_, qOverload<int>(&QComboBox::activated), this, &TFormDendrix::subCompartmentChosen);
}

void TFormDendrix::showMessage(const UserMessage &m)
{
    if (messageHook_) {
        messageHook_(m);
        return;
    }
    QMessageBox box(boxIcon(m.icon), m.caption, m.text, QMessageBox::Ok, this);
    if (!m.detail.isEmpty()) box.setInformativeText(m.detail);
    box.exec();
}

void TFormDendrix::showLists()
{
    filling_ = true;
    const NavigationLists &l = state_.lists;
    comboOtd_->clear();
    comboOtd_->addItems(l.compartments);
    comboOtd_->setCurrentIndex(l.compartment);
    comboOtd_->setEditText(l.compartmentText);
    comboPodotd_->clear();
    comboPodotd_->addItems(l.subCompartments);
    comboPodotd_->setCurrentIndex(l.subCompartment);
    comboPodotd_->setEditText(l.subCompartmentText);
    filling_ = false;
}

void TFormDendrix::InfoStatus()
{
    panel2_->setText(dx::InfoStatus(state_.db, state_.projectTablePath));
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

void TFormDendrix::runLoadingSequence()
{
    std::unique_ptr<TFormLoading> own;
    TFormLoading *loading = windows_ ? windows_->loading : nullptr;
    if (!loading) {
        own = std::make_unique<TFormLoading>();
        loading = own.get();
    }
    GuiStartupUi ui(*this, *loading);
    outcome_ = dx::runLoadingSequence(state_, ui);
    loading->hide();
    loaded_ = !outcome_.stopped;
    // Ending takes effect only now, back in the event loop.
    if (outcome_.endRequested) {
        if (endHook_) endHook_();
        else QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); });
    }
    emit loadingFinished();
}

void TFormDendrix::compartmentChosen(int index)
{
    if (filling_ || index < 0) return;
    NavigationLists &l = state_.lists;
    l.compartment = index;
    l.compartmentText = comboOtd_->itemText(index);
    try {
        reloadSubCompartments(state_, l.compartmentText);
    } catch (const std::exception &e) {
        showMessage({QStringLiteral("Error"), QStringLiteral("Грешка в базата данни!"), UserMessage::Icon::Error,
                     QString::fromStdString(e.what())});
    }
    showLists();
}

void TFormDendrix::subCompartmentChosen(int index)
{
    if (filling_ || index < 0) return;
    NavigationLists &l = state_.lists;
    l.subCompartment = index;
    l.subCompartmentText = comboPodotd_->itemText(index);
    ListSelection sel = listSelection(l);
    if (!sel.ok) return;
    try {
        selectDescription(state_, sel.otd, sel.podotd);
    } catch (const std::exception &e) {
        showMessage({QStringLiteral("Error"), QStringLiteral("Грешка в базата данни!"), UserMessage::Icon::Error,
                     QString::fromStdString(e.what())});
    }
}

} // namespace dx
