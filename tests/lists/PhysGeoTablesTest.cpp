// The physico-geographic tables on small project tables: every sum worked out by hand
// here, the files under Tables/ (the aligned text, the dBase file read back, by us and by
// python3-dbfread), and the files that cannot be replaced.
#include "lists/PhysGeoTables.h"

#include "engine/common/Codepage.h"
#include "reports/ForestFundFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ForestFundFixture;
using dxtest::ProjectRow;

namespace {

class PhysGeoTables : public ::testing::Test, public ForestFundFixture {
protected:
    PhysGeoTables() { QDir().mkpath(tablesDir()); }
    QString tablesDir() const { return QString::fromStdString(dir.path()) + "/Tables"; }
    QString file(const char *name) const { return tablesDir() + "/" + name; }

    // A wood-producing record of the state's ownership.
    static ProjectRow wood(int otd, const char *podotd, double pl, const char *nzn2 = "държавна")
    {
        return stand(otd, podotd, "иглолистни", "семенно насаждение", pl, nzn2);
    }
    PhysGeoSources sources()
    {
        PhysGeoSources s = physGeoSources(state);
        s.siteClassPath = QString::fromStdString(dir.file("bon.dbf"));
        return s;
    }
    // The grid rows as shown, each "c1|c2|...".
    static QStringList shown(const ListContent &c)
    {
        DataGridModel m(c.columns);
        m.setRows(c.rows);
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r) {
            QStringList cells;
            for (int col = 0; col < m.columnCount(); ++col) cells << m.displayText(r, col);
            out << cells.join('|');
        }
        return out;
    }
    QStringList build(int number, const OwnershipChoice &choice = {})
    {
        filter = buildOwnershipFilter(choice, state.title, state.year);
        table = BuildPhysGeoTable(state.db, sources(), number, filter);
        return shown(table.content);
    }
    QStringList reread(int number) { return shown(LoadPhysGeoTable(sources(), number, filter).content); }
    static QString cp1251File(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<missing>");
        return QString::fromStdString(cp::cp1251ToUtf8(f.readAll().toStdString()));
    }
    static OwnershipChoice stateOnly()
    {
        OwnershipChoice c;
        c.byKind = true;
        c.kind = QStringLiteral("държавна");
        return c;
    }

    OwnershipFilter filter;
    PhysGeoTable table;
};

} // namespace

TEST_F(PhysGeoTables, AltitudeBandsOfFiftyAndOfAHundredMetres)
{
    ProjectRow other = stand(3, "а", "иглолистни", "поляна", 16.0); // not wood-producing
    other.num("NADM_VIS", 60);
    makeProject({wood(1, "а", 1.0).num("NADM_VIS", 50), wood(1, "б", 2.0).num("NADM_VIS", 51),
                 wood(1, "в", 4.0).num("NADM_VIS", 0), wood(1, "г", 0.5).num("NADM_VIS", 100),
                 wood(1, "д", 8.0).num("NADM_VIS", 3001), wood(2, "а", 32.0).num("NADM_VIS", -20),
                 wood(2, "б", 64.0, "общинска").num("NADM_VIS", 20), other});
    // 3001 m is above the 60 bands of 50 m; 0 and -20 are in no band.
    EXPECT_EQ(build(1, stateOnly()), (QStringList{"1 - 50 m|1.0|28.6", "51 - 100 m|2.5|71.4", "всичко|3.5|100.0"}));
    EXPECT_EQ(reread(1), build(1, stateOnly()));
    EXPECT_EQ(build(15, stateOnly()),
              (QStringList{"1 - 100 m|3.5|30.4", "3001 - 3100 m|8.0|69.6", "всичко|11.5|100.0"}));
    // Without the ownership filter the other ownership's 64 ha join the first band.
    EXPECT_EQ(build(1).first(), "1 - 50 m|65.0|96.3");
    EXPECT_EQ(table.caption, "Таблица 1 - Разпределение на дървопроизводителната площ по средни надморски височини "
                             "(през 50m)");
}

