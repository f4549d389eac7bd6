// Saved sieve files: the 44 keys in their order, the management unit under "землище",
// ranges and cutting slots read back, other content of the file kept, and odd files.
#include "core/ProfileFile.h"
#include "engine/common/Codepage.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveCutting.h"
#include "sieves/SieveFile.h"

#include "TestUtil.h"
#include "sieves/SieveFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace dx;
using dxtest::criteria;
using I = CriterionId;

namespace {

std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A file of these UTF-8 lines written in code page 1251 with CR LF.
void writeCp1251(const std::string &path, const std::string &lines)
{
    std::string text;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) text += line + "\r\n";
    std::ofstream(path, std::ios::binary) << cp::utf8ToCp1251(text);
}

class SieveFile : public ::testing::Test {
protected:
    QString path(const char *name = "f.drf") const { return QString::fromStdString(dir.file(name)); }
    dxtest::TempDir dir;
};

} // namespace

TEST_F(SieveFile, NewFileHoldsTheKeysInOrder)
{
    SieveCriteria c = criteria({{I::Gsu, "12"}, {I::Zeml, "Баня"}, {I::Pl, "до 5"}, {I::Bogatstvo, "богата"}});
    c.cuttingSlots[2] = QStringLiteral("ЗС");
    ASSERT_TRUE(SaveSito(path(), c).saved);
    const std::string text = cp::cp1251ToUtf8(readBytes(dir.file("f.drf")));
    std::string expected = "[Dendrix Filter]\r\nстопански клас=\r\nводещо предн.=\r\nневодещо предн.=\r\nсобственост=\r\n"
                           "вид гори=\r\nместорастене=\r\nгсу=12\r\nземлище=12\r\nвид подотдел=\r\nбонитет=\r\n"
                           "max. площ (xa)=до 5\r\nmax. запас=\r\nпреобл. дървесен вид=\r\nпреобл. бонитет=\r\n"
                           "пълнота=\r\nвъзраст=\r\nдървесен вид=\r\nсеч 1=\r\nсеч 2=\r\nсеч 3=ЗС\r\n";
    for (int n = 4; n <= 9; ++n) expected += "сеч " + std::to_string(n) + "=\r\n";
    expected += "състояние=\r\nстроеж=\r\nнелесопригодност=\r\nнадморска височина=\r\nизложение=\r\nнаклон=\r\n"
                "релеф=\r\nпочва=\r\nосновна скала=\r\nобласт=\r\nбогатсво=богата\r\nвлага=\r\nмеханичен състав=\r\n"
                "дълбочина=\r\nплътност=\r\nкаменливост=\r\nподпояс=\r\nпаша=\r\n";
    EXPECT_EQ(text, expected);
}

TEST_F(SieveFile, RoundTripRestoresCriteriaRangesAndCuttingSlots)
{
    SieveCriteria saved;
    for (const SieveCriterion &k : sieveCriteria()) saved[k.id] = QStringLiteral("т ") + QString::number(k.number());
    saved[I::Gsu] = QStringLiteral("12");
    saved[I::Age] = QStringLiteral("от 20 до 40");
    saved[I::Bon] = QStringLiteral("над 2");
    saved[I::Pl] = QStringLiteral("до 5");
    saved[I::Zapas] = QStringLiteral("равно на 300");
    saved[I::Bon1] = QStringLiteral("от 1 до 2");
    saved[I::Puln] = QStringLiteral("до 7");
    saved[I::Relef] = QStringLiteral("  с блянки  ");  // blanks and quotes survive the file
    saved[I::Pochva] = QStringLiteral("\"в кавички\"");
    saved.cuttingSlots[2] = QStringLiteral("санитарна");
    ASSERT_TRUE(SaveSito(path(), saved).saved);

    SieveCriteria read = criteria({{I::Zeml, "Баня"}, {I::StopKlas, "стар"}});
    const ReadSitoResult r = ReadSito(path(), read);
    ASSERT_TRUE(r.read);
    EXPECT_TRUE(r.sectionFound && r.unknownKeys.isEmpty() && r.badRanges.isEmpty());
    SieveCriteria expected = saved;
    expected[I::Zeml] = QStringLiteral("Баня"); // never read: the land area shown stays
    expected[I::Cutting].clear();
    read[I::Cutting].clear();
    EXPECT_EQ(read, expected);
    // The age filters at once, and the cutting criterion gives its slot-3 condition and text.
    SieveCriteria age;
    age[I::Age] = read.text(I::Age);
    const SelectionClause clause = composeSelectionClause(age);
    EXPECT_TRUE(clause.clause.startsWith(QStringLiteral("((A1>=20 and A1<=40) or")));
    EXPECT_EQ(read.text(I::Cutting), QStringLiteral("санитарна"));
    EXPECT_EQ(cuttingClause(read.cuttingSlots), QStringLiteral("SECH3=\"санитарна\""));
}

