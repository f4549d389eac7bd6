// One QApplication for a whole window test program (gtest_main owns main()): each test
// file calls dxtest::qtApp() before making widgets.
#pragma once

#include "app/GuiApplication.h"

#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

// Failed comparisons of texts print the text itself.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace dxtest {

inline QApplication &qtApp()
{
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance())) return *app;
    static int argc = 1;
    static char name[] = "gui_tests";
    static char *argv[] = {name, nullptr};
    // The program's own application object, so that window tests run under the same
    // guard at the event loop as the program.
    static QApplication *app = new dx::GuiApplication(argc, argv);
    return *app;
}

// The application stands before the first widget of any test of the program.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { qtApp(); }
};
inline ::testing::Environment *const qtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace dxtest
