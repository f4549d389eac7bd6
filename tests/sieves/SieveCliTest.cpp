// dendrix-cli clause and sieve: criteria given as saved-sieve keys, and a saved sieve run
// over the demo project.
#include "core/ProfileFile.h"
#include "demo/DemoData.h"
#include "sieves/SieveFile.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sstream>

using dxtest::runCli;

namespace {

// Each argument in single quotes for the shell.
std::string args(std::initializer_list<std::string> list)
{
    std::string out;
    for (const std::string &a : list) {
        std::string q = "'";
        for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        out += " " + q + "'";
    }
    return out;
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::vector<std::string> cells(const std::string &line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string c; std::getline(in, c, '\t');) out.push_back(c);
    return out;
}

} // namespace

TEST(SieveCli, ClauseFromSavedSieveKeys)
{
    auto clause = [](std::initializer_list<std::string> a) { return runCli("clause" + args(a)); };
    EXPECT_EQ(clause({"max. площ (xa)=до 5"}).out, " (PL<=5) \n");
    EXPECT_EQ(clause({"гсу=12", "землище=12", "стопански клас=X"}).out, "STOP_KLAS=\"X\" and GSU=12\n");
    // Taken as from a file: the management unit comes from "землище", keys match without
    // regard to case, values lose blanks and one pair of quotes.
    EXPECT_EQ(clause({"гсу=12", "землище=7"}).out, "GSU=7\n");
    EXPECT_EQ(clause({"ПАША=  \"a\"b\"  "}).out, "PASHA=\"a\"\"b\"\n");
    EXPECT_EQ(clause({"възраст=от 40 до 20"}).out.substr(0, 22), "((A1>=20 and A1<=40) o");
    EXPECT_EQ(runCli("clause --text" + args({"сеч 3=ЗС", "възраст=от 40 до 20", "богатсво=б"})).out,
              "възраст: от 20 до 40 ,вид сеч: ЗС ,богатство: б\n");

    dxtest::CliRun r = clause({"гсу=12"});
    // Only the keys given are applied: "землище" not given leaves the unit as "гсу" set it.
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "GSU=12\n");
    // In the file's reading order, not the arguments': "землище" still comes after "гсу".
    EXPECT_EQ(clause({"землище=7", "гсу=12"}).out, "GSU=7\n");
    EXPECT_EQ(clause({"землище=7"}).out, "GSU=7\n");
    EXPECT_EQ(clause({"гсу=12", "землище="}).status, 1); // an empty "землище" given empties it
    EXPECT_EQ(clause({"сеч 9=ГС", "гсу=3"}).out, "GSU=3 and SECH9=\"ГС\"\n");
    r = clause({"землище=12", "наклон=5 or 1=1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(clause({"неизвестен=1"}).status, 2);
    EXPECT_EQ(clause({"без равно"}).status, 2);
}

TEST(SieveCli, SavedSieveOverTheDemoProject)
{
    dxtest::TempDir dir;
    dx::createDemoInstallation(dir.path(), dx::DemoOptions{300, 5});
    dx::SieveCriteria c;
    c[dx::CriterionId::Age] = QStringLiteral("от 20 до 80");
    const QString drf = QString::fromStdString(dir.file("age.drf"));
    ASSERT_TRUE(dx::SaveSito(drf, c).saved);

    const std::string cmd = "-C '" + dir.path() + "' sieve '" + dir.file("age.drf") + "'";
    dxtest::CliRun r = runCli(cmd + " --fields 3,0,nope");
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> out = lines(r.out);
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out.front(), "отдел\tподотдел\tплощ\tгсу");
    // The label counts the printed rows and sums their areas.
    double area = 0;
    for (size_t i = 1; i + 1 < out.size(); ++i) area += std::stod(cells(out[i]).at(2));
    char label[80];
    std::snprintf(label, sizeof label, "подотдели: %zu, площ: %.2f ха", out.size() - 2, std::round(area * 100) / 100);
    EXPECT_EQ(out.back(), label);

    // Without --fields the columns are the stored choice.
    dx::writeProfileString(QString::fromStdString(dir.file("Dendrix.ini")), "сито работно", "fields", "0,1,2,56");
    r = runCli(cmd);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(lines(r.out).front(), "отдел\tподотдел\tплощ\tпаша");
    EXPECT_EQ(lines(r.out).size(), out.size());

    // A file that is not code page 1251, and one without criteria.
    std::ofstream(dir.file("utf8.drf"), std::ios::binary) << "[Dendrix Filter]\r\nпаша=x\r\n";
    EXPECT_EQ(runCli("-C '" + dir.path() + "' sieve '" + dir.file("utf8.drf") + "'").status, 1);
    EXPECT_EQ(runCli("-C '" + dir.path() + "' sieve '" + dir.file("none.drf") + "'").status, 1);
}

