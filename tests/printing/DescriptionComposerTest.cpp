// The printed description composed from small project tables: the composition table's
// rules where they differ from the screen (minimum branch wood, the totals row's stock cut
// to tens, "- " cells), the per-storey rounding, the texts of the header and footer
// regions, the damage list, the missing record, and where the report places the columns
// with and without branch wood.
#include "description/DescriptionFixture.h"

#include "printing/DescriptionComposer.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class PrintedComposition : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    PrintedDescription compose(const ProjectRow &row)
    {
        project({row});
        messages.clear();
        std::optional<PrintedDescription> d =
            composeDescription(state, 1, QStringLiteral("а"), [&](const UserMessage &m) { messages << m.text; });
        EXPECT_TRUE(d.has_value());
        EXPECT_FALSE(state.projectTable.active());
        EXPECT_FALSE(state.projectTable.filtered());
        return d.value_or(PrintedDescription());
    }
    QStringList messages;
};

QStringList column(const PrintedDescription &d, QString CompositionRow::*cell)
{
    QStringList out;
    for (const CompositionRow &r : d.rows) out << r.*cell;
    return out;
}

// An item of the report's only page by name and, for table cells, by row.
QList<const ReportItem *> items(const Report &r, const QString &name)
{
    QList<const ReportItem *> out;
    if (r.pages.isEmpty()) return out;
    // Through a const reference: the items are the report's own, not a passing copy's.
    for (const ReportItem &i : r.pages.at(0).items)
        if (i.name == name) out << &i;
    return out;
}

} // namespace

TEST_F(PrintedComposition, EmptySlotsGiveOnlyTheTotalsRowWithDashes)
{
    PrintedDescription d = compose(ProjectRow(1, "а"));
    ASSERT_EQ(d.rows.size(), 1);
    const CompositionRow &t = d.rows[0];
    EXPECT_EQ(t.dv, " всичко"); // the leading blank is the printed page's
    for (const QString &c : {t.v1, t.v, t.vkloni, t.polz1, t.polz2, t.pkloni}) EXPECT_EQ(c, "- ");
    for (const QString &c : {t.u, t.et, t.pr, t.pyl, t.a, t.b, t.povr, t.h}) EXPECT_EQ(c, "");
    EXPECT_TRUE(d.damages.isEmpty());
    // Every region is there, the report has one page.
    const Report r = descriptionReport(d, PageSettings(), DescriptionLayout(), QStringLiteral("contact"));
    EXPECT_EQ(r.pageCount(), 1);
    for (const char *name : {"QRLPodotd", "QRLDL_GTU", "QRLVidPod", "QRLArea", "QRL_SK", "QRL_ZEM", "QRL_VG", "QRL_FUNK",
                             "QRL_SOB", "QRL_SHEMA", "QRM_POLOJENIE", "QRM_SOIL", "QRL_TM", "QRM_OBS", "QRM_POVR", "QRL_VS",
                             "QRM_ZAL", "QRL_NAS", "QRL_PP", "contact"})
        EXPECT_EQ(items(r, QString::fromLatin1(name)).size(), 1) << name;
    EXPECT_EQ(r.title, "Dendrix - ДГС Тест 2020 [1:а]");
}