TEST_F(PhysGeoTables, SlopeAndExposureClassesAtTheirBorders)
{
    makeProject({wood(1, "а", 1.0).num("NAKLON", 4).text("IZLOJENIE", "североизточно"),
                 wood(1, "б", 2.0).num("NAKLON", 5).text("IZLOJENIE", "западно"),
                 wood(1, "в", 3.0).num("NAKLON", 30).text("IZLOJENIE", "Северно"),
                 wood(1, "г", 0.5).num("NAKLON", 31).text("IZLOJENIE", "равно"),
                 wood(1, "д", 7.0).num("NAKLON", 91).text("IZLOJENIE", "източно"),
                 wood(1, "е", 1.5).num("NAKLON", -1).text("IZLOJENIE", "южно"),
                 wood(1, "ж", 9.0).num("NAKLON", 95).text("IZLOJENIE", "")});
    EXPECT_EQ(build(2), (QStringList{"Равно (0-4°)|1.0|15.4", "Полегато (5-10°)|2.0|30.8",
                                     "Наклонено (11-20°)|0.0|0.0", "Стръмно (21-30°)|3.0|46.2",
                                     "Много стръмно (над 30°)|0.5|7.7", "всичко|6.5|100.0"}));
    // Shaded: североизточно and източно; sunny: западно and южно. A capital, р or nothing: no row.
    EXPECT_EQ(build(3), (QStringList{"Сенчести (СЗ,С,СИ,И)|8.0|69.6", "Припечени (ЮИ,Ю,ЮЗ,З)|3.5|30.4",
                                     "всичко|11.5|100.0"}));
}

TEST_F(PhysGeoTables, SoilValuesListedFromTheWholeTableEvenWithoutArea)
{
    ProjectRow field = stand(3, "а", "иглолистни", "поляна", 8.0);
    field.text("POCHVA", "кафява").text("DYLBOCHINA", "дълбока");
    makeProject({wood(1, "а", 2.0).text("POCHVA", "кафява").text("DYLBOCHINA", "плитка"),
                 wood(1, "б", 1.0, "общинска").text("POCHVA", "сива").text("DYLBOCHINA", "дълбока"),
                 wood(1, "в", 4.0).text("POCHVA", "-").text("DYLBOCHINA", "-"), field});
    // сива grows only outside the ownership filter: listed with 0.0.
    EXPECT_EQ(build(6, stateOnly()), (QStringList{"кафява|2.0|100.0", "сива|0.0|0.0", "всичко|2.0|100.0"}));
    EXPECT_EQ(build(7, stateOnly()), (QStringList{"плитка|2.0|100.0", "дълбока|0.0|0.0", "всичко|2.0|100.0"}));
    EXPECT_EQ(table.content.columns.first().title, "дълбочина на почвата");
    // No record in the selection at all: every percent 0.0, nothing divided by zero.
    OwnershipChoice none = stateOnly();
    none.kind = QStringLiteral("частна");
    EXPECT_EQ(build(6, none), (QStringList{"кафява|0.0|0.0", "сива|0.0|0.0", "всичко|0.0|0.0"}));
}

TEST_F(PhysGeoTables, RegionsSubBeltsAndSiteTypesShareOneTotal)
{
    makeProject({wood(1, "а", 1.0).text("OBLAST", "Мизийска").text("PODPOIAS", "пояс А").text("MESTORAST", "C2"),
                 wood(1, "б", 3.0).text("OBLAST", "-").text("PODPOIAS", "пояс Б").text("MESTORAST", "0"),
                 wood(1, "в", 1.0)
                     .text("OBLAST", "Мизийска")
                     .text("PODPOIAS", "пояс А")
                     .text("MESTORAST", "Г3 влажни много богати месторастения")});
    // The 36 letters of the last site type are cut to the label's 30.
    const QStringList want = {"Мизийска|2.0|40.0",        "||",      "пояс А|2.0|40.0",
                              "пояс Б|3.0|60.0",          "||",      "C2|1.0|20.0",
                              "Г3 влажни много богати местора|1.0|20.0", "||", "всичко|5.0|100.0"};
    EXPECT_EQ(build(9), want);
    EXPECT_EQ(reread(9), want);
}