// Arguments that once changed what the clause holds: every one is refused with status 2
// and a message, and nothing reaches stdout. A key must name a criterion; a comment or a
// section header given as a key is no key at all.
TEST(SieveCli, ArgumentsThatCannotBeOneCriterionAreRefusedAloud)
{
    struct Case {
        const char *what;
        std::vector<std::string> args;
        const char *message;
    };
    const Case cases[] = {
        {"overlong line feed", {"стопански клас=x\xC0\x8Aвъзраст=от 1 до 5"}, "not valid UTF-8"},
        {"overlong line feed before a bracket", {"стопански клас=x\xC0\x8A[x]", "гсу=1"}, "not valid UTF-8"},
        {"overlong NUL", {"стопански клас=x\xC0\x80"}, "not valid UTF-8"},
        {"section header as a key", {"[other]=1", "стопански клас=ok"}, "unknown key \"[other]\""},
        {"comment as a key", {";стопански клас=x"}, "unknown key \";стопански клас\""},
        {"empty key", {" =x"}, "the key before \"=\" is empty"},
        {"character outside code page 1251", {"паша=\xE2\x82\xAC\xF0\x9F\x8C\xB2"}, "code page 1251"},
    };
    for (const Case &c : cases) {
        std::string list;
        for (const std::string &a : c.args) list += args({a});
        for (const char *text : {"", " --text"}) {
            dxtest::CliRun r = dxtest::runShell(std::string(DX_CLI_PATH) + " clause" + text + list + " 2>&1 >/dev/null");
            EXPECT_EQ(r.status, 2) << c.what << text;
            EXPECT_NE(r.out.find(c.message), std::string::npos) << c.what << ": " << r.out;
            EXPECT_EQ(runCli("clause" + std::string(text) + list).out, "") << c.what << text;
        }
    }
    // Blanks around a key are no part of it, as in a file.
    EXPECT_EQ(runCli("clause" + args({"  паша  = x"})).out, "PASHA=\"x\"\n");
}

TEST(SieveCli, SavedSieveThatIsNoRegularFileIsRefusedNotWaitedOn)
{
    dxtest::TempDir dir;
    dx::createDemoInstallation(dir.path(), dx::DemoOptions{60, 5});
    ASSERT_EQ(mkfifo(dir.file("pipe.drf").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder.drf"));
    {
        std::ofstream big(dir.file("big.drf"), std::ios::binary);
        big << "[Dendrix Filter]\r\nпаша=x\r\n;" << std::string(dx::kMaxProfileFileSize, 'x') << "\r\n";
    }
    for (const char *name : {"pipe.drf", "folder.drf", "big.drf"}) {
        dxtest::CliRun r = dxtest::runShell("timeout 30 " DX_CLI_PATH " -C '" + dir.path() + "' sieve '" +
                                            dir.file(name) + "' 2>&1 >/dev/null");
        EXPECT_EQ(r.status, 1) << name << ": " << r.out;
        EXPECT_NE(r.out.find(std::string(name) + " не може да бъде прочетен"), std::string::npos) << r.out;
    }
}

TEST(SieveCli, ObsSieveOverTheDemoProject)
{
    dxtest::TempDir dir;
    dx::createDemoInstallation(dir.path(), dx::DemoOptions{300, 5});
    const std::string cmd = "-C '" + dir.path() + "' obs";
    dxtest::CliRun r = runCli(cmd + args({"max. площ (xa)=3.5"}));
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> all = lines(r.out);
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all.front(), "отдел\tподотдел\tплощ");
    double area = 0;
    for (size_t i = 1; i + 1 < all.size(); ++i) {
        const double pl = std::stod(cells(all[i]).at(2));
        EXPECT_LE(pl, 3.5) << all[i];
        area += pl;
    }
    char label[80];
    std::snprintf(label, sizeof label, "подотдели: %zu, площ: %.2f ха", all.size() - 2, std::round(area * 100) / 100);
    EXPECT_EQ(all.back(), label);

    // A second criterion only narrows the list.
    r = runCli(cmd + args({"max. площ (xa)=3.5", "преобл. бонитет=2"}));
    ASSERT_EQ(r.status, 0);
    EXPECT_LE(lines(r.out).size(), all.size());

    EXPECT_EQ(runCli(cmd + args({"възраст=35"})).status, 0);
    EXPECT_EQ(runCli(cmd).status, 1);                                  // no criterion
    r = dxtest::runShell(std::string(DX_CLI_PATH) + " " + cmd + args({"max. площ (xa)=4,5"}) + " 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Зададени са некоректни данни за критерий!"), std::string::npos) << r.out;
    EXPECT_EQ(runCli(cmd + args({"височина=3"})).status, 2);           // no such label
    EXPECT_EQ(runCli(cmd + args({"възраст"})).status, 2);
}