TEST_F(PrintedComposition, AgesDiametersAndHeightsWithTheirCarryRules)
{
    ProjectRow r(1, "а");
    r.slot(1, "бк", "1", 6, 1, 60, 7, 22, 2, 24, 100, 300, 0);
    r.slot(2, "бб", "1", 3, 1, 60, 7, 0, 2, 0, 50, 100, 0);   // same age; diameter and height carried
    r.slot(3, "пр", "1", 0, 5, 0, 0, 0, 0, 0, 0, 0, 0);       // no share: nothing carried; age 0
    r.slot(4, "бб", "2", 1, 2, 30, 3, 0, 3, 0, 0, 0, 0);      // second storey: nothing carried
    PrintedDescription d = compose(r);
    EXPECT_EQ(column(d, &CompositionRow::a), QStringList({"60 ", "- ", "- ", "30 ", ""}));
    EXPECT_EQ(column(d, &CompositionRow::d), QStringList({"24 ", "24 ", "- ", "- ", ""}));
    EXPECT_EQ(column(d, &CompositionRow::h), QStringList({"22 ", "22 ", "- ", "- ", ""}));
    EXPECT_EQ(column(d, &CompositionRow::pr), QStringList({"сем", "сем", "-", "изк", ""}));
    EXPECT_EQ(column(d, &CompositionRow::pyl), QStringList({"0.7 ", "0.7 ", "- ", "0.3 ", ""}));
    EXPECT_EQ(column(d, &CompositionRow::u), QStringList({"6", "3", "-", "1", ""}));
    EXPECT_EQ(column(d, &CompositionRow::b), QStringList({"2 ", "2 ", "- ", "3 ", ""}));
}

TEST_F(PrintedComposition, StoreyRoundingAndTheMinimumBranchWood)
{
    ProjectRow r(1, "а");
    // First storey, 48 m³ with branches in all: fives. "хх" has no branch wood: +1 each.
    r.slot(1, "хх", "1", 5, 1, 50, 7, 20, 2, 20, 0, 22, 0);  // 23 -> 25
    r.slot(2, "хх", "1", 3, 1, 40, 7, 20, 2, 20, 0, 3, 0);   // 4 -> 5
    r.slot(3, "бб", "1", 2, 1, 30, 7, 20, 2, 20, 0, 20, 0);  // 20 + 1 (9 % of 20 is 1) = 21 -> 20
    // Second storey, 131 m³ with branches: tens.
    r.slot(4, "хх", "2", 4, 1, 20, 7, 10, 2, 10, 0, 43, 0);  // 44 -> 40
    r.slot(5, "хх", "2", 3, 1, 21, 7, 10, 2, 10, 0, 44, 0);  // 45 -> 50
    r.slot(6, "хх", "2", 3, 1, 22, 7, 10, 2, 10, 0, 41, 0);  // 42 -> 40
    PrintedDescription d = compose(r);
    EXPECT_EQ(column(d, &CompositionRow::vkloni), QStringList({"25 ", "5 ", "20 ", "40 ", "50 ", "40 ", "180 "}));
    EXPECT_EQ(column(d, &CompositionRow::v), QStringList({"22 ", "3 ", "20 ", "43 ", "44 ", "41 ", "170 "}));
    EXPECT_EQ(d.rows.last().pkloni, "- ");
}

TEST_F(PrintedComposition, TotalsStockIsCutToTensFromFiftyOne)
{
    for (auto [stock, printed] : {std::pair{57, "50 "}, {50, "50 "}, {60, "60 "}, {51, "50 "}, {49, "49 "}, {1, "1 "}}) {
        ProjectRow r(1, "а");
        r.slot(1, "хх", "1", 10, 1, 50, 7, 20, 2, 20, 0, stock, 0);
        PrintedDescription d = compose(r);
        EXPECT_EQ(d.rows.last().v, printed) << stock;
        EXPECT_EQ(d.rows.first().v, QString::number(stock) + " ") << "rows are not cut";
    }
}

TEST_F(PrintedComposition, UseWithoutCuttingPercentHasNoBranchWood)
{
    ProjectRow r(1, "а");
    r.slot(1, "бб", "1", 6, 1, 50, 7, 20, 2, 20, 100, 200, 30);
    r.slot(2, "хх", "1", 4, 1, 40, 7, 20, 2, 20, 80, 100, 5);
    PrintedDescription d = compose(r);
    EXPECT_EQ(column(d, &CompositionRow::pkloni), QStringList({"- ", "- ", "- "}));
    EXPECT_EQ(column(d, &CompositionRow::polz2), QStringList({"30 ", "5 ", "35 "}));
    EXPECT_EQ(d.rows.last().polz1, "- ");
    EXPECT_EQ(d.rows.last().v1, "180 ");

    // With a cutting percent the use gets branch wood without a minimum.
    r.num("SECH_PER", 15);
    d = compose(r);
    // 30 + 2 (9 %) = 32 and 5 + 0 = 5, in a storey of 37: fives.
    EXPECT_EQ(column(d, &CompositionRow::pkloni), QStringList({"30 ", "5 ", "35 "}));
    EXPECT_EQ(d.rows.last().polz1, "15 ");
    EXPECT_EQ(column(d, &CompositionRow::polz1), QStringList({"- ", "- ", "15 "}));
}