TEST_F(SieveFile, LandAreaKeyCarriesTheManagementUnit)
{
    // Only the land area set: "землище" is written empty, and reading keeps the land area
    // chosen since while it empties the rest.
    ASSERT_TRUE(SaveSito(path(), criteria({{I::Zeml, "Баня"}})).saved);
    EXPECT_NE(cp::cp1251ToUtf8(readBytes(dir.file("f.drf"))).find("\r\nземлище=\r\n"), std::string::npos);
    SieveCriteria c = criteria({{I::Zeml, "Добринище"}, {I::Gsu, "4"}});
    ASSERT_TRUE(ReadSito(path(), c).read);
    EXPECT_EQ(c, criteria({{I::Zeml, "Добринище"}}));

    writeCp1251(dir.file("hand.drf"), "[Dendrix Filter]\nгсу=12\nземлище=7\n");
    ASSERT_TRUE(ReadSito(path("hand.drf"), c).read);
    EXPECT_EQ(c.text(I::Gsu), QStringLiteral("7"));
    writeCp1251(dir.file("hand.drf"), "[Dendrix Filter]\nгсу=12\n");
    ASSERT_TRUE(ReadSito(path("hand.drf"), c).read);
    EXPECT_TRUE(c.text(I::Gsu).isEmpty());
}

TEST_F(SieveFile, AppliedKeysChangeOnlyTheirCriteriaInTheFileOrder)
{
    const SieveCriteria before = criteria({{I::Zeml, "Баня"}, {I::Bon, "2"}, {I::Pasha, "п"}});
    SieveCriteria c = before;
    ReadSitoResult r = applySieveKeys({{"гсу", "12"}}, c);
    EXPECT_TRUE(r.read);
    SieveCriteria expected = before;
    expected[I::Gsu] = QStringLiteral("12");
    EXPECT_EQ(c, expected);

    // Both unit keys, given in either order: the one read last in a file wins.
    for (const std::vector<SieveKeyValue> &pairs :
         {std::vector<SieveKeyValue>{{"гсу", "12"}, {"землище", "7"}}, std::vector<SieveKeyValue>{{"ЗЕМЛИЩЕ", "7"}, {"гсу", "12"}}}) {
        c = before;
        applySieveKeys(pairs, c);
        EXPECT_EQ(c.text(I::Gsu), QStringLiteral("7"));
        EXPECT_EQ(c.text(I::Zeml), QStringLiteral("Баня")); // the land area is never a key's
    }

    // A cutting slot, a reversed range, a repeated key (the first wins), an unknown key.
    c = before;
    r = applySieveKeys({{"сеч 4", "ЗС"}, {"възраст", "от 40 до 20"}, {"паша", "нова"}, {"паша", "трета"}, {"x", "1"}}, c);
    EXPECT_EQ(c.cuttingSlots[3], QStringLiteral("ЗС"));
    EXPECT_TRUE(c.cuttingSlots[0].isEmpty());
    EXPECT_EQ(c.text(I::Age), QStringLiteral("от 20 до 40"));
    EXPECT_EQ(c.text(I::Pasha), QStringLiteral("нова"));
    EXPECT_EQ(c.text(I::Bon), QStringLiteral("2"));
    EXPECT_EQ(r.unknownKeys, QStringList({"x"}));

    // The same single key read from a file still empties everything else.
    writeCp1251(dir.file("one.drf"), "[Dendrix Filter]\nгсу=12\n");
    c = before;
    ASSERT_TRUE(ReadSito(path("one.drf"), c).read);
    EXPECT_EQ(c, criteria({{I::Zeml, "Баня"}}));
}

TEST_F(SieveFile, SavingOverAFileKeepsItsOtherContent)
{
    writeCp1251(dir.file("f.drf"), "; бележка\n[Друго]\nа=1\n[Dendrix Filter]\nпаша=стара\nмоя бележка=остава\n"
                                   "ГСУ=9\n[Край]\nб=2");
    ASSERT_TRUE(SaveSito(path(), criteria({{I::Gsu, "3"}, {I::Pasha, "нова"}})).saved);
    const ProfileFile f = ProfileFile::load(path());
    EXPECT_EQ(f.readString("Друго", "а"), QStringLiteral("1"));
    EXPECT_EQ(f.readString("Край", "б"), QStringLiteral("2"));
    EXPECT_EQ(f.readString("Dendrix Filter", "моя бележка"), QStringLiteral("остава"));
    EXPECT_EQ(f.readString("Dendrix Filter", "паша"), QStringLiteral("нова"));
    EXPECT_EQ(f.keys("Dendrix Filter").size(), 45); // "ГСУ" is the key "гсу"
    EXPECT_EQ(cp::cp1251ToUtf8(readBytes(dir.file("f.drf"))).rfind("; бележка\r\n[Друго]\r\nа=1\r\n", 0), 0u);

    SieveCriteria c;
    const ReadSitoResult r = ReadSito(path(), c);
    EXPECT_EQ(r.unknownKeys, QStringList({"моя бележка"}));
    EXPECT_EQ(c.text(I::Gsu), QStringLiteral("3"));
}

