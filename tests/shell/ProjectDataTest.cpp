// The project catalogue's lines, the status counts and the lookups dendrix-cli offers
// over the reference tables of an installation.
#include "core/QtText.h"
#include "demo/DemoData.h"
#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"
#include "engine/dbf/DbfFile.h"
#include "shell/InfoStatus.h"
#include "core/ProjectCatalogue.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::string cp1251(const std::string &utf8)
{
    return dx::cp::utf8ToCp1251(utf8);
}

} // namespace

TEST(ProjectCatalogue, LinesSplitIntoSevenFieldsWhateverTheirShape)
{
    dx::ProjectEntry full = dx::parseCatalogueLine("1;РДГ Смолян;ДГС;Смолян;2020;database\\SM.DB;zemnom\\sm.dbf");
    EXPECT_EQ(full.activ, "1");
    EXPECT_EQ(full.direkcia, "РДГ Смолян");
    EXPECT_EQ(full.vid, "ДГС");
    EXPECT_EQ(full.bgname, "Смолян");
    EXPECT_EQ(full.godina, "2020");
    EXPECT_EQ(full.tabl, "database\\SM.DB");
    EXPECT_EQ(full.zemnom, "zemnom\\sm.dbf");

    // Fewer fields leave the rest empty; a stray ";" stays in the last field.
    dx::ProjectEntry shortLine = dx::parseCatalogueLine("0;РДГ;ДГС");
    EXPECT_EQ(shortLine.vid, "ДГС");
    EXPECT_TRUE(shortLine.bgname.isEmpty());
    EXPECT_TRUE(shortLine.zemnom.isEmpty());
    dx::ProjectEntry stray = dx::parseCatalogueLine("1;a;b;c;d;e;f;g");
    EXPECT_EQ(stray.zemnom, "f;g");
    // Blanks are kept; texts longer than the list's fields are cut.
    dx::ProjectEntry wide = dx::parseCatalogueLine(" 1 ;" + QString(40, 'x') + ";ДГС;Име ; 2020;t;");
    EXPECT_EQ(wide.activ, " 1 ");
    EXPECT_EQ(wide.direkcia.size(), 32);
    EXPECT_EQ(wide.bgname, "Име ");
    EXPECT_TRUE(wide.zemnom.isEmpty());
}

TEST(ProjectCatalogue, FileLinesInCodePage1251)
{
    dxtest::TempDir dir;
    std::string text = cp1251("1;РДГ;ДГС;Якоруда;2018;database\\Y.DB;\r\n\r\n0;РДГ;ДЛС;Арамлиец;2017;database\\A.DB;zemnom\\a.dbf\r\n"
                              "1;РДГ;ДГС;Банско;2019;database\\B.DB");
    dx::io::writeFileAtomic(dir.file("project.conf"), text);
    QVector<dx::ProjectEntry> entries = dx::readProjectCatalogue(QString::fromStdString(dir.file("project.conf")));
    ASSERT_EQ(entries.size(), 3); // the blank line is no project; the last line has no line end
    EXPECT_EQ(entries[0].bgname, "Якоруда");
    EXPECT_EQ(entries[2].tabl, "database\\B.DB");
    dx::sortByName(entries);
    EXPECT_EQ(entries[0].bgname, "Арамлиец");
    EXPECT_EQ(entries[1].bgname, "Банско");
    EXPECT_EQ(entries[2].bgname, "Якоруда");
    EXPECT_THROW(dx::readProjectCatalogue(QString::fromStdString(dir.file("none.conf"))), std::runtime_error);
}

