// The program's windows on a demo installation, for window tests: message boxes are
// answered by a hook, a fatal start-up error only noted.
#pragma once

#include "QtTestApp.h"

#include "demo/DemoData.h"
#include "app/AppWindows.h"
#include "shell/TFormDendrix.h"

#include "TestUtil.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace dxtest {


struct Windows {
    std::unique_ptr<dx::AppWindows> list;
    std::unique_ptr<dx::TFormDendrix> main;
    QStringList messages;
    bool ended = false;

    explicit Windows(const std::string &programDir)
    {
        dxtest::qtApp();
        list = dx::createWindows();
        main.reset(list->dendrix);
        main->state().programDir = QString::fromStdString(programDir);
        main->setMessageHook([this](const dx::UserMessage &m) { messages << m.caption + "|" + m.text; });
        main->setEndHook([this] { ended = true; });
        dx::GuiApplication::setMessageSink([this](const dx::UserMessage &m) { main->showMessage(m); });
    }
    ~Windows() { dx::GuiApplication::setMessageSink({}); }
    // Shows the main window and waits for the loading sequence it starts.
    void showAndLoad()
    {
        QEventLoop loop;
        bool finished = false;
        QObject::connect(main.get(), &dx::TFormDendrix::loadingFinished, &loop, [&] {
            finished = true;
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        main->show();
        if (!finished) loop.exec();
        ASSERT_TRUE(finished);
    }
};

inline std::string demo(const dxtest::TempDir &dir, int records = 60)
{
    dx::DemoOptions o;
    o.records = records;
    dx::createDemoInstallation(dir.path(), o);
    return dir.path();
}

// A window test on a demo installation: the program's windows, loaded without a message.
class DemoWindowsTest : public ::testing::Test {
protected:
    void loadDemo(int records = 60)
    {
        demo(dir, records);
        w = std::make_unique<Windows>(dir.path());
        w->showAndLoad();
        ASSERT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
    }

    dxtest::TempDir dir;
    std::unique_ptr<Windows> w;
};


} // namespace dxtest
