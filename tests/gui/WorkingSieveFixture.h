// The working sieve and its windows over a demo installation, shown as the user opens
// them; file dialogs and printing are answered by hooks, message boxes noted.
#pragma once

#include "GuiFixtures.h"

#include "core/QtText.h"
#include "lists/GridTextLayout.h"
#include "widgets/GuiGridPrinter.h"
#include "sieves/TFormSieveWindows.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

#include <optional>

namespace dxtest {

class WorkingSieveTest : public ::testing::Test {
protected:
    using Sieve = dx::TFormSitoRabotno;

    void SetUp() override
    {
        demo(dir);
        w = std::make_unique<Windows>(dir.path());
        w->showAndLoad();
        ASSERT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
        sieve = window<Sieve>("TFormSitoRabotno");
        range = window<dx::TFormSitoRabotnoAge>("TFormSitoRabotnoAge");
        cutting = window<dx::TFormSitoRabotnoSechi>("TFormSitoRabotnoSechi");
        setting = window<dx::TFormSitoRabotnoSetting>("TFormSitoRabotnoSetting");
        ASSERT_TRUE(sieve && range && cutting && setting);
        sieve->setFileDialogHook([this](const Sieve::FileRequest &r) {
            requests << r;
            return answer;
        });
        sieve->show();
    }

    template <class W> W *window(const char *name) { return qobject_cast<W *>(w->list->find(name)); }
    dx::AppState &state() { return w->main->state(); }
    QString path(const char *name) const { return QString::fromStdString(dir.file(name)); }

    // Types a criterion's text as the user would leave it in its list.
    void set(dx::CriterionId id, const QString &text) { sieve->pickList(id)->setEditText(text); }
    void run() { sieve->command(Sieve::Command::Run)->trigger(); }
    bool enabled(Sieve::Command c) const { return sieve->command(c)->isEnabled(); }

    // The next file dialog answers with this choice (nothing: cancelled).
    void choose(const QString &file, int filter = 0) { answer = Sieve::FileChoice{file, filter}; }

    static void doubleClick(QWidget *target, const QPoint &at)
    {
        auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
            QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &e);
        };
        send(QEvent::MouseButtonPress, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
    static void doubleClickRow(QAbstractItemView *view, int row)
    {
        doubleClick(view->viewport(), view->visualRect(view->model()->index(row, 1)).center());
    }
    static void type(QWidget *target, const QString &text)
    {
        for (QChar c : text) {
            QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(target, &e);
        }
    }

    TempDir dir;
    std::unique_ptr<Windows> w;
    Sieve *sieve = nullptr;
    dx::TFormSitoRabotnoAge *range = nullptr;
    dx::TFormSitoRabotnoSechi *cutting = nullptr;
    dx::TFormSitoRabotnoSetting *setting = nullptr;
    QList<Sieve::FileRequest> requests;
    std::optional<Sieve::FileChoice> answer;
};

} // namespace dxtest
