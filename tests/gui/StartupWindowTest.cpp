// The windows created at start-up and the main window's loading sequence, driven on the
// offscreen platform with message boxes answered by a hook.
#include "GuiFixtures.h"

#include "app/AppWindows.h"
#include "shell/TFormDendrix.h"
#include "shell/TFormLoading.h"

#include "TestUtil.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using dxtest::Windows;
using dxtest::demo;

TEST(StartupWindows, AllWindowsExistInCreationOrderWithTheirCaptions)
{
    dxtest::TempDir dir;
    Windows w(dir.path());
    const std::vector<std::pair<const char *, QString>> expected = {
        {"TFormDendrix", "Dendrix "},
        {"TFormReport", "Печат на таксационни описания"},
        {"TFormPrintEdin", "Единичен печат на описания"},
        {"TFormPrintPList", "Печат на предотделен лист"},
        {"TFormReportPList", ""},
        {"TFormPrintOtDo", "Поточен печат на описания"},
        {"TFormPrintOtDoList", "Списък подотдели"},
        {"TFormPrintSet", "Настройки печат"},
        {"TFormSitoSechi", "Сито за сечите"},
        {"TFormSitoRabotno", "Сито работно"},
        {"TFormPrintProgress", "Отпечатване..."},
        {"TFormStatistics", "Информация за проекта"},
        {"TFormSitoRabotnoSechi", "Видове сечи"},
        {"TFormSitoRabotnoWait", "Моля изчакайте..."},
        {"TFormSitoOBS", "Сито ОБС"},
        {"TFormSpisatzi", "Списъци"},
        {"TFormSpisatziSubInfo", ""},
        {"TFormLoading", ""},
        {"TFormAbout", "За програмта"},
        {"TFormSitoRabotnoPrint", "Сито работно - Печат"},
        {"TFormSob", "Избор на собственост"},
        {"TFormGF1", "ОГФ 1 - Отчет за разпределение на общата горска площ по вид на горите"},
        {"TFormGF1Print", ""},
        {"TFormGF2", "ОГФ 2 - Отчет за разпределение на залесената горска площ по дървесни видове и класове на "
                     "възраст"},
        {"TFormSitoRabotnoAge", "Сито работно - избор Възраст"},
        {"TFormSpisatziQuery", "Площи по ..."},
        {"TFormSelPrj", "Избор на проект"},
        {"TFormExport", "Експорт на описания"},
        {"TFormSpisatziSechi", "Списък на сечите"},
        {"TFormPrintListFromFile", "Поточен печат на описания от списък"},
        {"TFormTableSelect", ""},
        {"TFormEditDB", "Редакция база дании"},
        {"TFormEditDBUnArch", "Възтановяване на база данни"},
        {"TFormDBSearch", "Търсене"},
        {"TFormEditZemName", "Землища"},
        {"TFormTestZemName", "Тест - Съответсвие имена на землища"},
        {"TFormStatus", "Status"},
        {"TFormEditName", "Настройки"},
        {"TFormSitoRabotnoSetting", "Настройки - Сито работно"},
    };
    ASSERT_EQ(w.list->all.size(), qsizetype(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_STREQ(w.list->all[i].className, expected[i].first) << i;
        EXPECT_EQ(w.list->all[i].window->windowTitle(), expected[i].second) << expected[i].first;
        EXPECT_FALSE(w.list->all[i].window->isVisible()) << expected[i].first;
    }
    EXPECT_TRUE(w.list->loading->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.list->loading->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.list->loading->status(), "Loading...");
}

TEST(StartupWindows, FirstShowFillsTheListsAndTheStatusBar)
{
    dxtest::TempDir dir;
    Windows w(demo(dir));
    w.showAndLoad();
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join("\n").toStdString();
    EXPECT_EQ(w.main->windowTitle(), "Dendrix 1.8  - ДГС Банско 2019 [1:а]");
    EXPECT_EQ(w.main->compartmentList()->currentText(), "1");
    EXPECT_GT(w.main->compartmentList()->count(), 4);
    EXPECT_EQ(w.main->subCompartmentList()->currentText(), "а");
    EXPECT_EQ(w.main->state().currentOtd, 1);
    EXPECT_EQ(w.main->state().currentPodotd, "а");
    EXPECT_TRUE(w.main->countsPanel()->text().startsWith("отдели:"));
    EXPECT_EQ(w.main->companyPanel()->text(), "Тилмара ЕООД");
    EXPECT_TRUE(w.main->projectSelectionAction()->isEnabled());
    EXPECT_FALSE(w.list->loading->isVisible());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Tables")));
}

TEST(StartupWindows, SecondShowDoesNotReload)
{
    dxtest::TempDir dir;
    Windows w(demo(dir));
    w.showAndLoad();
    std::filesystem::remove(dir.file("Dendrix.ini"));
    w.main->state().workingSieveLoaded = true;
    w.main->hide();
    w.main->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.main->showCount(), 2);
    EXPECT_TRUE(w.messages.isEmpty()); // a reload would miss the settings file now
    EXPECT_EQ(w.main->compartmentList()->currentText(), "1");
    EXPECT_FALSE(w.main->state().workingSieveLoaded); // marked on every show
}

