// Profile files: Windows name and value rules over code page 1251 bytes, and writes that
// change one line and keep every other byte.
#include "core/ProfileFile.h"

#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>

using namespace dx;

namespace {

// Writes UTF-8 text as code page 1251 bytes.
std::string put1251(const std::string &path, const std::string &utf8)
{
    std::string bytes = cp::utf8ToCp1251(utf8);
    io::writeFileAtomic(path, bytes);
    return bytes;
}

QString q(const std::string &path)
{
    return QString::fromStdString(path);
}

} // namespace

TEST(ProfileFile, NamesMatchWithoutRegardToCaseCyrillicIncluded)
{
    dxtest::TempDir dir;
    put1251(dir.file("a.ini"), "[Поточен ПЕЧАТ]\r\nВсИчКи=1\r\n[DENDRIX]\r\nBgName=ДГС Банско\r\n");
    ProfileFile p = ProfileFile::load(q(dir.file("a.ini")));
    EXPECT_EQ(p.readString("поточен печат", "всички"), "1");
    EXPECT_EQ(p.readString("Dendrix", "bgname"), "ДГС Банско");
    EXPECT_TRUE(p.hasSection("ПОТОЧЕН печат"));
    EXPECT_FALSE(p.hasKey("поточен печат", "клони"));
    EXPECT_EQ(p.readString("поточен печат", "клони", "-1"), "-1");
    EXPECT_EQ(p.sections(), QStringList({"Поточен ПЕЧАТ", "DENDRIX"}));
}

TEST(ProfileFile, ValuesLoseSurroundingBlanksAndOnePairOfQuotes)
{
    dxtest::TempDir dir;
    put1251(dir.file("a.ini"),
            "[s]\r\n  a  =  \"x y\"  \r\nb='q'\r\nc=\"mixed'\r\nd=\"\"x\"\"\r\ne=  \r\nf=a=b\r\n\tg\t=\t'\t'\r\n");
    ProfileFile p = ProfileFile::load(q(dir.file("a.ini")));
    EXPECT_EQ(p.readString("s", "a"), "x y");
    EXPECT_EQ(p.readString("s", "b"), "q");
    EXPECT_EQ(p.readString("s", "c"), "\"mixed'");
    EXPECT_EQ(p.readString("s", "d"), "\"x\"");
    EXPECT_TRUE(p.hasKey("s", "e"));
    EXPECT_EQ(p.readString("s", "e", "def"), "");
    EXPECT_EQ(p.readString("s", "f"), "a=b");
    EXPECT_EQ(p.readString("s", "g"), "\t");
}

TEST(ProfileFile, LinesThatGiveNoValueAndDuplicates)
{
    dxtest::TempDir dir;
    put1251(dir.file("a.ini"), "lead=1\r\n; comment\r\n[s]\r\n;k=2\r\nno equals here\r\n=orphan\r\n"
                               "k=first\r\nK=second\r\n[S]\r\nk=other section\r\nonly=in second\r\n");
    ProfileFile p = ProfileFile::load(q(dir.file("a.ini")));
    EXPECT_EQ(p.readString("s", "k"), "first");
    EXPECT_FALSE(p.hasKey("s", "only"));
    EXPECT_FALSE(p.hasKey("", "lead"));
    EXPECT_FALSE(p.hasKey("s", ";k"));
    EXPECT_EQ(p.sections(), QStringList({"s"}));
    EXPECT_EQ(p.keys("s"), QStringList({"k"}));
}

TEST(ProfileFile, ReadsIntegersStrictly)
{
    dxtest::TempDir dir;
    put1251(dir.file("a.ini"), "[n]\r\na= -12 \r\nb=+7\r\nc=12abc\r\nd=\r\ne=2147483648\r\nf=-2147483648\r\n"
                               "g=99999999999999999999\r\nh=' 5 '\r\ni=-\r\nj=1.5\r\n");
    ProfileFile p = ProfileFile::load(q(dir.file("a.ini")));
    EXPECT_EQ(p.readInteger("n", "a", 0), -12);
    EXPECT_EQ(p.readInteger("n", "b", 0), 7);
    EXPECT_EQ(p.readInteger("n", "f", 0), INT_MIN);
    EXPECT_EQ(p.readInteger("n", "h", 0), 5);
    for (const char *key : {"c", "d", "e", "g", "i", "j", "missing"}) EXPECT_EQ(p.readInteger("n", key, 42), 42) << key;
}

TEST(ProfileFile, AcceptsEveryLineEnd)
{
    dxtest::TempDir dir;
    for (const std::string eol : {"\r", "\n", "\r\n"}) {
        put1251(dir.file("a.ini"), "[s]" + eol + "a=1" + eol + eol + "[t]" + eol + "b=2");
        ProfileFile p = ProfileFile::load(q(dir.file("a.ini")));
        EXPECT_EQ(p.readString("s", "a"), "1");
        EXPECT_EQ(p.readString("t", "b"), "2");
        EXPECT_EQ(p.keys("s"), QStringList({"a"}));
    }
}

