// The text layouts of a description and of a pre-compartment sheet, worked out by hand
// from small project tables: the whole layout line by line, the composition table's
// columns with a long species name, the totals line and its absence, the record grids'
// filling, the sheet, and the writing: code page 1251, appending, the missing record.
#include "description/DescriptionFixture.h"

#include "description/DamageDecoding.h"
#include "engine/common/Codepage.h"
#include "export/DescriptionText.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <limits>

#include <unistd.h>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class DescriptionTextTest : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    QStringList whole(int otd, const char *pod, bool grids = false)
    {
        shown.clear();
        std::optional<QString> t = wholeDescriptionText(state, otd, QString::fromUtf8(pod), grids,
                                                        [&](const UserMessage &m) { shown << m.text; });
        EXPECT_FALSE(state.projectTable.active());
        EXPECT_FALSE(state.projectTable.filtered());
        if (!t) return {};
        EXPECT_TRUE(t->endsWith(grids ? QStringLiteral("_ _ _ _ _") : QStringLiteral("\r\n")));
        EXPECT_FALSE(QString(*t).remove(QStringLiteral("\r\n")).contains(QLatin1Char('\n')));
        return t->split(QStringLiteral("\r\n"));
    }
    QString filePath(const char *name) const { return QString::fromStdString(dir.file(name)); }
    static QString fileText(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<none>");
        return QString::fromStdString(cp::cp1251ToUtf8(f.readAll().toStdString()));
    }

    // A stand with two storeys of trees, a damage named twice and a species name that
    // does not fit its column.
    static ProjectRow stand()
    {
        ProjectRow r(7, "б");
        r.num("GSU", 12).text("VID_PODOTD", "насаждение").real("PL", 2.5);
        r.text("STOP_KLAS", "3").text("VID_GORI", "иглолистни").text("NZN1", "защитна").text("NZN4", "водоохранна");
        r.text("NZN2", "държавна").num("ZEML", 1234).num("SECH_PER", 15);
        r.slot(1, "бб", "1", 6, 1, 40, 7, 18, 2, 20, 200, 500, 0).text("POVR1", "2к");
        r.slot(2, "бк", "подл", 4, 3, 0, 0, 0, 0, 0, 0, 0, 30).text("POVR2", "2к");
        r.slot(3, "дълго име на дървесен вид от 32x", "-", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).text("POVR3", "0");
        return r;
    }
    static QString rule() { return QString(103, QLatin1Char('_')); }
    static QString pad(const char *s, int w) { return QString::fromUtf8(s).leftJustified(w, QLatin1Char(' ')); }

    QStringList shown;
};

} // namespace

TEST_F(DescriptionTextTest, WholeDescriptionLineByLine)
{
    project({stand()});
    const QStringList l = whole(7, "б");
    const QString right = QStringLiteral("насаждение  2.5 xa");
    const QString header = pad("подотдел: 7 б  ДГС Тест 2020, 12 гсу", 102 - int(right.size())) + right;
    const QString row1 = QStringLiteral("     ") + pad("бб", 30) + "6   2к    сем   40    0.7   18   2    20    200     500     -   -       ";
    const QString row2 = QStringLiteral("подл ") + pad("бк", 30) + "4   2к    изд   -     -     -    -    -     -       -       -   30      ";
    // 32 characters: the name is not cut and the rest of its line moves two places right.
    const QString row3 = QStringLiteral("     дълго име на дървесен вид от 32x-   -     -     -     -     -    -    -     -       -       -   -       ");
    const QString totals = pad("всичко", 79) + "200     500     15  30      ";
    const QString damage = QStringLiteral("повреди:       2к   = ") + decodeDamage(state, QStringLiteral("2к"), {});
    const QStringList expected = {
        header, rule(), "", "ст.клас:       3", "", "вид гори:      иглолистни", "", "функция:       защитна, водоохранна",
        "", "собственост:   държавна", "", "землище:       1234", "", "положение:     ", "", "почва:         ", "",
        "тип мест.:       ", "", "о.б.с:         ", "", rule(),
        "                                   уч  пов   прои  възр  пълн  вис  бон  диам     запас        ползване",
        "     сегашен състав                -   реди  зход  год   -     м    -    см    куб/ха  куб     %   куб ",
        rule(), "", row1, row2, row3, rule(), totals, "", damage, "", "вид сеч:         ", "", "залесяване:    ", "",
        "по насоки:     ", "", "почвоподг:     ", ""};
    EXPECT_EQ(l.join("|\n").toStdString(), expected.join("|\n").toStdString());
    EXPECT_EQ(header.size(), 102);
    EXPECT_EQ(row1.size(), 107); // a composition line runs past the rule
    EXPECT_TRUE(damage.size() > 22) << "the damage letter was not decoded";
    EXPECT_TRUE(shown.isEmpty());

    EXPECT_FALSE(wholeDescriptionText(state, 7, QStringLiteral("в"), false, {}));
    EXPECT_FALSE(wholeDescriptionText(state, 8, QStringLiteral("б"), false, {}));
    EXPECT_FALSE(state.projectTable.active());
}

