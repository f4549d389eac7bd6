// The project catalogue's sorting, searching and rewriting, the project switch and what
// it resets, and the project information figures.
#include "core/ProfileFile.h"
#include "core/ProjectCatalogue.h"
#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "demo/DemoData.h"
#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"
#include "shell/ProjectSettings.h"
#include "shell/ProjectStatistics.h"
#include "shell/ProjectSwitch.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dx;

namespace {

QVector<ProjectEntry> entries(std::initializer_list<const char *> lines)
{
    QVector<ProjectEntry> out;
    for (const char *l : lines) out.push_back(parseCatalogueLine(QString::fromUtf8(l)));
    return out;
}

class NotingUi : public StartupUi {
public:
    void message(const UserMessage &m) override { messages << m.caption + "|" + m.text; }
    void clearBuiltTables() override { ++cleared; }
    void captionChanged() override { caption = state->caption(); }
    void countsChanged(const QString &text) override { counts = text; }
    QStringList messages;
    QString caption, counts;
    int cleared = 0;
};

struct Installed {
    dxtest::TempDir dir;
    AppState st;
    NotingUi ui;
    Installed(int records = 60)
    {
        DemoOptions o;
        o.records = records;
        createDemoInstallation(dir.file("d"), o);
        st.programDir = qs(dir.file("d"));
        loadQuietly(st);
    }
    QString ini() const { return qs(cp::cp1251ToUtf8(io::readFile(dir.file("d/Dendrix.ini")))); }
};

} // namespace

TEST(ProjectCatalogue, SortSearchAndFindAsTheSelectionListDoes)
{
    auto list = entries({"1;Б;ДГС;Якоруда;2017;t1;", "1;А;ДЛС;банско;2019;t2;", "1;В;ДГС;Банско;2018;t3;",
                         "1;А;ДГС;Белово;2016;t4;"});
    sortCatalogue(list, CatalogueField::Direkcia, true);
    EXPECT_EQ(list[0].bgname, "банско"); // stable: equal directorates keep their order
    EXPECT_EQ(list[1].bgname, "Белово");
    sortCatalogue(list, CatalogueField::Bgname, false);
    EXPECT_EQ(list[0].bgname, "банско"); // case-sensitive: lower case sorts after upper
    EXPECT_EQ(list[3].bgname, "Банско");

    sortByName(list); // Банско, Белово, Якоруда, банско
    // From row 0 the search skips the current row and wraps past the end.
    EXPECT_EQ(findNextEntry(list, CatalogueField::Bgname, 0, "БАН"), 3);
    EXPECT_EQ(findNextEntry(list, CatalogueField::Bgname, 3, "бан"), 0);
    EXPECT_EQ(findNextEntry(list, CatalogueField::Bgname, 1, "Як"), 2);
    EXPECT_EQ(findNextEntry(list, CatalogueField::Godina, 2, "2017"), -1); // only the current row has it
    EXPECT_EQ(findNextEntry(list, CatalogueField::Bgname, -1, "Я"), 2);
    EXPECT_EQ(findNextEntry(list, CatalogueField::Bgname, 0, ""), -1);
    EXPECT_EQ(findNextEntry({}, CatalogueField::Bgname, 0, "x"), -1);

    EXPECT_EQ(findEntry(list, "длс БАНСКО", "2019"), 3);
    EXPECT_EQ(findEntry(list, "ДГС Банско", "2019"), -1);
}

