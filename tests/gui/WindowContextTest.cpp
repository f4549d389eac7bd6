// The window context: windows found by their type, message boxes through one sink, and
// the main window's menus opening every window through the registry.
#include "GuiFixtures.h"

#include "widgets/WindowContext.h"

#include <QAction>
#include <QDialog>
#include <QMenuBar>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

using dxtest::Windows;

class FirstWindow : public QDialog {};
class SecondWindow : public QDialog {};
class NeverRegistered;  // only declared, like a window of another subsystem

TEST(WindowRegistry, EachTypeFindsItsOwnWindowAndNothingElse)
{
    dxtest::qtApp();
    dx::WindowRegistry registry;
    FirstWindow first;
    SecondWindow second;
    registry.add(&first);
    registry.add(&second);

    EXPECT_EQ(registry.get<FirstWindow>(), &first);
    EXPECT_EQ(registry.get<SecondWindow>(), &second);
    EXPECT_EQ(registry.widget<SecondWindow>(), static_cast<QWidget *>(&second));
    EXPECT_EQ(registry.get<QDialog>(), nullptr);  // registered under their own types only
    EXPECT_EQ(registry.widget<NeverRegistered>(), nullptr);

    registry.open<SecondWindow>();
    EXPECT_TRUE(second.isVisible());
    EXPECT_FALSE(first.isVisible());
    registry.open<NeverRegistered>();  // nothing to open, nothing happens
}

TEST(MessageSink, AHookAnswersInsteadOfABox)
{
    dx::MessageSink sink;
    QStringList seen;
    sink.setHook([&](const dx::UserMessage &m) { seen << m.caption + "|" + m.text + "|" + m.detail; });
    dx::AppState state;
    dx::WindowRegistry registry;
    const dx::WindowContext context(state, sink, registry);
    context.showMessage({"Сито", "Не е записан.", dx::UserMessage::Icon::Error, "причина"});
    EXPECT_EQ(seen, QStringList{"Сито|Не е записан.|причина"});
    EXPECT_EQ(&context.state(), &state);
}

// Every window the main window opens by type is the one its menu item names.
TEST(MainWindowMenus, EveryItemOpensItsWindow)
{
    dxtest::TempDir dir;
    Windows w(dxtest::demo(dir));
    w.showAndLoad();
    const std::vector<std::pair<QString, const char *>> items = {
        {"Избор на проект", "TFormSelPrj"},
        {"Информация за проекта", "TFormStatistics"},
        {"Експорт", "TFormExport"},
        {"База данни", "TFormEditDB"},
        {"Землища", "TFormEditZemName"},
        {"Настройки проект", "TFormEditName"},
        {"Сито работно", "TFormSitoRabotno"},
        {"Сито ОБС", "TFormSitoOBS"},
        {"Сито за сечите", "TFormSitoSechi"},
        {"Списък на сечите", "TFormSpisatziSechi"},
        {"Списък на мероприятията", "TFormSpisatziSechi"},
        {"Площи по отдели", "TFormSpisatzi"},
        {"Площи по дървесни видове", "TFormSpisatzi"},
        {"Площи по ...", "TFormSpisatziQuery"},
        {"Таблици физико-географска характеристика", "TFormTableSelect"},
        {"ОГФ 1", "TFormSob"},
        {"Единичен печат", "TFormPrintEdin"},
        {"Поточен печат", "TFormPrintOtDo"},
        {"Предотделен лист", "TFormPrintPList"},
        {"Поточен печат от списък", "TFormPrintListFromFile"},
        {"Настройки принтер", "TFormPrintSet"},
        {"За прогрмата", "TFormAbout"},
    };
    const QList<QAction *> actions = w.main->menuBar()->findChildren<QAction *>();
    for (const auto &[text, window] : items) {
        QAction *item = nullptr;
        for (QAction *a : actions)
            if (a->text() == text && !a->menu()) item = a;
        ASSERT_NE(item, nullptr) << text.toStdString();
        for (const auto &e : w.list->all)
            if (e.window != w.main.get()) e.window->hide();
        item->trigger();
        QStringList open;
        for (const auto &e : w.list->all)
            if (e.window != w.main.get() && e.window->isVisible()) open << e.className;
        EXPECT_EQ(open, QStringList{window}) << text.toStdString();
    }
    // The toolbar's filter opens the working sieve.
    for (const auto &e : w.list->all)
        if (e.window != w.main.get()) e.window->hide();
    for (QAction *a : w.main->findChild<QToolBar *>()->actions())
        if (a->statusTip() == "Филтриране на данни") a->trigger();
    EXPECT_TRUE(w.list->find("TFormSitoRabotno")->isVisible());
}

} // namespace
