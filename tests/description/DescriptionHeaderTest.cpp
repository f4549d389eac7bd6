// The description header: how each box is put together from the record, and ViewTax
// for pairs that name no single record and tables that lack fields.
#include "DescriptionFixture.h"

#include "description/DescriptionHeader.h"

#include <gtest/gtest.h>

using namespace dx;
using dxtest::ProjectRow;

namespace {

class Header : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    DescriptionHeader show(const ProjectRow &row)
    {
        project({row});
        ViewTaxResult r = ViewTax(state, 1, QStringLiteral("а"));
        EXPECT_TRUE(r.shown);
        return r.header;
    }
    static ProjectRow site()
    {
        ProjectRow r(1, "а");
        r.text("OBLAST", "Мизийска област").num("NADM_VIS", 450).text("IZLOJENIE", "северно").text("RELEF", "склон");
        return r.num("NAKLON", 12).text("PODPOIAS", "подпояс на горуна");
    }
};

} // namespace

TEST_F(Header, PositionSoilAndSiteType)
{
    EXPECT_EQ(show(site()).pol, "Мизийска област, 450m н.в., северно, склон, наклон 12 градуса, подпояс на горуна");
    EXPECT_EQ(show(site().text("PODPOIAS", "-")).pol, "Мизийска област, 450m н.в., северно, склон, наклон 12 градуса");
    EXPECT_EQ(show(site().text("OBLAST", "-")).pol, "450m н.в., наклон 12 градуса");

    ProjectRow soil = site();
    soil.text("POCHVA", "кафява горска").text("MEH_SYST", "песъчлива").text("PLYTNOST", "рохкава");
    soil.text("ERO_ST", "ерозия I ст").text("VID_ERO1", "-").text("VID_ERO2", "площна").text("OSN_SKALA", "гранит");
    soil.text("BOGATSTVO", "богата").num("NELES", 20);
    // The first erosion kind follows the degree whatever it holds; the second is not shown.
    EXPECT_EQ(show(soil).soil,
              "кафява горска, песъчлива, рохкава, ерозия I ст, -, върху гранит, богата, нелесопригодност 20%");
    EXPECT_EQ(show(soil.text("POCHVA", "-")).soil, "");

    EXPECT_EQ(show(site().text("MESTORAST", "Д3   свежи богати")).mest, "свежи богати    (Д3)");
    EXPECT_EQ(show(site().text("MESTORAST", "Д3")).mest, "    (Д3)");
    EXPECT_EQ(show(site().text("MESTORAST", "0")).mest, "");
}

TEST_F(Header, KindsOfCuttingSoilPreparationAndDesignations)
{
    DescriptionHeader h = show(site().text("SECH1", "прореждане").text("SECH2", "-"));
    EXPECT_EQ(h.sech, "прореждане");
    EXPECT_EQ(state.cuttingKinds, 1);
    h = show(site().text("SECH1", "прореждане").text("SECH2", "").text("SECH3", "0").text("SECH9", "санитарна сеч"));
    EXPECT_EQ(h.sech, "прореждане, санитарна сеч");
    EXPECT_EQ(h.cuttingKinds, 2);
    EXPECT_EQ(show(site()).sech, "");
    EXPECT_EQ(state.cuttingKinds, 0);

    ProjectRow r = site();
    r.text("PP1", "ямки").real("PLPP1", 1.5).text("PP2", "ивици").real("PLPP2", 2.0).text("SHEMA_ZAL", "2x1");
    r.text("PRAVOSTYBL", "добра");
    EXPECT_EQ(show(r).pp, "ямки 1.5 xa, ивици 2 xa, схема 2x1, правостъбленост добра");
    EXPECT_EQ(show(r.text("PP1", "-")).pp, "правостъбленост добра");

    r.real("PL", 12.0).text("NZN1", "защитна").text("NZN3", "0").text("NZN4", "вековна гора").text("NZN7", "Натура");
    h = show(r);
    EXPECT_EQ(h.area, "12 ха");
    EXPECT_EQ(h.fun, "защитна, вековна гора, Натура");
}

TEST_F(Header, PairsThatNameNoSingleRecordChangeNothing)
{
    project({site().text("SECH1", "прореждане"), ProjectRow(2, "б"), ProjectRow(2, "б")});
    ViewTaxResult shown = ViewTax(state, 1, QStringLiteral("а"));
    ASSERT_TRUE(shown.shown);
    EXPECT_EQ(shown.caption, "Dendrix 1.8  - ДГС Тест 2020 [1:а]");
    // Two records, none, and a Latin "a" that looks like the Cyrillic one.
    for (auto [otd, podotd] : {std::pair{2, "б"}, std::pair{1, "в"}, std::pair{1, "a"}}) {
        ViewTaxResult r = ViewTax(state, otd, QString::fromUtf8(podotd));
        EXPECT_FALSE(r.shown) << otd << podotd;
        EXPECT_EQ(state.currentOtd, 1);
        EXPECT_EQ(state.currentPodotd, "а");
        EXPECT_EQ(state.cuttingKinds, 1);
    }
}

TEST_F(Header, ATableLackingFieldsReadsThemAsNoValue)
{
    writeProject({makeField("OTD", FieldType::Integer, 4), makeField("PODOTD", FieldType::Text, 4),
                  makeField("PL", FieldType::Real, 8, 2), makeField("POCHVA", FieldType::Text, 20),
                  makeField("NELES", FieldType::Integer, 4)},
                 {{Value::fromInt(1), Value::fromText("а"), Value::fromReal(2.5), Value::fromText("кафява"), Value::null()}});
    ViewTaxResult r = ViewTax(state, 1, QStringLiteral("а"));
    ASSERT_TRUE(r.shown);
    const DescriptionHeader &h = r.header;
    EXPECT_EQ(QStringList({h.area, h.gtu, h.zem, h.vp, h.fun, h.pol}),
              QStringList({"2.5 ха", "0", "0", "-", "-", "0m н.в., наклон 0 градуса"}));
    EXPECT_EQ(h.soil, "кафява"); // a blank NELES is no percentage
    EXPECT_EQ(QStringList({h.mest, h.sech, h.nasZal, h.pp}), QStringList({"", "", "", ""}));
}