TEST_F(DescriptionTextTest, PositionSoilStandFormAndMeasures)
{
    ProjectRow r = stand();
    r.text("OBLAST", "Рила").num("NADM_VIS", 1200).text("IZLOJENIE", "С").text("RELEF", "склон").num("NAKLON", 20);
    r.text("PODPOIAS", "буков").text("POCHVA", "кафява").text("MEH_SYST", "песъчлива").text("KAMENL", "слабо");
    r.text("ERO_ST", "слаба").text("VID_ERO1", "плоскостна").text("OSN_SKALA", "гранит").text("BOGATSTVO", "бедна");
    r.num("NELES", 30).text("STROEJ", "едноетажен").text("PRAVOSTYBL", "добра").text("MESTORAST", "-");
    r.text("SECH1", "отгледна").num("GOD_SECH", 3).text("NAS_ZALES", "смърч");
    r.text("PP1", "ивици").real("PLPP1", 1.5);
    r.text("OBS_DV1", "ел").num("OBS_UCH1", 10).text("OBS_DV2", "бк").num("OBS_UCH2", 0);
    project({r});
    const QStringList l = whole(7, "б");
    auto at = [&](const char *label) {
        for (int i = 0; i < l.size(); ++i)
            if (l[i].startsWith(QString::fromUtf8(label))) return i;
        return -1;
    };
    ASSERT_GT(at("положение:"), 0);
    EXPECT_EQ(l[at("положение:")], "положение:     Рила, 1200m н.в., С, склон, наклон 20 градуса,");
    EXPECT_EQ(l[at("положение:") + 1], "               буков");
    EXPECT_EQ(l[at("почва:")], "почва:         кафява, песъчлива, слабо, -, -, -,");
    EXPECT_EQ(l[at("почва:") + 1], "               слаба, плоскостна, върху гранит, бедна, нелесопригодност 30%");
    // The stand form stands before the position, with the straightness after the scheme.
    EXPECT_EQ(l[at("землище:") + 2], "               правостъбленост добра, едноетажен строеж");
    EXPECT_EQ(l[at("тип мест.:")], "тип мест.:       ");
    EXPECT_EQ(l[at("о.б.с:")], "о.б.с:         ел 10, бк");
    EXPECT_EQ(l[at("вид сеч:")], "вид сеч:       отгледна на 3-тата година");
    EXPECT_EQ(l[at("по насоки:")], "по насоки:\tсмърч");
    EXPECT_EQ(l[at("почвоподг:")], "почвоподг:     ивици 1.5 xa, правостъбленост добра");
    EXPECT_TRUE(l[at("залесяване:")].startsWith("залесяване:    ел ")) << l[at("залесяване:")].toStdString();

    // Without a soil name only the unforestable share is left; a bare position label.
    r.text("POCHVA", "-").text("OBLAST", "-");
    project({r});
    const QStringList m = whole(7, "б");
    EXPECT_TRUE(m.contains("почва:         нелесопригодност 30%"));
    EXPECT_TRUE(m.contains("положение:     "));
    EXPECT_FALSE(m.contains("               буков"));
}