TEST_F(PrintedComposition, HeaderAndFooterTexts)
{
    ProjectRow r(1, "а");
    r.num("GSU", 4).text("VID_PODOTD", "семенно насаждение").real("PL", 12.25).text("STOP_KLAS", "бб");
    r.num("ZEML", 17).text("NZN1", "защитна").text("NZN2", "държавна").text("NZN3", "0").text("NZN4", "водоохранна");
    r.text("OBLAST", "-").num("NADM_VIS", 800).num("NAKLON", 12);
    r.text("POCHVA", "-").num("NELES", 20);
    r.text("MESTORAST", "Б2 свежи бедни");
    r.text("OBS_DV1", "бб").num("OBS_UCH1", 7).text("OBS_DV2", "бк").num("OBS_UCH2", 0).num("OBS_B1", 2);
    r.text("SECH1", "прореждане").text("SECH2", "0").text("SECH3", "санитарна").num("GOD_SECH", 3);
    r.text("PP2", "тераси").real("PLPP2", 1.5); // a second preparation without a first
    r.real("OBS_ZALES1", 1.5).text("SHEMA_ZAL", "2x1");
    r.text("STROEJ", "двуетажно").text("PRAVOSTYBL", "добра");
    PrintedDescription d = compose(r);
    EXPECT_EQ(d.podotd, "1     а");
    EXPECT_EQ(d.dlGtu, "ДГС Тест 2020, 4 гсу");
    EXPECT_EQ(d.area, "12.3 xa"); // a tie rounds away from zero
    EXPECT_EQ(d.zem, "землище: 17");
    EXPECT_EQ(d.funk, "защитна, водоохранна");
    EXPECT_EQ(d.sob, "държавна");
    EXPECT_EQ(d.polojenie, "800m н.в., наклон 12 градуса"); // Latin m in the short line
    EXPECT_EQ(d.soil, "нелесопригодност 20%");
    EXPECT_EQ(d.tm, "свежи бедни    (Б2)");
    EXPECT_EQ(d.obs, "бб 7, бк,     2 бонитет");
    EXPECT_EQ(d.vs, "прореждане, санитарна на 3-тата година");
    EXPECT_EQ(d.pp, "");
    EXPECT_EQ(d.zal, "бб 1.5 xa, схема 2x1");
    EXPECT_EQ(d.shema, "двуетажно строеж, правостъбленост добра");

    r.text("OBLAST", "Мизия").text("IZLOJENIE", "южно").text("RELEF", "склон").text("PODPOIAS", "-");
    r.text("PP1", "ръчна").real("PLPP1", 2).text("STROEJ", "0").text("PRAVOSTYBL", "-");
    d = compose(r);
    EXPECT_EQ(d.polojenie, "Мизия, 800м н.в., южно, склон, наклон 12 градуса"); // Cyrillic м
    EXPECT_EQ(d.pp, "ръчна 2 xa, тераси 1.5 xa");
    EXPECT_EQ(d.shema, "-");
}