TEST(ProjectCatalogue, TenThousandEntriesOfEveryShapeReadSearchAndWriteBack)
{
    dxtest::TempDir dir;
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        if (i % 7 == 2) text += cp1251("1;РДГ;ДГС\r\n"); // short line
        else if (i % 7 == 6) text += cp1251("1;РДГ;ДГС;Име" + std::to_string(i) + ";2020;database\\X.DB;z;;y\r\n");
        else text += cp1251("1;РДГ " + std::to_string(i % 28) + ";ДЛС;Място" + std::to_string(i) + ";2019;database\\M" +
                            std::to_string(i) + ".DB;\r\n");
    }
    const QString path = QString::fromStdString(dir.file("project.conf"));
    dx::io::writeFileAtomic(dir.file("project.conf"), text);
    QVector<dx::ProjectEntry> entries = dx::readProjectCatalogue(path);
    ASSERT_EQ(entries.size(), 10000);
    EXPECT_EQ(entries[2].vid, "ДГС");
    EXPECT_TRUE(entries[2].bgname.isEmpty());
    EXPECT_EQ(entries[6].zemnom, "z;;y");
    EXPECT_EQ(entries[9999].bgname, "Място9999");

    // The search walks on from the current entry and round past the end.
    const int last = dx::findNextEntry(entries, dx::CatalogueField::Bgname, 9998, "място999");
    EXPECT_EQ(last, 9999);
    EXPECT_EQ(dx::findNextEntry(entries, dx::CatalogueField::Bgname, 9999, "място99"), 99);
    EXPECT_EQ(dx::findNextEntry(entries, dx::CatalogueField::Bgname, 0, "няма"), -1);

    // Written back, it reads the same, stray separators and short lines included.
    dx::writeProjectCatalogue(path, entries);
    const QVector<dx::ProjectEntry> again = dx::readProjectCatalogue(path);
    ASSERT_EQ(again.size(), entries.size());
    for (int i = 0; i < again.size(); ++i) {
        ASSERT_EQ(dx::entryTitle(again[i]), dx::entryTitle(entries[i])) << i;
        ASSERT_EQ(again[i].zemnom, entries[i].zemnom) << i;
        ASSERT_EQ(again[i].tabl, entries[i].tabl) << i;
    }
}

TEST(InfoStatus, CountsOrNothingWhenAStatementFails)
{
    dxtest::TempDir dir;
    using dx::FieldType;
    const std::string path = dir.file("p.dbf");
    dx::dbf::create(path,
                    {dx::makeField("OTD", FieldType::Integer, 4), dx::makeField("PODOTD", FieldType::Text, 3),
                     dx::makeField("PL", FieldType::Real, 8, 2)},
                    {{dx::Value::fromInt(2), dx::Value::fromText("а"), dx::Value::fromReal(0.25)},
                     {dx::Value::fromInt(2), dx::Value::fromText("б"), dx::Value::fromReal(0.3)},
                     {dx::Value::fromInt(5), dx::Value::fromText("а"), dx::Value::fromReal(12.0)}});
    dx::Database db(dir.path());
    EXPECT_EQ(dx::InfoStatus(db, dx::qs(path)), "отдели:2, подотдели:3, площ:12.6 xa");

    const std::string noArea = dir.file("q.dbf");
    dx::dbf::create(noArea, {dx::makeField("OTD", FieldType::Integer, 4)}, {{dx::Value::fromInt(1)}});
    EXPECT_EQ(dx::InfoStatus(db, dx::qs(noArea)), "");
    EXPECT_EQ(dx::InfoStatus(db, dx::qs(dir.file("missing.dbf"))), "");
}

TEST(LookupCommands, BranchWoodAndLandAreasOfTheDemoInstallation)
{
    dxtest::TempDir dir;
    dx::DemoOptions o;
    o.records = 60;
    dx::createDemoInstallation(dir.path(), o);
    const std::string c = "-C '" + dir.path() + "' ";
    // Heights are clamped to 3..30, so 1 reads as 3 and 45 as 30.
    EXPECT_EQ(dxtest::runCli(c + "branchwood смр 1 1").out, dxtest::runCli(c + "branchwood смр 1 3").out);
    EXPECT_EQ(dxtest::runCli(c + "branchwood смр 1 45").out, dxtest::runCli(c + "branchwood смр 1 30").out);
    EXPECT_EQ(dxtest::runCli(c + "branchwood 'no such species' 1 20").out, "0\n");
    EXPECT_EQ(dxtest::runCli(c + "branchwood смр x 20").status, 2);

    EXPECT_EQ(dxtest::runCli(c + "zemname 2676").out, "Банско\n");
    EXPECT_EQ(dxtest::runCli(c + "zemname 61813").out, "61813\n"); // a number without a name
    EXPECT_EQ(dxtest::runCli(c + "zemnumber Добринище").out, "21498\n");
    EXPECT_EQ(dxtest::runCli(c + "zemnumber 'Не съществува'").out, "-1\n");
    EXPECT_EQ(dxtest::runCli(c + "zemname abc").status, 2);
}