TEST_F(PhysGeoTables, SpeciesTablePresentAndFutureComposition)
{
    makeNomenclature({{"бб", 1, 1}, {"смр", 1, 1}, {"бк", 2, 2}, {"ела", 1, 1}});
    std::vector<Row> bon;
    auto classes = [](const char *dv, std::array<double, 5> b) {
        Row r{Value::fromText(dv)};
        for (double v : b) r.push_back(Value::fromReal(v));
        return r;
    };
    std::vector<FieldDef> f = {makeField("DV", FieldType::Text, 10)};
    for (const char *n : {"B1", "B2", "B3", "B4", "B5"}) f.push_back(makeField(n, FieldType::Real, 5, 1));
    dbf::create(dir.file("bon.dbf"), f,
                {classes("бб", {8.4, 6.9, 5.5, 4.1, 2.9}), classes("смр", {10.2, 8.4, 6.6, 5.0, 3.5})});
    auto future = [](ProjectRow &r, int k, const char *dv, int uch, int b) -> ProjectRow & {
        const QString n = QString::number(k);
        return r.text("OBS_DV" + n, dv).num("OBS_UCH" + n, uch).num("OBS_B" + n, b);
    };
    // 1.0 ha of shares 3, 3, 4: 0.3, 0.3 and 0.4 ha. In the future 5 of бб and 5 of ела,
    // which has no present area and so no rows.
    ProjectRow a = wood(1, "а", 1.0);
    a.slot(1, "бб", "1", 3, 1, 60, 0.7, 20, 1, 24, 0, 0, 0).slot(2, "смр", "1", 3, 1, 60, 0.7, 20, 2, 24, 0, 0, 0);
    a.slot(3, "бк", "1", 4, 1, 60, 0.7, 20, 3, 24, 0, 0, 0);
    future(future(a, 1, "бб", 5, 1), 3, "ела", 5, 2);
    // A clearing: its future area is wood-producing, not afforested; the second storey counts nowhere.
    ProjectRow b = stand(1, "б", "иглолистни", "сечище", 2.0);
    b.slot(1, "бб", "1", 10, 1, 60, 0.7, 20, 1, 24, 0, 0, 0).slot(2, "бб", "2", 5, 1, 60, 0.7, 20, 1, 24, 0, 0, 0);
    future(b, 1, "бб", 10, 2);
    // Shares 6 and 6 of 1.0 ha: the second gets only the 0.4 ha left (with 0.3 of the first record: 1.3).
    ProjectRow c = stand(1, "в", "иглолистни", "клек", 1.0);
    c.slot(1, "смр", "1", 6, 1, 60, 0.7, 20, 2, 24, 0, 0, 0).slot(2, "смр", "1", 6, 1, 60, 0.7, 20, 2, 24, 0, 0, 0);
    ProjectRow d = stand(1, "г", "иглолистни", "поляна", 5.0); // not wood-producing
    d.slot(1, "бб", "1", 10, 1, 60, 0.7, 20, 1, 24, 0, 0, 0);
    makeProject({a, b, c, d});

    const QStringList want = {
        "бб|I|8.4|2.3|19.0|0.5|4.0|0.5|4.0", "|II|6.9|||||2.0|13.0",       "|III|5.5||||||",
        "|IV|4.1||||||",                     "|V|2.9||||||",               "|всичко||2.3|19.0|0.5|4.0|2.5|17.0",
        "смр|I|10.2||||||",                  "|II|8.4|1.3|10.0||||",        "|III|6.6||||||",
        "|IV|5.0||||||",                     "|V|3.5||||||",               "|всичко||1.3|10.0|0.0|0.0|0.0|0.0",
        "бк|I|0.0||||||",                    "|II|0.0||||||",              "|III|0.0|0.4|0.0||||",
        "|IV|0.0||||||",                     "|V|0.0||||||",               "|всичко||0.4|0.0|0.0|0.0|0.0|0.0",
    };
    EXPECT_EQ(build(10), want);
    EXPECT_EQ(reread(10), want);
    EXPECT_EQ(table.content.columns.size(), 9);
    EXPECT_EQ(table.content.columns[3].title, "СЕГАШЕН СЪСТАВ|площ|ха");
}