TEST(ProfileFile, WriteChangesOneLineAndKeepsEveryOtherByte)
{
    dxtest::TempDir dir;
    // Byte 0x98 has no character in code page 1251; it must still come back unchanged.
    const std::string head = cp::utf8ToCp1251("; настройки\r\n  [ s ]  \r\n Key   =  old value ;x\r\nother=") + "\xC0\x98\r\n";
    const std::string tail = "\n[t]\rz = 1\r\n\tno equals\r\nlast=line";
    io::writeFileAtomic(dir.file("a.ini"), head + tail);
    writeProfileString(q(dir.file("a.ini")), "S", "KEY", "нова");
    const std::string expected =
        cp::utf8ToCp1251("; настройки\r\n  [ s ]  \r\nKey=нова\r\nother=") + "\xC0\x98\r\n" + tail;
    EXPECT_EQ(io::readFile(dir.file("a.ini")), expected);

    // The last line keeps having no line end when another key changes.
    writeProfileString(q(dir.file("a.ini")), "t", "z", "2");
    EXPECT_EQ(io::readFile(dir.file("a.ini")).substr(expected.size() - tail.size()),
              "\n[t]\rz=2\r\n\tno equals\r\nlast=line");
}

TEST(ProfileFile, MissingKeyGoesAfterTheLastKeyOfItsSection)
{
    dxtest::TempDir dir;
    io::writeFileAtomic(dir.file("a.ini"), "[s]\r\na=1\r\n; about t\r\n\r\n\r\n[t]\r\n; no keys yet\r\n\r\n[u]\r\nb=2");
    ProfileFile p = ProfileFile::load(q(dir.file("a.ini")));
    p.writeString("s", "new", "x");
    p.writeString("T", "k", "y");
    p.writeString("u", "c", "3");
    EXPECT_EQ(p.bytes(), "[s]\r\na=1\r\nnew=x\r\n; about t\r\n\r\n\r\n[t]\r\n; no keys yet\r\nk=y\r\n\r\n[u]\r\nb=2\r\nc=3\r\n");
    EXPECT_EQ(p.readString("s", "new"), "x");
    EXPECT_EQ(p.keys("u"), QStringList({"b", "c"}));
}