TEST_F(DescriptionTextTest, NoVolumesNoTotalsAndTheGridsFillTheVariablePart)
{
    ProjectRow r(2, "а");
    r.slot(1, "бб", "1", 10, 1, 20, 5, 8, 3, 6, 0, 0, 0);
    project({r});
    QStringList l = whole(2, "а", true);
    // No stock, stock per hectare or use: neither the totals line nor its rule.
    const int row = int(l.indexOf(QStringLiteral("     ") + pad("бб", 30) + "10  -     сем   20    0.5   8    3    6     -       -       -   -       "));
    ASSERT_GT(row, 0);
    EXPECT_EQ(l[row + 1], "");
    EXPECT_TRUE(l[row + 2].startsWith("вид сеч:  "));
    EXPECT_EQ(l.count(rule()), 3);
    // One row and no totals count 3 lines: 23 line breaks are added before the grids.
    const int last = int(l.indexOf("почвоподг:     "));
    const int grid = int(l.indexOf("вид сеч:     година    стояща   лежаща   едра     средна   дребна   е+с+д    дърва   вършина  забележка"));
    ASSERT_GT(last, 0);
    EXPECT_EQ(grid - last, 1 + 23 + 1);
    EXPECT_EQ(l.size(), grid + 1 + 3 + 1 + 1 + 2);
    EXPECT_EQ(l[grid + 4], QString(13, QLatin1Char(' ')) + QString(90, QLatin1Char('_')));
    EXPECT_TRUE(l[grid + 5].startsWith("насоки:      година"));

    // The stand of the first test: three rows, a totals line, one damage, and the
    // position's second line: 6 lines.
    ProjectRow s = stand();
    s.text("OBLAST", "Рила").text("PODPOIAS", "буков");
    project({s});
    l = whole(7, "б", true);
    EXPECT_EQ(int(l.indexOf("вид сеч:     година    стояща   лежаща   едра     средна   дребна   е+с+д    дърва   вършина  забележка")) -
                  int(l.indexOf("почвоподг:     ")),
              1 + 20 + 1);

    // Eleven rows, the totals line and two distinct damages: 14 lines, 12 breaks added.
    ProjectRow many(3, "а");
    for (int j = 1; j <= 11; ++j)
        many.slot(j, "бб", "1", 1, 1, 10, 1, 1, 1, 1, 1, 1, 0).text(slotField("POVR%d", j), j % 2 ? "к" : "д");
    project({many});
    l = whole(3, "а", true);
    EXPECT_EQ(int(l.indexOf("вид сеч:     година    стояща   лежаща   едра     средна   дребна   е+с+д    дърва   вършина  забележка")) -
                  int(l.indexOf("почвоподг:     ")),
              1 + 12 + 1);
}

TEST_F(DescriptionTextTest, SheetText)
{
    ProjectRow a(3, "а"), b(3, "б"), other(4, "а");
    a.text("VID_PODOTD", "насаждение").real("PL", 2.24).num("V1", 100).num("V5", 23);
    b.text("VID_PODOTD", "поляна").real("PL", 4);
    other.real("PL", 9).num("V1", 50);
    project({a, b, other});
    std::optional<QString> t = sheetText(state, 3, {});
    ASSERT_TRUE(t);
    const QStringList l = t->split(QStringLiteral("\r\n"));
    const QStringList expected = {
        QString(33, QLatin1Char(' ')) + "П Р Е Д О Т Д Е Л Е Н    Л И С Т", "", "", "",
        "ДГС Тест 2020,     отдел 3", "", "",
        "подотдел       вид на подотдела                                  площ           запас",
        "                                                                  ха            куб.м", "", "",
        pad("а", 15) + pad("насаждение", 50) + pad("2.2", 15) + pad("123", 15), "",
        pad("б", 15) + pad("поляна", 50) + pad("4.0", 15) + pad("-", 15), "", "",
        pad("-", 15) + pad("ВСИЧКО В ОТДЕЛА", 50) + pad("6.2", 15) + pad("123", 15)};
    EXPECT_EQ(l.join("|\n").toStdString(), expected.join("|\n").toStdString());
    EXPECT_FALSE(state.projectTable.active());
    EXPECT_FALSE(state.projectTable.filtered());

    // A compartment of areas without stock totals "0", its rows "-".
    project({b});
    t = sheetText(state, 3, {});
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->endsWith(pad("4.0", 15) + pad("0", 15)));
    EXPECT_FALSE(sheetText(state, 5, {}));
}

