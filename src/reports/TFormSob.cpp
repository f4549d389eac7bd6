// The ownership choice window.
#include "reports/TFormSob.h"

#include "core/QtText.h"
#include "engine/sql/Database.h"
#include "reports/ForestFundProgress.h"
#include "reports/TFormGF1.h"
#include "reports/TFormGF2.h"
#include "widgets/WindowContext.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace dx {
namespace {

constexpr int kWidth = 330;

// The progress groups of the window as the reports' progress.
class GroupsProgress : public ForestFundProgress {
public:
    GroupsProgress(QWidget *window, QGroupBox *const *groups, QProgressBar *const *gauges)
        : window_(window), groups_(groups), gauges_(gauges) {}
    void caption(int group, const QString &text) override
    {
        groups_[group]->setTitle(text);
        groups_[group]->repaint();
    }
    void range(int group, int maximum) override
    {
        gauges_[group]->setRange(0, std::max(maximum, 1));
        gauges_[group]->setValue(0);
        shown_[group] = -1;
    }
    void position(int group, int position) override
    {
        QProgressBar *bar = gauges_[group];
        bar->setValue(position);
        // Repainting every record would cost more than the report: each whole percent.
        const int percent = int(qint64(bar->value()) * 100 / std::max(bar->maximum(), 1));
        if (percent != shown_[group]) {
            shown_[group] = percent;
            bar->repaint();
        }
    }

private:
    QWidget *window_;
    QGroupBox *const *groups_;
    QProgressBar *const *gauges_;
    int shown_[2] = {-1, -1};
};

QRadioButton *radio(const QString &text, QWidget *parent, int x, int y)
{
    auto *r = new QRadioButton(text, parent);
    r->move(x, y);
    r->adjustSize();
    return r;
}

} // namespace

TFormSob::TFormSob(WindowContext &context)
    : TFormWindow(QStringLiteral("Избор на собственост"), context.owner()), context_(context)
{
    setObjectName(QStringLiteral("FormSob"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    auto *owner = new QGroupBox(QStringLiteral("Собственост"), this);
    owner->setGeometry(8, 8, kWidth - 16, 110);
    allKinds_ = radio(QStringLiteral("Всички видове"), owner, 12, 22);
    oneKind_ = radio(QStringLiteral("Вид собственост"), owner, 12, 48);
    kinds_ = new QComboBox(owner);
    kinds_->setObjectName(QStringLiteral("ComboBox1"));
    kinds_->setGeometry(30, 74, kWidth - 60, 26);
    allKinds_->setChecked(true);
    kinds_->setEnabled(false);
    connect(oneKind_, &QRadioButton::toggled, kinds_, &QComboBox::setEnabled);

    auto *purpose = new QGroupBox(QStringLiteral("Предназначение"), this);
    purpose->setGeometry(8, 124, kWidth - 16, 104);
    purposes_[int(Purpose::General)] = radio(QStringLiteral("Общо"), purpose, 12, 22);
    purposes_[int(Purpose::Economic)] = radio(QStringLiteral("Стопанско"), purpose, 12, 48);
    purposes_[int(Purpose::Special)] = radio(QStringLiteral("Специално"), purpose, 12, 74);
    purposes_[int(Purpose::General)]->setChecked(true);

    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setGeometry(kWidth / 2 - 110, 240, 100, 30);
    ok_->setDefault(true);
    exit_ = new QPushButton(QStringLiteral("Изход"), this);
    exit_->setGeometry(kWidth / 2 + 10, 240, 100, 30);
    connect(ok_, &QPushButton::clicked, this, &TFormSob::BitBtn1Click);
    connect(exit_, &QPushButton::clicked, this, &TFormSob::close);

    for (int i = 0; i < 2; ++i) {
        waitGroups_[i] = new QGroupBox(QStringLiteral("Моля изчакайте..."), this);
        waitGroups_[i]->setGeometry(8, i == 0 ? 282 : 342, kWidth - 16, 54);
        gauges_[i] = new QProgressBar(waitGroups_[i]);
        gauges_[i]->setGeometry(12, 22, kWidth - 40, 20);
        gauges_[i]->setRange(0, 100);
    }
    setHeight(kPlainHeight);
}

void TFormSob::setHeight(int height)
{
    setFixedSize(kWidth, height);
}

OwnershipChoice TFormSob::choice() const
{
    OwnershipChoice c;
    c.byKind = oneKind_->isChecked();
    c.kind = kinds_->currentText();
    for (Purpose p : {Purpose::General, Purpose::Economic, Purpose::Special})
        if (purposes_[int(p)]->isChecked()) c.purpose = p;
    return c;
}

void TFormSob::LoadKinds()
{
    kinds_->clear();
    QStringList kinds;
    try {
        const QueryResult r = context_.state().db.execute(
            ss(QStringLiteral("SELECT distinct NZN2 from \"%1\"").arg(context_.state().projectTablePath)));
        for (const Row &row : r.rows) {
            const QString kind = qs(row.at(0).toText());
            if (!kind.isEmpty()) kinds << kind;
        }
    } catch (const std::exception &e) {
        context_.showMessage({plainCaption(), QStringLiteral("Видовете собственост не могат да бъдат прочетени."),
                              UserMessage::Icon::Error, qs(e.what())});
    }
    kinds.sort();
    kinds_->addItems(kinds);
    if (!kinds.isEmpty()) kinds_->setCurrentIndex(0);
}

void TFormSob::showEvent(QShowEvent *event)
{
    // Centred on the screen rather than beside the main window.
    QDialog::showEvent(event);
    gauges_[0]->setValue(0);
    gauges_[1]->setValue(0);
    setHeight(kPlainHeight);
    ok_->setEnabled(true);
    LoadKinds();
    if (const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormSob::BitBtn1Click()
{
    AppState &state = context_.state();
    OwnershipState &ownership = state.ownership;
    ownership.choice = choice();
    ownership.filter = buildOwnershipFilter(ownership.choice, state.title, state.year);
    if (ownership.mode == OwnershipState::Tables) {
        if (isModal()) accept();
        else hide();
        return;
    }
    const bool second = ownership.mode == OwnershipState::ForestFund2;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ok_->setEnabled(false);
    gauges_[0]->setValue(0);
    gauges_[1]->setValue(0);
    setHeight(second ? kTwoGroupsHeight : kOneGroupHeight);
    repaint();
    GroupsProgress progress(this, waitGroups_, gauges_);
    QWidget *report = nullptr;
    if (second) {
        if (auto *gf2 = context_.windows().get<TFormGF2>()) {
            gf2->BuildReport(&progress);
            report = gf2;
        }
    } else if (auto *gf1 = context_.windows().get<TFormGF1>()) {
        gf1->BuildReport(&progress);
        report = gf1;
    }
    ok_->setEnabled(true);
    QApplication::restoreOverrideCursor();
    setHeight(kPlainHeight);
    close();
    WindowRegistry::bringUp(report);
}

} // namespace dx