TEST(ProjectCatalogue, RewrittenFileReadsBackInCodePage1251WithCrLf)
{
    dxtest::TempDir dir;
    auto list = entries({"1;РДГ Смолян;ДГС;Смолян;2020;database\\SM.DB;zemnom\\sm.dbf", "0;РДГ;ДЛС;Женда;2013;t;",
                         "1;x;y"});
    const QString path = qs(dir.file("project.conf"));
    writeProjectCatalogue(path, list);
    const std::string bytes = io::readFile(dir.file("project.conf"));
    EXPECT_EQ(bytes.substr(0, 4), cp::utf8ToCp1251("1;РД"));
    EXPECT_NE(bytes.find("\r\n0;"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const QVector<ProjectEntry> back = readProjectCatalogue(path);
    ASSERT_EQ(back.size(), 3);
    EXPECT_EQ(back[0].zemnom, "zemnom\\sm.dbf");
    EXPECT_EQ(back[2].vid, "y");
    EXPECT_TRUE(back[2].tabl.isEmpty());

    // A folder in the way: the old file stays, the error names it.
    dxtest::TempDir other;
    std::filesystem::create_directory(other.file("project.conf"));
    EXPECT_THROW(writeProjectCatalogue(qs(other.file("project.conf")), list), FileWriteError);
}

TEST(ProjectSwitch, UncheckedRememberLeavesTheProjectKeysAndResetsTheProjectState)
{
    Installed in;
    const QString before = in.ini();
    in.st.workingSieveLoaded = in.st.obsSieveLoaded = true;
    const int belovo = findEntry(in.st.catalogue, "ДГС Белово", "2016");
    ASSERT_GE(belovo, 0);
    in.st.builtTables = {2, 6};
    ASSERT_EQ(switchProject(in.st, in.ui, requestFor(in.st.catalogue[belovo], false)), SwitchResult::Switched);
    EXPECT_TRUE(in.ui.messages.isEmpty()) << in.ui.messages.join("\n").toStdString();
    EXPECT_EQ(in.ui.cleared, 1);
    EXPECT_TRUE(in.st.builtTables.isEmpty()); // the tables' built marks go with the menu "Таблици"
    EXPECT_FALSE(in.st.workingSieveLoaded);
    EXPECT_FALSE(in.st.obsSieveLoaded);
    EXPECT_EQ(in.ui.caption, "Dendrix 1.8  - ДГС Белово 2016");
    EXPECT_TRUE(in.st.projectTablePath.endsWith("Belovo.db"));
    EXPECT_FALSE(in.st.lists.compartments.isEmpty());
    EXPECT_TRUE(in.st.landArea.active());
    EXPECT_FALSE(in.ui.counts.isEmpty());

    const QString after = in.ini();
    EXPECT_TRUE(after.contains("SaveLastOpen=0"));
    QString expected = before;
    expected.replace("SaveLastOpen=1", "SaveLastOpen=0");
    EXPECT_EQ(after, expected); // the "Dendrix" section is untouched

    // Remembered: the next start opens it.
    ASSERT_EQ(switchProject(in.st, in.ui, requestFor(in.st.catalogue[belovo], true)), SwitchResult::Switched);
    AppState next;
    next.programDir = in.st.programDir;
    loadQuietly(next);
    EXPECT_EQ(next.title, "ДГС Белово");
    EXPECT_EQ(next.year, "2016");
    EXPECT_TRUE(next.projectTablePath.endsWith("Belovo.db"));
}

TEST(ProjectSwitch, MissingTablesAndLandAreasAreReportedWithoutChangingTheProject)
{
    Installed in;
    const QString before = in.ini();
    const QString table = in.st.projectTablePath;
    // An entry whose table is not there, and a short line without a table.
    for (const char *line : {"1;РДГ;ДЛС;Беглика;2015;database\\BEGLIKA.DB;", "1;РДГ;ДГС"}) {
        in.ui.messages.clear();
        const ProjectEntry e = parseCatalogueLine(QString::fromUtf8(line));
        EXPECT_EQ(switchProject(in.st, in.ui, requestFor(e, true)), SwitchResult::MissingTable);
        ASSERT_EQ(in.ui.messages.size(), 1);
        EXPECT_TRUE(in.ui.messages[0].startsWith("Избор на проект|Липсва файл "));
        EXPECT_TRUE(in.ui.messages[0].endsWith("! Възтановете файла и опитайте отново."));
        EXPECT_EQ(in.st.projectTablePath, table);
        EXPECT_EQ(in.ini(), before);
    }
    // A project without a land-area table switches and shows numbers (no table open).
    ProjectEntry elena = in.st.catalogue[findEntry(in.st.catalogue, "ДГС Елена", "2014")];
    elena.zemnom.clear();
    EXPECT_EQ(switchProject(in.st, in.ui, requestFor(elena, false)), SwitchResult::Switched);
    EXPECT_FALSE(in.st.landArea.active());
    EXPECT_TRUE(in.st.projectTable.active());
}

TEST(ProjectSwitch, EntriesNamingTablesOfOtherDisksOrFoldersAreRefusedByTheirOwnPath)
{
    Installed in;
    const QString before = in.ini();
    const QString table = in.st.projectTablePath;
    // A folder named like a drive under the program folder holds a table: a drive path
    // still names another machine's disk, not that folder.
    const std::string fake = in.dir.file("d/D:/DATA");
    std::filesystem::create_directories(fake);
    std::filesystem::copy_file(ss(table), fake + "/X.DB");
    struct Case {
        const char *line, *named;
    };
    const Case cases[] = {
        {"1;РДГ;ДГС;Другаде;2015;D:\\DATA\\X.DB;", "D:\\DATA\\X.DB"},
        {"1;РДГ;ДГС;Другаде;2015;d:/data/x.db;", "d:/data/x.db"},
        {"1;РДГ;ДГС;Другаде;2015;/srv/none/X.DB;", "/srv/none/X.DB"},
        {"1;РДГ;ДГС;Другаде;2015;..\\..\\none\\X.DB;", "/../../none/X.DB"},
        {"1;РДГ;ДГС;Другаде;2015;database;", "/database"}, // a folder, not a table
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        in.ui.messages.clear();
        const ProjectEntry e = parseCatalogueLine(QString::fromUtf8(c.line));
        EXPECT_EQ(switchProject(in.st, in.ui, requestFor(e, true)), SwitchResult::MissingTable);
        ASSERT_EQ(in.ui.messages.size(), 1);
        const QString named = QString::fromUtf8(c.named);
        const QString expected = named.startsWith('/') && !named.startsWith("/srv")
                                     ? in.st.programDir + named
                                     : named;
        EXPECT_EQ(in.ui.messages[0],
                  "Избор на проект|Липсва файл " + expected + "! Възтановете файла и опитайте отново.");
        EXPECT_EQ(in.st.projectTablePath, table);
        EXPECT_EQ(in.ini(), before);
    }
}

TEST(ProjectStatistics, FiguresAndCopyTextOverAProjectTable)
{
    dxtest::TempDir dir;
    const std::string path = dir.file("p.dbf");
    dbf::create(path,
                {makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                 makeField("PL", FieldType::Real, 8, 2), makeField("NZN2", FieldType::Text, 20)},
                {{Value::fromInt(1), Value::fromText("а"), Value::fromReal(5.5), Value::fromText("ДГТ")},
                 {Value::fromInt(1), Value::fromText("б"), Value::fromReal(6.5), Value::fromText("ДГТ")},
                 {Value::fromInt(2), Value::fromText("а"), Value::fromReal(1.25), Value::fromText("")},
                 {Value::fromInt(3), Value::fromText("а"), Value::fromReal(2.25), Value::fromText("частна")}});
    AppState st;
    st.programDir = qs(dir.path());
    st.projectTablePath = qs(path);
    st.title = "ДГС Тест";
    st.year = "2020";
    st.projectTable.setPath(path);
    st.projectTable.open();
    st.projectTable.setFilter("OTD=2");
    st.projectTable.setFiltered(true);
    const ProjectStatistics s = computeStatistics(st);
    EXPECT_FALSE(st.projectTable.filtered()); // left unfiltered for the next view to filter
    EXPECT_EQ(s.compartments, 3);
    EXPECT_EQ(s.subCompartments, 4); // the record without ownership is counted
    EXPECT_EQ(s.areaText, "15.5 xa");
    ASSERT_EQ(s.ownership.size(), 2);
    EXPECT_EQ(s.ownership[0].sob, "ДГТ");
    EXPECT_EQ(s.ownership[0].area, 12.0);
    EXPECT_EQ(s.ownership[1].area, 2.3); // "%.1f" of 2.25 rounds away from zero
    const QString text = statisticsText(st, s);
    EXPECT_TRUE(text.startsWith("Статистика - ДГС Тест 2020г.\r\n\r\nОтдели:\t3\r\nПодотдели:\t4\r\nПлощ:\t15.5 xa\r\n\r\n"
                                "Разпределение на общата площ по видове собственост:\r\nДГТ\t12 ха\r\nчастна\t2.3 ха\r\n"
                                "\r\n\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(st.contactLine));

    st.projectTablePath = qs(dir.file("none.dbf"));
    st.projectTable.close();
    st.projectTable.setPath(dir.file("none.dbf"));
    try {
        computeStatistics(st);
        FAIL();
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(std::string(e.what()), "Неможе да бъде отворена таблица " + dir.file("none.dbf") + "!");
    }
}

TEST(ProjectSettings, ChecksRefuseBadYearsAndWarnButSaveShortTexts)
{
    dxtest::TempDir dir;
    io::writeFileAtomic(dir.file("t.db"), "x");
    const QString wd = qs(dir.path());
    auto input = [](QString year) { return ProjectSettingsInput{"ДГС", "Банско", year, "РДГ Благоевград", "t.db", "", true}; };
    for (const char *bad : {"1979", "2100", "99", "20x0", ""}) {
        SettingsCheck c = checkProjectSettings(input(bad), wd);
        EXPECT_FALSE(c.ok) << bad;
        ASSERT_EQ(c.messages.size(), 1);
        EXPECT_EQ(c.messages[0].text, "Невалидна година.");
    }
    for (const char *good : {"1980", "2099"}) EXPECT_TRUE(checkProjectSettings(input(good), wd).ok) << good;

    ProjectSettingsInput one = input("2019");
    one.vid = "Д";
    one.direkcia = "РД";
    SettingsCheck c = checkProjectSettings(one, wd);
    EXPECT_TRUE(c.ok);
    ASSERT_EQ(c.messages.size(), 2);
    EXPECT_EQ(c.messages[0].text, "Проверете поле \"Вид\".");
    EXPECT_EQ(c.messages[0].icon, UserMessage::Icon::Warning);
    EXPECT_EQ(c.messages[1].text, "Проверете поле \"РУГ\".");

    ProjectSettingsInput noTable = input("2019");
    noTable.tableFile = "none.db";
    c = checkProjectSettings(noTable, wd);
    EXPECT_FALSE(c.ok);
    EXPECT_TRUE(c.messages.last().text.startsWith("Невалиднo име на файл за \"Лесоустройствени данни\"."));
    ProjectSettingsInput noZem = input("2019");
    noZem.landAreaFile = "none.dbf";
    EXPECT_FALSE(checkProjectSettings(noZem, wd).ok);
    ProjectSettingsInput noName = input("2019");
    noName.bgname.clear();
    noName.vid = "Д"; // the warning comes before the error that stops the checks
    c = checkProjectSettings(noName, wd);
    ASSERT_EQ(c.messages.size(), 2);
    EXPECT_EQ(c.messages[1].text, "Невалиднo поле \"Име\".");
}

TEST(ProjectSettings, SavingRewritesTheCatalogueByDirectorateAndTheSettings)
{
    Installed in;
    ProjectSettingsInput e{"ДГС", "Банско-ново", "2020", "РДГ Благоевград", "/somewhere/else/BANSKO.DB", "", false};
    const SwitchRequest next = saveProjectSettings(in.st, e);
    EXPECT_EQ(next.table, "database\\BANSKO.DB");
    EXPECT_EQ(next.title, "ДГС Банско-ново");
    EXPECT_EQ(next.landArea, "zemnom\\Bansko.dbf"); // an empty choice keeps the entry's file
    const QVector<ProjectEntry> file = readProjectCatalogue(qs(in.dir.file("d/project.conf")));
    ASSERT_EQ(file.size(), 14);
    for (int i = 1; i < file.size(); ++i) EXPECT_LE(file[i - 1].direkcia, file[i].direkcia);
    const int k = findEntry(file, "ДГС Банско-ново", "2020");
    ASSERT_GE(k, 0);
    EXPECT_EQ(file[k].activ, "0");
    const QString ini = in.ini();
    EXPECT_TRUE(ini.contains("bgname=ДГС Банско-ново"));
    EXPECT_TRUE(ini.contains("yaer=2020"));
    EXPECT_TRUE(ini.contains("database=database\\BANSKO.DB"));
    EXPECT_EQ(switchProject(in.st, in.ui, next), SwitchResult::Switched);
    EXPECT_EQ(in.st.title, "ДГС Банско-ново");

    // The open project has no entry now: the catalogue is written unchanged and the
    // switch names the empty table.
    in.st.title = "ДГС Никъде";
    const std::string before = io::readFile(in.dir.file("d/project.conf"));
    const SwitchRequest none = saveProjectSettings(in.st, e);
    EXPECT_EQ(io::readFile(in.dir.file("d/project.conf")), before);
    in.ui.messages.clear();
    EXPECT_EQ(switchProject(in.st, in.ui, none), SwitchResult::MissingTable);
    ASSERT_EQ(in.ui.messages.size(), 1);
    EXPECT_TRUE(in.ui.messages[0].startsWith("Избор на проект|Липсва файл "));
}