TEST_F(SieveFile, OddFiles)
{
    const SieveCriteria before = criteria({{I::Zeml, "Баня"}, {I::Pasha, "п"}, {I::Age, "до 9"}});
    SieveCriteria c = before;

    // Not code page 1251: nothing changes and the message names the file.
    std::ofstream(dir.file("utf8.drf"), std::ios::binary) << "[Dendrix Filter]\r\nпаша=x\r\n";
    ReadSitoResult r = ReadSito(path("utf8.drf"), c);
    EXPECT_FALSE(r.read);
    EXPECT_TRUE(r.error.contains(path("utf8.drf")));
    EXPECT_EQ(c, before);
    std::ofstream(dir.file("bin.drf"), std::ios::binary) << std::string("\0\1\2[x]", 6);
    EXPECT_FALSE(ReadSito(path("bin.drf"), c).read);

    // A missing file or another section: every criterion but the land area is emptied.
    r = ReadSito(path("missing.drf"), c);
    EXPECT_TRUE(r.read);
    EXPECT_EQ(c, criteria({{I::Zeml, "Баня"}}));
    c = before;
    writeCp1251(dir.file("other.drf"), "[Dendrix Filtre]\nпаша=x");
    r = ReadSito(path("other.drf"), c);
    EXPECT_FALSE(r.sectionFound);
    EXPECT_EQ(c, criteria({{I::Zeml, "Баня"}}));

    // Range texts: a reversed range in normal form, another form kept, told, and refused
    // by the run instead of building a broken statement.
    writeCp1251(dir.file("ranges.drf"), "[dendrix filter]\nВЪЗРАСТ=от 40 до 20\nпълнота=между 3 и 5\nmax. запас=до 5;x\n");
    r = ReadSito(path("ranges.drf"), c);
    EXPECT_EQ(c.text(I::Age), QStringLiteral("от 20 до 40"));
    EXPECT_EQ(c.text(I::Puln), QStringLiteral("между 3 и 5"));
    EXPECT_EQ(r.badRanges, QStringList({"запас (м.куб)", "пълнота"}));
    const SieveStatement s = composeSieveStatement(c, QStringLiteral("OTD"), QStringLiteral("p.db"));
    EXPECT_EQ(s.status, SieveStatement::Status::InvalidData);
    EXPECT_TRUE(s.message.text.contains(QStringLiteral("между 3 и 5")));
}

TEST_F(SieveFile, FailedSaveLeavesTheFileAsItWas)
{
    writeCp1251(dir.file("f.drf"), "[Dendrix Filter]\nпаша=стара");
    const std::string before = readBytes(dir.file("f.drf"));
    SaveSitoResult r = SaveSito(path(), criteria({{I::Gsu, "1"}, {I::Pasha, "漢字"}}));
    EXPECT_FALSE(r.saved);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(readBytes(dir.file("f.drf")), before);

    r = SaveSito(path("no such folder/f.drf"), criteria({{I::Gsu, "1"}}));
    EXPECT_FALSE(r.saved);
    EXPECT_TRUE(r.error.contains(QStringLiteral("no such folder")));
}

TEST_F(SieveFile, PairsReadExactlyAsTheSameLinesOfAFile)
{
    // Letter case, a duplicate (the first wins), the management unit under "землище", a
    // reversed range, a range of another form and an unknown key.
    const std::vector<SieveKeyValue> pairs = {
        {"ПАША", "п"},   {"гсу", "3"},        {"паша", "второ"},       {"землище", "12"},
        {"сеч 2", "ЗС"}, {"възраст", "от 40 до 20"}, {"пълнота", "между 3 и 5"}, {"друго", "1"},
    };
    std::string lines = "[Dendrix Filter]\n";
    for (const SieveKeyValue &p : pairs) lines += (p.key + '=' + p.value + '\n').toStdString();
    writeCp1251(dir.file("same.drf"), lines);

    const SieveCriteria before = criteria({{I::Zeml, "Баня"}, {I::Bon, "2"}});
    SieveCriteria fromFile = before, fromPairs = before;
    const ReadSitoResult f = ReadSito(path("same.drf"), fromFile);
    const ReadSitoResult p = ReadSito(pairs, fromPairs);
    ASSERT_TRUE(f.read);
    ASSERT_TRUE(p.read);
    EXPECT_EQ(fromPairs, fromFile);
    EXPECT_EQ(fromPairs.text(I::Pasha), QStringLiteral("п"));
    EXPECT_EQ(fromPairs.text(I::Gsu), QStringLiteral("12"));
    EXPECT_EQ(fromPairs.text(I::Bon), QString());
    EXPECT_EQ(fromPairs.text(I::Zeml), QStringLiteral("Баня"));
    EXPECT_EQ(p.unknownKeys, f.unknownKeys);
    EXPECT_EQ(p.unknownKeys, QStringList({"друго"}));
    EXPECT_EQ(p.badRanges, f.badRanges);
    EXPECT_TRUE(p.sectionFound);
}