TEST_F(PhysGeoTables, ErosionCountsEveryRecordWhateverItsOwnershipOrKind)
{
    ProjectRow r1 = stand(1, "а", "иглолистни", "семенно насаждение", 2.0, "общинска");
    r1.text("ERO_ST", "ерозия II ст").text("VID_ERO1", "1площна ерозия").real("OBS_ZALES1", 0.5).real("OBS_ZALES2", 0.3);
    r1.text("PP1", "ръчни тераси");
    ProjectRow r2 = stand(1, "б", "иглолистни", "поляна", 1.0);
    r2.text("ERO_ST", "ерозия V ст").text("VID_ERO1", "2браздова").real("OBS_ZALES1", 1.0).text("PP2", "машинни тераси");
    ProjectRow r3 = stand(1, "в", "тополови", "семенно насаждение", 3.0);
    r3.text("ERO_ST", "ерозия 2 ст").text("VID_ERO1", "площна").real("OBS_ZALES1", 0.4); // no degree, no kind
    ProjectRow r4 = stand(1, "г", "-", "семенно насаждение", 5.0);
    r4.text("ERO_ST", "ерозия I ст"); // of no kind of forest
    makeProject({r1, r2, r3, r4});
    const QString zero = "0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0";
    const QStringList want = {"иглолистни|0.0|2.0|0.0|0.0|1.0|2.0|0.0|1.0|0.0|0.0|3.0|1.8|1.8",
                              "широкол. високостъбл.|" + zero,
                              "реконструкция|" + zero,
                              "превръщане|" + zero,
                              "нискостъблени|" + zero,
                              "тополови|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.4|0.0",
                              "всичко|0.0|2.0|0.0|0.0|1.0|2.0|0.0|1.0|0.0|0.0|3.0|2.2|1.8"};
    EXPECT_EQ(build(12, stateOnly()), want);
    EXPECT_EQ(reread(12), want);
    const QString text = cp1251File(file("tab12-13.txt"));
    EXPECT_TRUE(text.startsWith("вид гори\t\"ерозия I ст\"\t\"ерозия II ст\"\t\"ерозия III ст\"\t\"ерозия IV ст\"\t"
                                "\"ерозия V ст\"\tплощна\tструйчеста\tбраздова\tровинна\tдълбочинна\r\n"
                                "иглолистни\t0.0\t2.0\t0.0\t0.0\t1.0\t2.0\t0.0\t1.0\t0.0\t0.0\t3.0\t1.8\t1.8\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("всичко\t0.0\t2.0\t0.0\t0.0\t1.0\t2.0\t0.0\t1.0\t0.0\t0.0\t3.0\t2.2\t1.8\r\n\r\n"));
}

TEST_F(PhysGeoTables, TextFileIsHeadedAndAligned)
{
    makeProject({wood(1, "а", 12.25).num("NAKLON", 4), wood(1, "б", 100.5).num("NAKLON", 40)});
    build(2, stateOnly());
    const QStringList lines = cp1251File(file("tab2.txt")).split("\r\n");
    ASSERT_GE(lines.size(), 14);
    EXPECT_EQ(lines[0], "Таблица 2");
    EXPECT_EQ(lines[1], "Разпределение на дървопроизводителната площ по наклон на терена");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "ДГС Тест 2020г.,  собственост: държавна, предназначение: стопанско+специално");
    EXPECT_EQ(lines[4], "");
    // The widest label is 23 letters, the widest area "100.5" is narrower than its title.
    EXPECT_EQ(lines[5], "степени на наклона     \tплощ (xa)\t%    ");
    EXPECT_EQ(lines[6], "Равно (0-4°)           \t12.2     \t10.9 ");
    EXPECT_EQ(lines[10], "Много стръмно (над 30°)\t100.5    \t89.1 ");
    EXPECT_EQ(lines[11], "всичко                 \t112.8    \t100.0");
    EXPECT_EQ(lines.mid(12), (QStringList{"", ""})); // one more CR LF after the last row
}

TEST_F(PhysGeoTables, DbaseFileReadByDbfread)
{
    makeProject({wood(1, "а", 1.0).num("NAKLON", 4), wood(1, "б", 3.0).num("NAKLON", 12)});
    build(2);
    // The first python3 on the path may be one without the system's packages.
    QString python;
    for (const QString &candidate : {QStandardPaths::findExecutable("python3"),
                                     QStandardPaths::findExecutable("python3", {"/usr/bin", "/usr/local/bin"})})
        if (!candidate.isEmpty() && python.isEmpty() && QProcess::execute(candidate, {"-c", "import dbfread"}) == 0)
            python = candidate;
    if (python.isEmpty()) GTEST_SKIP() << "python3-dbfread is not installed";
    QProcess p;
    p.start(python, {"-c", "import sys, dbfread\n"
                           "t = dbfread.DBF(sys.argv[1], encoding='cp1251')\n"
                           "print(','.join(f.name + f.type + str(f.length) for f in t.fields))\n"
                           "for r in t: print('|'.join('' if v is None else str(v) for v in r.values()))\n",
                     file("tab2.dbf")});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    ASSERT_EQ(p.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).split('\n'),
              (QStringList{"F1C30,F2N14,F3N14", "Равно (0-4°)|1.0|25.0", "Полегато (5-10°)|0.0|0.0",
                           "Наклонено (11-20°)|3.0|75.0", "Стръмно (21-30°)|0.0|0.0",
                           "Много стръмно (над 30°)|0.0|0.0", "всичко|4.0|100.0", ""}));
}