TEST_F(PrintedComposition, DamageListIsDistinctAndSwitchesToSmallTextAtSeven)
{
    ProjectRow r(1, "а");
    const char *codes[] = {"к", "д", "к", "г", "л3к", "с2д", "з1г", "л4д"};
    for (int j = 1; j <= 8; ++j) {
        r.slot(j, "бк", "1", 1, 1, 40 + j, 5, 20, 2, 20, 0, 0, 0);
        r.text(slotField("POVR%d", j), codes[j - 1]);
    }
    PrintedDescription d = compose(r);
    ASSERT_EQ(d.damages.size(), 7); // "к" only once
    EXPECT_TRUE(d.damages[0].startsWith("к = ")) << d.damages[0].toStdString();
    Report rep = descriptionReport(d, PageSettings(), DescriptionLayout(), {});
    EXPECT_EQ(items(rep, "QRM_POVR").value(0)->font.pointSize, 8);

    r.text(slotField("POVR%d", 8), "-").text(slotField("POVR%d", 7), "0");
    d = compose(r);
    EXPECT_EQ(d.damages.size(), 5);
    rep = descriptionReport(d, PageSettings(), DescriptionLayout(), {});
    EXPECT_EQ(items(rep, "QRM_POVR").value(0)->font.pointSize, 10);
    EXPECT_TRUE(items(rep, "QRM_POVR").value(0)->shrink); // a long list is drawn smaller, never outside
}

TEST_F(PrintedComposition, MissingRecordWarnsAndTheComposerKeepsItsReport)
{
    project({ProjectRow(1, "а")});
    DescriptionComposer composer(state);
    std::vector<UserMessage> shown;
    auto report = [&](const UserMessage &m) { shown.push_back(m); };
    ASSERT_TRUE(composer.compose(1, QStringLiteral("а"), report));
    EXPECT_TRUE(composer.composed());
    // A Latin "a" in place of the Cyrillic one.
    EXPECT_FALSE(composer.compose(1, QStringLiteral("a"), report));
    EXPECT_FALSE(composer.composed());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Внимание!");
    EXPECT_EQ(shown[0].text, "Избрали сте несъществуващ подотдел. Проверете за наличието латински букви в името на подотдела.");
    EXPECT_EQ(shown[0].icon, UserMessage::Icon::Warning);
    EXPECT_EQ(composer.report().title, "Dendrix - ДГС Тест 2020 [1:а]");
    EXPECT_FALSE(state.projectTable.active());
    EXPECT_FALSE(state.projectTable.filtered());
}

TEST_F(PrintedComposition, ColumnsWithAndWithoutBranchWoodAndTheFooterLineWidth)
{
    ProjectRow r(1, "а");
    r.slot(1, "бб", "1", 10, 1, 50, 7, 20, 2, 20, 100, 200, 0);
    project({r});
    DescriptionComposer composer(state);
    ASSERT_TRUE(composer.compose(1, QStringLiteral("а"), {}));
    auto cellOf = [&](const QString &field) { return items(composer.report(), field); };
    auto headings = [&] {
        QStringList out;
        for (const ReportItem *i : items(composer.report(), "heading")) out << i->text;
        return out;
    };
    // Off (the default): no "с клони" cells, the neighbours widened.
    EXPECT_TRUE(cellOf("VKLONI").isEmpty());
    EXPECT_TRUE(cellOf("PKLONI").isEmpty());
    EXPECT_FALSE(headings().contains("с клони"));
    ASSERT_EQ(cellOf("V").size(), 2); // the row and the totals
    EXPECT_DOUBLE_EQ(cellOf("V").at(0)->mm.left(), 121.0);
    EXPECT_DOUBLE_EQ(cellOf("V").at(0)->mm.width(), 17.8);
    EXPECT_DOUBLE_EQ(cellOf("POLZ2").at(0)->mm.left(), 154.0);
    EXPECT_DOUBLE_EQ(cellOf("POLZ1").at(0)->mm.width(), 15.0);
    EXPECT_DOUBLE_EQ(cellOf("V1").at(0)->mm.width(), 17.8);

    composer.setWithBranches(true);
    EXPECT_EQ(headings().count("с клони"), 2);
    ASSERT_EQ(cellOf("VKLONI").size(), 2);
    EXPECT_EQ(cellOf("VKLONI").at(0)->text, "220 ");
    EXPECT_DOUBLE_EQ(cellOf("V").at(0)->mm.left(), 115.0);
    EXPECT_DOUBLE_EQ(cellOf("V").at(0)->mm.width(), 12.0);
    EXPECT_DOUBLE_EQ(cellOf("PKLONI").at(0)->mm.left(), 157.3);
    EXPECT_DOUBLE_EQ(cellOf("POLZ1").at(0)->mm.width(), 6.5);

    // Rows follow the header band one below the other; the footer stands at the page's foot.
    const PageFrame f = composer.report().frame();
    EXPECT_DOUBLE_EQ(cellOf("DV").at(0)->mm.top(), 91.0);
    EXPECT_DOUBLE_EQ(cellOf("DV").at(1)->mm.top(), 95.4);
    EXPECT_NEAR(items(composer.report(), "contact").value(0)->mm.top(), f.heightMm() - 110.2 + 105.8, 1e-9);

    auto ruleWidths = [&] {
        QSet<double> w;
        for (const ReportItem &i : composer.report().pages[0].items)
            if (i.kind == ReportItem::Kind::Rect) w.insert(i.lineWidthMm);
        return w;
    };
    EXPECT_EQ(ruleWidths(), QSet<double>({0.1}));
    composer.setFooterLineWidth(4);
    EXPECT_EQ(ruleWidths(), QSet<double>({0.4}));
}