TEST(StartupWindows, WithoutCatalogueProjectSelectionIsDisabled)
{
    dxtest::TempDir dir;
    demo(dir);
    std::filesystem::remove(dir.file("project.conf"));
    Windows w(dir.path());
    w.showAndLoad();
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_FALSE(w.main->projectSelectionAction()->isEnabled());
    EXPECT_EQ(w.main->subCompartmentList()->currentText(), "а");
}

TEST(StartupWindows, ProgramDirectoryIsTheWorkingDirectory)
{
    dxtest::TempDir dir;
    demo(dir);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path())));
    Windows w("");
    w.showAndLoad();
    QDir::setCurrent(before);
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(w.main->state().programDir, QString::fromStdString(std::filesystem::canonical(dir.path()).string()));
    EXPECT_GT(w.main->compartmentList()->count(), 0);
}

TEST(StartupWindows, AFailedStartShowsItsBoxesInOrderAndKeepsTheWindowUsable)
{
    dxtest::TempDir dir;
    demo(dir);
    std::filesystem::remove(dir.file("kloni.dbf"));
    Windows w(dir.path());
    w.showAndLoad();
    ASSERT_EQ(w.messages.size(), 2);
    EXPECT_TRUE(w.messages[0].startsWith("Липсващ файл!|Липсва файл "));
    EXPECT_TRUE(w.messages[1].startsWith("Номенклатурен файл|Файл "));
    EXPECT_TRUE(w.ended);
    EXPECT_FALSE(w.list->loading->isVisible());
    EXPECT_EQ(w.main->compartmentList()->count(), 0);
}

TEST(StartupWindows, ChoosingACompartmentReloadsItsSubCompartments)
{
    dxtest::TempDir dir;
    Windows w(demo(dir));
    w.showAndLoad();
    QComboBox *otd = w.main->compartmentList();
    int idx = otd->findText("3");
    ASSERT_GE(idx, 0);
    otd->setCurrentIndex(idx);
    emit otd->activated(idx);
    QComboBox *pod = w.main->subCompartmentList();
    ASSERT_GT(pod->count(), 0);
    pod->setCurrentIndex(pod->count() - 1);
    emit pod->activated(pod->count() - 1);
    EXPECT_EQ(w.main->state().currentOtd, 3);
    EXPECT_EQ(w.main->state().currentPodotd, pod->itemText(pod->count() - 1));
}

TEST(StartupWindows, ADamagedProjectTableGivesAWarningAndLeavesTheWindowUsable)
{
    dxtest::TempDir dir;
    demo(dir, 400);
    const std::string table = dir.file("database/BANSKO.DB");
    QString wholeCounts;
    {
        Windows whole(dir.path());
        whole.showAndLoad();
        wholeCounts = whole.main->countsPanel()->text();
    }
    std::string bytes;
    {
        std::ifstream in(table, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    // The demo's project table is encrypted: the header's first-block pointer is lost.
    bytes[0x0E] = bytes[0x0F] = 0;
    std::ofstream(table, std::ios::binary | std::ios::trunc) << bytes;

    Windows w(dir.path());
    w.showAndLoad();
    ASSERT_EQ(w.messages.size(), 1) << w.messages.join("\n").toStdString();
    EXPECT_EQ(w.messages[0], QString::fromStdString("Повреден файл|Файлът " + table +
                                                    " е повреден: the header counts 400 records but the block chain "
                                                    "holds 0 (the chain is broken). Прочетени са само здравите записи."));
    EXPECT_FALSE(w.ended); // the window stays, with what could be read
    EXPECT_FALSE(w.list->loading->isVisible());
    EXPECT_NE(w.main->countsPanel()->text(), wholeCounts);
    EXPECT_EQ(w.main->compartmentList()->count(), 0);
}