TEST_F(PhysGeoTables, FileThatCannotBeReplacedStopsTheBuildAndKeepsBothFiles)
{
    makeProject({wood(1, "а", 1.0).num("NAKLON", 4)});
    build(2);
    const QString dbfBefore = cp1251File(file("tab2.dbf")), txtBefore = cp1251File(file("tab2.txt"));
    makeProject({wood(1, "а", 7.0).num("NAKLON", 4)});
    auto refused = [&](const char *name) {
        try {
            build(2);
        } catch (const PhysGeoError &e) {
            EXPECT_EQ(e.message().caption, "Таблици");
            EXPECT_EQ(e.message().icon, UserMessage::Icon::Error);
            EXPECT_EQ(e.message().text, QStringLiteral("Файл %1 неможе да бъде изтрит. Рестартирайте програмата и "
                                                       "опитайте отново.")
                                            .arg(file(name)));
            return e.message().detail;
        }
        ADD_FAILURE() << "built over " << name;
        return QString();
    };
    // Read-only text file: neither file changes.
    QFile::setPermissions(file("tab2.txt"), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    EXPECT_EQ(refused("tab2.txt"), "файлът е защитен от запис.");
    QFile::setPermissions(file("tab2.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(cp1251File(file("tab2.dbf")), dbfBefore);
    EXPECT_EQ(cp1251File(file("tab2.txt")), txtBefore);
    // A folder where the dBase file should be.
    QFile::rename(file("tab2.dbf"), file("keep.dbf"));
    QDir().mkdir(file("tab2.dbf"));
    EXPECT_EQ(refused("tab2.dbf"), "на мястото на файла има папка.");
    EXPECT_EQ(cp1251File(file("tab2.txt")), txtBefore);
    QDir().rmdir(file("tab2.dbf"));
    QFile::rename(file("keep.dbf"), file("tab2.dbf"));
    // Held by another program (its lock on the file's lock file).
    const QString python = QStandardPaths::findExecutable("python3");
    if (!python.isEmpty()) {
        QProcess holder;
        holder.start(python, {"-c", "import fcntl, sys, time\n"
                                    "f = open(sys.argv[1], 'a+')\n"
                                    "fcntl.lockf(f, fcntl.LOCK_EX)\n"
                                    "print('held', flush=True)\n"
                                    "time.sleep(30)\n",
                              file("tab2.dbf") + ".lck"});
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        EXPECT_TRUE(refused("tab2.dbf").startsWith("файлът е зает от друга програма"));
        holder.kill();
        holder.waitForFinished();
        EXPECT_EQ(cp1251File(file("tab2.dbf")), dbfBefore);
    }
    // Free again: built, and the new area is in both files.
    EXPECT_EQ(build(2).first(), "Равно (0-4°)|7.0|100.0");
    EXPECT_TRUE(cp1251File(file("tab2.txt")).contains("7.0"));
    EXPECT_EQ(reread(2).first(), "Равно (0-4°)|7.0|100.0");
}

TEST_F(PhysGeoTables, TableShownAgainFromAMissingFileSaysSo)
{
    makeProject({wood(1, "а", 1.0)});
    try {
        LoadPhysGeoTable(sources(), 7, filter);
        ADD_FAILURE() << "read a table never built";
    } catch (const PhysGeoError &e) {
        EXPECT_EQ(e.message().text, QStringLiteral("Таблица %1 неможе да бъде отворена. Рестартирайте програмата и "
                                                   "опитайте отново.")
                                        .arg(file("tab7.dbf")));
    }
}

TEST_F(PhysGeoTables, NamesAsTheCommandLineAndTheMenuGiveThem)
{
    EXPECT_EQ(physGeoNumberFromName("1а"), 15);
    EXPECT_EQ(physGeoNumberFromName("12-13"), 12);
    EXPECT_EQ(physGeoNumberFromName("10"), 10);
    EXPECT_EQ(physGeoNumberFromName("11"), 0); // offered, no table behind it
    EXPECT_EQ(physGeoNumberFromName("15"), 0);
    EXPECT_EQ(physGeoFileBase(15), "tab1a");
    EXPECT_EQ(physGeoFileBase(13), "tab12-13");
    EXPECT_EQ(physGeoMenuText(15), "Таблица 1 - Площ по надморски височини (през 100m)");
    EXPECT_EQ(physGeoWindowSize(10), QSize(623, 550));
}