TEST(ReportLayer, MarginsAndFontsFromTheSettingsAreBroughtIntoRange)
{
    PageSettings s;
    PageFrame f = pageFrame(s);
    EXPECT_EQ(f.left, 20);
    EXPECT_EQ(f.widthMm(), 180);
    EXPECT_EQ(f.font.family, "Arial");
    EXPECT_EQ(f.font.pointSize, 9);

    s.left = 150; // beyond 100
    s.right = -5;
    s.top = s.bottom = 100;
    s.fontSize = 0;
    s.font = "  ";
    f = pageFrame(s);
    EXPECT_EQ(f.left, 100);
    EXPECT_EQ(f.right, 0);
    EXPECT_EQ(f.heightMm(), 97);
    s.right = 100; // 200 mm of margins on 210 mm of paper: shrunk to leave a fifth
    f = pageFrame(s);
    EXPECT_NEAR(f.widthMm(), 210 * 0.2, 1e-9);
    EXPECT_NEAR(f.left, f.right, 1e-9);
    EXPECT_EQ(f.font.pointSize, 9);
    EXPECT_EQ(f.font.family, "Arial");
}

TEST(ReportLayer, BandsRunOverPagesWithTheHeaderOnEveryOrOnlyTheFirst)
{
    PageSettings s;
    s.top = s.bottom = 0; // 297 mm of page
    const PageFrame f = pageFrame(s);
    Band header{50, {ReportItem()}}, footer{40, {ReportItem()}};
    QList<Band> details(30, Band{10, {ReportItem()}}); // 207 mm between header and footer: 20 a page
    Report r = layOutBands(f, header, details, footer);
    ASSERT_EQ(r.pageCount(), 2);
    EXPECT_EQ(r.pages[0].items.size(), 1 + 20 + 1);
    EXPECT_EQ(r.pages[1].items.size(), 1 + 10 + 1);
    EXPECT_DOUBLE_EQ(r.pages[1].items.last().mm.top(), 257);

    r = layOutBands(f, header, details, Band(), true);
    ASSERT_EQ(r.pageCount(), 2);
    EXPECT_EQ(r.pages[0].items.size(), 1 + 24);
    EXPECT_EQ(r.pages[1].items.size(), 6);
    EXPECT_DOUBLE_EQ(r.pages[1].items[0].mm.top(), 0); // no header on the second page

    // A page too small for its bands still takes one detail band a page, and ends.
    r = layOutBands(f, Band{300, {}}, details, footer);
    EXPECT_EQ(r.pageCount(), 30);
    r = layOutBands(f, header, {}, footer);
    EXPECT_EQ(r.pageCount(), 1);
}
