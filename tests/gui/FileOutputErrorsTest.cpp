// Lists that cannot be saved (spreadsheet, RTF, PDF, text) are reported as the file that
// could not be written and why, never as "Грешка в базата данни!".
#include "WorkingSieveFixture.h"

#include "core/SafeFileWrite.h"
#include "engine/common/EngineError.h"
#include "lists/GridTextLayout.h"
#include "lists/RtfWriter.h"
#include "lists/SpreadsheetWriter.h"
#include "widgets/GuiGridPrinter.h"

#include <QFileInfo>
#include <QMenuBar>

#include <functional>

namespace {

const QString kDatabaseError = QStringLiteral("Грешка в базата данни!");

void fillList(dx::DataGridModel &grid)
{
    grid.setColumns({{QStringLiteral("отдел")}, {QStringLiteral("площ"), QStringLiteral("0.0"), Qt::AlignRight}});
    grid.setRows({{1, 2.5}, {2, 0.75}});
}

// What a failed save throws, seen as the windows catch it.
struct Caught {
    bool databaseError = false;
    std::optional<dx::FileWriteError> file;
};
Caught caught(const std::function<void()> &save)
{
    Caught c;
    try {
        save();
    } catch (const dx::EngineError &) {
        c.databaseError = true;
    } catch (const dx::FileWriteError &e) {
        c.file = e;
    } catch (...) {
    }
    return c;
}

TEST(FileOutputErrors, EveryListFileFailureIsAFileErrorNamingTheFile)
{
    dxtest::qtApp();
    dxtest::TempDir dir;
    dx::DataGridModel grid;
    fillList(grid);
    dx::GridPrinter printer(grid);
    const QString folder = QString::fromStdString(dir.file("gone"));
    const std::vector<std::pair<QString, std::function<void(const QString &)>>> saves = {
        {"list.xlsx", [&](const QString &p) { dx::SaveGridXlsx(grid, std::nullopt, p); }},
        {"list.rtf", [&](const QString &p) { dx::SaveGridRtf(grid, std::nullopt, p); }},
        {"list.pdf", [&](const QString &p) { printer.printToPdf(p); }},
        {"list.txt", [&](const QString &p) { dx::SaveGridText(grid, true, ";", p); }},
    };
    for (const auto &[name, save] : saves) {
        const QString path = folder + "/" + name;
        const Caught c = caught([&] { save(path); });
        EXPECT_FALSE(c.databaseError) << name.toStdString();
        ASSERT_TRUE(c.file) << name.toStdString();
        EXPECT_EQ(c.file->path(), path);
        EXPECT_EQ(c.file->reason(), QStringLiteral("папката %1 не съществува.").arg(folder));
        const dx::UserMessage m = dx::fileWriteMessage(*c.file);
        EXPECT_TRUE(m.text.contains(path)) << m.text.toStdString();
        EXPECT_NE(m.text, kDatabaseError);
        EXPECT_EQ(m.detail, c.file->reason());
    }
}

// A failure that reaches the event loop unhandled is still shown as the file it is.
TEST(FileOutputErrors, AFailedPdfAtTheEventLoopNamesTheFileAndTheReason)
{
    dxtest::qtApp();
    dxtest::TempDir dir;
    QList<dx::UserMessage> shown;
    dx::GuiApplication::setMessageSink([&](const dx::UserMessage &m) { shown << m; });
    dx::DataGridModel grid;
    fillList(grid);
    const QString path = QString::fromStdString(dir.file("gone/list.pdf"));
    struct Printing : QObject {
        std::function<void()> print;
        bool event(QEvent *e) override
        {
            if (e->type() == QEvent::User) print();
            return QObject::event(e);
        }
    } handler;
    handler.print = [&] { dx::GridPrinter(grid).printToPdf(path); };
    QEvent ev(QEvent::User);
    QCoreApplication::sendEvent(&handler, &ev);
    dx::GuiApplication::setMessageSink({});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("Файлът %1 не може да бъде записан.").arg(path));
    EXPECT_TRUE(shown[0].detail.contains("не съществува")) << shown[0].detail.toStdString();
    EXPECT_EQ(shown[0].icon, dx::UserMessage::Icon::Error);
}

} // namespace

namespace dxtest {

// "Запиши резултата като..." into a folder that is not there, as .xlsx and as .rtf.
TEST_F(WorkingSieveTest, AListThatCannotBeSavedNamesTheFileAndTheReason)
{
    QList<dx::UserMessage> shown;
    w->main->setMessageHook([&](const dx::UserMessage &m) { shown << m; });
    set(dx::CriterionId::StopKlas, sieve->pickList(dx::CriterionId::StopKlas)->itemText(0));
    run();
    ASSERT_GT(sieve->model()->rowCount(), 0);
    QAction *saveAs = nullptr;
    for (QAction *a : sieve->menus()->findChildren<QAction *>())
        if (a->text() == "Запиши резултата като...") saveAs = a;
    ASSERT_NE(saveAs, nullptr);
    const QString folder = path("gone");
    for (int filter : {0, 1}) {
        shown.clear();
        choose(folder + "/list", filter);
        saveAs->trigger();
        const QString file = folder + (filter == 0 ? "/list.xlsx" : "/list.rtf");
        ASSERT_EQ(shown.size(), 1) << filter;
        EXPECT_EQ(shown[0].text, QStringLiteral("Списъкът не е записан във файла %1.").arg(file));
        EXPECT_EQ(shown[0].detail, QStringLiteral("папката %1 не съществува.").arg(folder));
        EXPECT_NE(shown[0].text, kDatabaseError);
        EXPECT_FALSE(QFileInfo::exists(file));
    }
}

} // namespace dxtest