TEST_F(DescriptionTextTest, TitlesHoldingPlaceMarksAreWrittenAsTheyStand)
{
    // A project title (or year) with "%1 %2 %3" in it is text, not a place for the
    // compartment number or any other value.
    ProjectRow a(3, "а");
    a.text("VID_PODOTD", "насаждение").real("PL", 2);
    project({a});
    state.title = QStringLiteral("ДГС %1 %2 %3");
    state.year = QStringLiteral("20%1");
    const std::optional<QString> sheet = sheetText(state, 3, {});
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->split(QStringLiteral("\r\n")).value(4), QStringLiteral("ДГС %1 %2 %3 20%1,     отдел 3"));
    const QStringList whole = this->whole(3, "а");
    ASSERT_FALSE(whole.isEmpty());
    EXPECT_TRUE(whole[0].startsWith(QStringLiteral("подотдел: 3 а  ДГС %1 %2 %3 20%1, "))) << whole[0].toStdString();
}

TEST_F(DescriptionTextTest, WritingAppendsInCodePage1251WithTheTrailer)
{
    project({stand()});
    const QString path = filePath("out.txt");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier\r\n");
    }
    shown.clear();
    const TextReport sink = [&](const UserMessage &m) { shown << m.text; };
    ASSERT_TRUE(writeWholeDescription(state, 7, QStringLiteral("б"), false, false, path, sink));
    ASSERT_TRUE(writeWholeDescription(state, 7, QStringLiteral("х"), false, false, path, sink));
    ASSERT_TRUE(writeSheet(state, 7, false, path, sink));
    EXPECT_TRUE(shown.isEmpty());

    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_TRUE(bytes.startsWith("earlier\r\n"));
    // "п" of "подотдел" is 0xEF in code page 1251.
    EXPECT_EQ(bytes.mid(9, 1), QByteArray("\xEF"));
    const QString text = fileText(path);
    const QString first = *wholeDescriptionText(state, 7, QStringLiteral("б"), false, {});
    const QString sheet = *sheetText(state, 7, {});
    EXPECT_EQ(text, "earlier\r\n" + first + "\r\n\r\n\r\n" + "подотдел 7:х липсва в базата данни!\r\n\r\n\r\n" + sheet +
                        "\r\n\r\n\r\n");

    // Asked to report it, a missing record or compartment is a warning and writes nothing.
    ASSERT_TRUE(writeWholeDescription(state, 7, QStringLiteral("х"), true, true, path, sink));
    ASSERT_TRUE(writeSheet(state, 9, true, path, sink));
    EXPECT_EQ(shown, QStringList({"Избрания подотдел 7:х липсва в базата данни!\nПроверете за наличие на латински букви.",
                                  "Избрания отдел несъществува."}));
    EXPECT_EQ(fileText(path), text);
    // Not asked to, a missing compartment writes nothing either.
    ASSERT_TRUE(writeSheet(state, 9, false, path, sink));
    EXPECT_EQ(fileText(path), text);
}