TEST(ProfileFile, MissingSectionIsAppended)
{
    dxtest::TempDir dir;
    writeProfileString(q(dir.file("new.ini")), "поточен печат", "от", "1");
    EXPECT_EQ(io::readFile(dir.file("new.ini")), cp::utf8ToCp1251("[поточен печат]\r\nот=1\r\n"));

    io::writeFileAtomic(dir.file("a.ini"), "lead line\nno sections");
    writeProfileString(q(dir.file("a.ini")), "s", "k", "v");
    EXPECT_EQ(io::readFile(dir.file("a.ini")), "lead line\nno sections\r\n\r\n[s]\r\nk=v\r\n");

    io::writeFileAtomic(dir.file("b.ini"), "[a]\r\nx=1\r\n\r\n");
    writeProfileString(q(dir.file("b.ini")), "b", "y", "2");
    EXPECT_EQ(io::readFile(dir.file("b.ini")), "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
}

TEST(ProfileFile, WrittenValuesReadBackUnchanged)
{
    dxtest::TempDir dir;
    const QString path = q(dir.file("a.ini"));
    const QString values[] = {" padded ", "\"quoted\"", "'single'", "", "a \"b\" c", QString(100000, QChar(u'ж'))};
    int n = 0;
    for (const QString &v : values) writeProfileString(path, "s", QString("k%1").arg(n++), v);
    ProfileFile p = ProfileFile::load(path);
    n = 0;
    for (const QString &v : values) EXPECT_EQ(p.readString("s", QString("k%1").arg(n++)), v);
    EXPECT_EQ(p.keys("s").size(), 6);
}

TEST(ProfileFile, RefusesTextThatIsNotCodePage1251)
{
    dxtest::TempDir dir;
    const std::pair<const char *, std::string> files[] = {
        {"utf8.ini", "[Dendrix]\r\nbgname=ДГС Банско\r\n"},
        {"bom.ini", "\xEF\xBB\xBF[Dendrix]\r\nbgname=x\r\n"},
        {"nul.ini", std::string("[Dendrix]\r\nbgname=x\0y\r\n", 23)},
    };
    for (const auto &[name, bytes] : files) {
        io::writeFileAtomic(dir.file(name), bytes);
        try {
            ProfileFile::load(q(dir.file(name)));
            ADD_FAILURE() << name << " was accepted";
        } catch (const ProfileError &e) {
            EXPECT_TRUE(e.message().contains(name)) << e.what();
        }
    }
    EXPECT_THROW(ProfileFile::load(q(dir.path())), ProfileError);
}

TEST(ProfileFile, RefusedWritesLeaveBufferAndFileAlone)
{
    dxtest::TempDir dir;
    const std::string before = put1251(dir.file("a.ini"), "[s]\r\nk=1\r\n");
    ProfileFile p = ProfileFile::load(q(dir.file("a.ini")));
    try {
        p.writeString("s", "ключ", "日本");
        ADD_FAILURE() << "a value outside code page 1251 was accepted";
    } catch (const ProfileError &e) {
        EXPECT_TRUE(e.message().contains("ключ")) << e.what();
    }
    EXPECT_THROW(p.writeString("s", "k", "1\r\n[evil]"), ProfileError);
    EXPECT_THROW(p.writeString("s", "a=b", "1"), ProfileError);
    EXPECT_THROW(p.writeString("s]x", "k", "1"), ProfileError);
    EXPECT_FALSE(p.isModified());
    EXPECT_EQ(p.bytes(), before);
    EXPECT_THROW(writeProfileString(q(dir.file("a.ini")), "s", "k", "€ 日"), ProfileError);
    EXPECT_EQ(io::readFile(dir.file("a.ini")), before);
}

TEST(ProfileFile, FileIsNotRewrittenWithoutAChange)
{
    dxtest::TempDir dir;
    const std::string messy = "\r\n[s]\rk = \"v\"  \n;c\r\n\r\nx";
    io::writeFileAtomic(dir.file("a.ini"), messy);
    EXPECT_EQ(ProfileFile::load(q(dir.file("a.ini"))).bytes(), messy);
    std::filesystem::last_write_time(dir.file("a.ini"), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    const auto stamp = io::stamp(dir.file("a.ini"));
    writeProfileString(q(dir.file("a.ini")), "S", "K", "v");
    EXPECT_EQ(io::stamp(dir.file("a.ini")), stamp);
}

TEST(ProfileFile, FailedSaveThrowsNamingTheFile)
{
    dxtest::TempDir dir;
    namespace fs = std::filesystem;
    // A folder that is really a file fails for every user; a read-only folder for all
    // but an administrator.
    io::writeFileAtomic(dir.file("plain"), "x");
    std::vector<std::string> targets = {dir.file("plain/a.ini")};
    fs::create_directory(dir.file("ro"));
    fs::permissions(dir.file("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    const bool enforced = !std::ofstream(dir.file("ro/probe"));
    if (enforced) targets.push_back(dir.file("ro/a.ini"));
    for (const std::string &target : targets) {
        try {
            writeProfileString(q(target), "s", "k", "v");
            ADD_FAILURE() << target << ": save reported success";
        } catch (const ProfileError &e) {
            EXPECT_TRUE(e.message().contains(q(target))) << e.what();
        }
    }
    fs::permissions(dir.file("ro"), fs::perms::owner_all);
    if (!enforced) GTEST_SKIP() << "read-only folders are not enforced for this user";
}

TEST(ProfileFile, LargeFileFindsAndWritesItsLastKey)
{
    dxtest::TempDir dir;
    std::string text;
    for (int s = 0; s < 2000; ++s) {
        text += "[section " + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 50; ++k) text += "key" + std::to_string(k) + "=" + std::to_string(s * 100 + k) + "\r\n";
    }
    io::writeFileAtomic(dir.file("big.ini"), text);
    writeProfileString(q(dir.file("big.ini")), "SECTION 1999", "key49", "x");
    text.replace(text.size() - 8, 6, "x");
    EXPECT_EQ(io::readFile(dir.file("big.ini")), text);
    EXPECT_EQ(ProfileFile::load(q(dir.file("big.ini"))).readInteger("section 1000", "key7", 0), 100007);
}

TEST(ProfileFile, FileOverTheSizeLimitIsRefusedBeforeItIsRead)
{
    dxtest::TempDir dir;
    std::string text = "[Dendrix]\r\nbgname=x\r\n;";
    text.append(kMaxProfileFileSize - text.size() - 2, 'x');
    text += "\r\n";
    io::writeFileAtomic(dir.file("limit.ini"), text);
    EXPECT_EQ(ProfileFile::load(q(dir.file("limit.ini"))).readString("dendrix", "bgname"), "x");
    io::writeFileAtomic(dir.file("over.ini"), text + "y");
    try {
        ProfileFile::load(q(dir.file("over.ini")));
        ADD_FAILURE() << "a file over the limit was read";
    } catch (const ProfileError &e) {
        EXPECT_TRUE(e.message().contains(q(dir.file("over.ini")))) << e.what();
        EXPECT_TRUE(e.message().contains(QString::number(kMaxProfileFileSize + 1))) << e.what();
    }
    // A write refuses it the same way and leaves it alone.
    EXPECT_THROW(writeProfileString(q(dir.file("over.ini")), "Dendrix", "bgname", "z"), ProfileError);
    EXPECT_EQ(io::readFile(dir.file("over.ini")), text + "y");
}