TEST_F(DescriptionTextTest, AFileThatCannotBeWrittenIsLeftAsItWas)
{
    project({stand()});
    const QString folder = filePath("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/out.txt";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("before\r\n");
    }
    // A folder where the file should be, and a folder that is not there: reported, nothing made.
    shown.clear();
    const TextReport sink = [&](const UserMessage &m) { shown << m.text; };
    EXPECT_FALSE(writeWholeDescription(state, 7, QStringLiteral("б"), false, false, folder, sink));
    EXPECT_FALSE(writeSheet(state, 7, false, folder + "/missing/out.txt", sink));
    EXPECT_EQ(shown.size(), 2);
    EXPECT_FALSE(QFile::exists(folder + "/missing"));
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList({"out.txt"}));

    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::access(folder.toLocal8Bit().constData(), W_OK) == 0) GTEST_SKIP() << "running with rights over every folder";
    shown.clear();
    EXPECT_FALSE(writeWholeDescription(state, 7, QStringLiteral("б"), false, false, path,
                                       [&](const UserMessage &m) { shown << m.text; }));
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(fileText(path), "before\r\n");
    EXPECT_FALSE(appendDescriptionText(folder + "/new.txt", "x", nullptr));
    EXPECT_FALSE(QFile::exists(folder + "/new.txt"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

namespace {

DescriptionParts partsOf(std::initializer_list<int> ticked)
{
    DescriptionParts p{};
    for (int i : ticked) p[size_t(i - 1)] = true;
    return p;
}

} // namespace

TEST_F(DescriptionTextTest, PartialDescriptionBlocks)
{
    ProjectRow r = stand();
    r.real("PLPP1", 2.5).text("PP1", "ивици").text("OBS_DV1", "ел").num("OBS_UCH1", 4).num("GOD_SECH", 3);
    r.text("SECH1", "отгледна").text("PRAVOSTYBL", "добра").text("STROEJ", "едноетажен");
    project({r});
    auto partial = [&](std::initializer_list<int> ticked, const char *pod = "б") {
        const QString t = partialDescriptionText(state, 7, QString::fromUtf8(pod), partsOf(ticked), {});
        EXPECT_FALSE(state.projectTable.active());
        return t.split(QStringLiteral("\r\n"));
    };
    const QStringList head = whole(7, "б").mid(0, 2);

    // Only "повреди": the damages come with the table, so the header and rule only.
    EXPECT_EQ(partial({16}), head + QStringList({""}));
    EXPECT_EQ(partial({}), head + QStringList({""}));

    // The planting area is computed: 2.5 ha x 4/10 = 1 ha; the year leads the line.
    EXPECT_EQ(partial({12}), head + QStringList({"", "залесяване:    на 3-тата година, ел 1 xa", ""}));
    // Cuttings without the year; the straightness moves from the stand form to the preparation.
    EXPECT_EQ(partial({11, 14, 15}), head + QStringList({"", "               едноетажен строеж", "", "вид сеч:       отгледна", "",
                                                          "почвоподг:     ивици 2.5 xa, правостъбленост добра", ""}));
    // The blocks keep their fixed order: the stand form (p15) comes after the land area.
    const QStringList some = partial({5, 15, 1});
    EXPECT_EQ(some, head + QStringList({"", "ст.клас:       3", "", "землище:       1234", "", "               едноетажен строеж", ""}));

    // The table: the use share is the use's percentage of the stock (30 of 500: 6), and the
    // damages follow it only when asked for.
    QStringList t = partial({10});
    EXPECT_EQ(t[t.size() - 2], pad("всичко", 79) + "200     500     6   30      ");
    EXPECT_FALSE(t.join("\n").contains("повреди:"));
    t = partial({10, 16});
    EXPECT_EQ(t[t.size() - 2], QStringLiteral("повреди:       2к   = ") + decodeDamage(state, QStringLiteral("2к"), {}));

    EXPECT_EQ(partial({1, 10}, "х"), QStringList({"подотдел 7:х липсва в базата данни!"}));
}

TEST_F(DescriptionTextTest, PartialPlantingAreasAndUseShareRounding)
{
    ProjectRow r(4, "а");
    r.real("PLPP1", 2.5).num("NELES", 30).text("OBS_DV1", "ел").num("OBS_UCH1", 5).text("OBS_DV2", "бк").num("OBS_UCH2", 5);
    r.text("SHEMA_ZAL", "2x1");
    // 25 of 200 is 12.5 %: halves go to the even number.
    r.slot(1, "бб", "1", 10, 1, 50, 6, 20, 2, 24, 100, 200, 25);
    project({r});
    const QString t = partialDescriptionText(state, 4, QStringLiteral("а"), partsOf({10, 12}), {});
    // 2.5 x 30/100 x 5/10 = 0.375: 0.4 ha.
    EXPECT_TRUE(t.contains("\r\nзалесяване:    ел 0.4 xa, бк 0.4 xa, схема 2x1\r\n")) << t.toStdString();
    EXPECT_TRUE(t.contains(pad("всичко", 79) + "100     200     12  25      \r\n")) << t.toStdString();

    // 0.25 ha (1 x 5/10 x 5/10 with half unforestable) keeps its tenths even: 0.2.
    ProjectRow s(4, "б");
    s.real("PLPP1", 1).num("NELES", 50).text("OBS_DV1", "ел").num("OBS_UCH1", 5);
    s.slot(1, "бб", "1", 10, 1, 50, 6, 20, 2, 24, 0, 0, 0);
    project({s});
    const QString u = partialDescriptionText(state, 4, QStringLiteral("б"), partsOf({10, 12}), {});
    EXPECT_TRUE(u.contains("\r\nзалесяване:    ел 0.2 xa\r\n")) << u.toStdString();
    EXPECT_FALSE(u.contains("всичко")); // no volumes: no totals line
}

TEST_F(DescriptionTextTest, CopyOfTheCurrentSubCompartment)
{
    ProjectRow r = stand();
    r.text("STROEJ", "едноетажен").text("PRAVOSTYBL", "добра");
    ProjectRow other(7, "в");
    other.num("ZEML", 99);
    project({r, other});

    // The land-area names closed: the number as stored.
    QStringList l = currentSubCompartmentText(state, 7, QStringLiteral("б"), {}).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(l.contains("землище:       1234"));

    dx::dbf::create(dir.file("zem.dbf"), {dx::makeField("NOMER", dx::FieldType::Integer, 6), dx::makeField("ZEMNAME", dx::FieldType::Text, 40)},
                    {{dx::Value::fromInt(1234), dx::Value::fromText("Банско")}});
    state.landArea.setPath(dir.file("zem.dbf"));
    state.landArea.open();
    l = currentSubCompartmentText(state, 7, QStringLiteral("б"), {}).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(l.contains("землище:       Банско"));
    // Every block, in the partial layout: the stand form without the straightness, the
    // totals' use share computed (30 of 500: 6), then the record grids after the filling
    // (three rows, totals and one damage: 5 lines, 21 breaks).
    EXPECT_TRUE(l.contains("               едноетажен строеж"));
    EXPECT_TRUE(l.contains(pad("всичко", 79) + "200     500     6   30      "));
    const int last = int(l.indexOf("почвоподг:     правостъбленост добра"));
    ASSERT_GT(last, 0);
    EXPECT_TRUE(l[last + 23].startsWith("вид сеч:     година"));
    EXPECT_EQ(l.size(), last + 23 + 8);

    // A number without a name stays a number; a missing record gives its missing text.
    EXPECT_TRUE(currentSubCompartmentText(state, 7, QStringLiteral("в"), {}).contains("\r\nземлище:       99\r\n"));
    EXPECT_EQ(currentSubCompartmentText(state, 7, QStringLiteral("я"), {}), "подотдел 7:я липсва в базата данни!");
    EXPECT_FALSE(state.projectTable.active());
}

// Line breaks and tabs inside fields (a table edited elsewhere) become blanks: only the
// layout breaks lines, in every layout, and the columns keep their widths.
TEST_F(DescriptionTextTest, LineBreaksInsideFieldsBreakNoLine)
{
    DescriptionParts all;
    all.fill(true);
    auto layouts = [&] {
        QList<QStringList> out = {whole(7, "б", true),
                                  partialDescriptionText(state, 7, QStringLiteral("б"), all, {}).split(QStringLiteral("\r\n")),
                                  sheetText(state, 7, {}).value_or(QString()).split(QStringLiteral("\r\n"))};
        return out;
    };
    project({stand()});
    const QList<QStringList> plain = layouts();
    ProjectRow r = stand();
    r.text("VID_GORI", "иглолистни\r\nx").text("VID_PODOTD", "насаж\nдение").text("NZN2", "държ\rавна");
    r.text("DV1", "б\tб").text("ERO_ST", "a\x0b\x0c" "b");
    project({r});
    const QList<QStringList> broken = layouts();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(broken[i].size(), plain[i].size()) << i;
        for (const QString &line : broken[i]) EXPECT_FALSE(line.contains(QRegularExpression("[\\x00-\\x1f]"))) << i;
    }
    EXPECT_EQ(broken[0][5], "вид гори:      иглолистни  x");
    EXPECT_TRUE(broken[0][0].endsWith("насаж дение  2.5 xa"));
    EXPECT_EQ(broken[0][0].size(), plain[0][0].size());
    EXPECT_TRUE(broken[1].contains("собственост:   държ авна"));
    EXPECT_TRUE(broken[2].contains(pad("б", 15) + pad("насаж дение", 50) + pad("2.5", 15) + pad("500", 15)));
}

// A use far beyond the stock (a table made elsewhere) gives a share larger than any
// whole number: it is shown as it is, not wrapped round through an overflow.
TEST_F(DescriptionTextTest, AHugeUseShareIsShownWhole)
{
    DescriptionParts all;
    all.fill(true);
    ProjectRow r = stand();
    r.real("V1", 1).real("V2", 0).real("POLZV1", 9e17).real("POLZV2", 0); // 9e19 %: beyond 64 bits
    project({r});
    const QString t = partialDescriptionText(state, 7, QStringLiteral("б"), all, {});
    EXPECT_TRUE(t.contains(QStringLiteral("90000000000000000000"))) << t.toStdString();
    EXPECT_FALSE(t.contains(QLatin1Char('-') + QString::number(std::numeric_limits<long long>::max()).left(5)));
}

// Volumes far below zero (a table made elsewhere) add up to the lowest sum instead of
// wrapping round to a huge stock.
TEST_F(DescriptionTextTest, HugeNegativeVolumesShowNoStock)
{
    std::vector<dx::FieldDef> fields;
    for (const char *name : {"OTD", "V1", "V2", "V3"}) fields.push_back(dx::makeField(name, dx::FieldType::Real, 20, 0));
    fields.push_back(dx::makeField("PODOTD", dx::FieldType::Text, 8));
    fields.push_back(dx::makeField("VID_PODOTD", dx::FieldType::Text, 20));
    auto row = [](const char *pod, double v) {
        return dx::Row{dx::Value::fromReal(3), dx::Value::fromReal(v), dx::Value::fromReal(v), dx::Value::fromReal(v),
                       dx::Value::fromText(pod), dx::Value::fromText("насаждение")};
    };
    writeProject(fields, {row("а", -9e18), row("б", -9e18)});
    const std::optional<QString> t = sheetText(state, 3, {});
    ASSERT_TRUE(t);
    const QStringList l = t->split(QStringLiteral("\r\n"));
    EXPECT_EQ(l[11], pad("а", 15) + pad("насаждение", 50) + pad("0.0", 15) + pad("-", 15));
    EXPECT_EQ(l[13], pad("б", 15) + pad("насаждение", 50) + pad("0.0", 15) + pad("-", 15));
    EXPECT_TRUE(t->endsWith(pad("0.0", 15) + QString::number(std::numeric_limits<long long>::min()))) << t->toStdString();
}
