// The one whole-file write: a complete file or the old one, and failures that name the
// file and the reason as a file error, never as a database error.
#include "core/SafeFileWrite.h"

#include "TestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace {

using dx::FileWriteError;

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The error a write at `path` throws; fails the test when none is thrown.
FileWriteError failureOf(const QString &path)
{
    try {
        dx::writeFileSafely(path, "data");
    } catch (const FileWriteError &e) {
        return e;
    }
    ADD_FAILURE() << "no error writing " << path.toStdString();
    return FileWriteError(path, {});
}

TEST(SafeFileWrite, ReplacesTheFileWholeAndLeavesNothingBeside)
{
    dxtest::TempDir dir;
    const QString path = qs(dir.file("list.txt"));
    dx::writeFileSafely(path, QByteArray(100000, 'x'));
    dx::writeFileSafely(path, "short\r\n");
    EXPECT_EQ(readAll(path), "short\r\n");
    dx::writeFileSafely(path, {});
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_EQ(QDir(qs(dir.path())).entryList(QDir::Files | QDir::Hidden), QStringList{"list.txt"});
}

TEST(SafeFileWrite, FailuresSayWhichFileAndWhy)
{
    dxtest::TempDir dir;
    const QString missing = qs(dir.file("no/such/list.xlsx"));
    const FileWriteError noFolder = failureOf(missing);
    EXPECT_EQ(noFolder.path(), missing);
    EXPECT_EQ(noFolder.reason(), QStringLiteral("папката %1 не съществува.").arg(qs(dir.file("no/such"))));
    EXPECT_EQ(noFolder.message(), QStringLiteral("Файлът %1 не може да бъде записан: %2").arg(missing, noFolder.reason()));

    ASSERT_TRUE(QDir().mkdir(qs(dir.file("taken"))));
    EXPECT_EQ(failureOf(qs(dir.file("taken"))).reason(), "на мястото на файла има папка.");

    // A write-protected folder (a user who may write anywhere cannot see this case).
    const QString locked = qs(dir.file("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(locked + "/probe");
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
    } else {
        EXPECT_EQ(failureOf(locked + "/list.rtf").reason(), QStringLiteral("папката %1 е защитена от запис.").arg(locked));
        EXPECT_TRUE(QDir(locked).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(QDir(qs(dir.path())).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST(SafeFileWrite, TheMessageIsAboutTheFileNotTheDatabase)
{
    const FileWriteError e(QStringLiteral("/tmp/x/списък.pdf"), QStringLiteral("папката /tmp/x не съществува."));
    const dx::UserMessage m = dx::fileWriteMessage(e, QStringLiteral("Сито работно"));
    EXPECT_EQ(m.caption, "Сито работно");
    EXPECT_EQ(m.text, "Файлът /tmp/x/списък.pdf не може да бъде записан.");
    EXPECT_EQ(m.detail, "папката /tmp/x не съществува.");
    EXPECT_EQ(m.icon, dx::UserMessage::Icon::Error);
    EXPECT_EQ(dx::fileWriteMessage(e).caption, dx::plainCaption());
}

TEST(SafeFileWrite, SavedNamesGetTheirExtensionUnlessExactlyThere)
{
    EXPECT_EQ(dx::savedFileName("a.xlsx", ".xlsx"), "a.xlsx");
    EXPECT_EQ(dx::savedFileName("a.XLSX", ".xlsx"), "a.XLSX.xlsx");
    EXPECT_EQ(dx::savedFileName("a", ".rtf"), "a.rtf");
    EXPECT_EQ(dx::savedFileName("", ".rtf"), ".rtf");
}

} // namespace

TEST(SafeFileWrite, ANamedPipeOrADeviceInPlaceOfTheFileIsNamedAndLeftAlone)
{
    dxtest::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", dir.file("null"));
    EXPECT_EQ(failureOf(qs(dir.file("pipe"))).reason(), "на мястото на файла има именуван канал.");
    EXPECT_EQ(failureOf(qs(dir.file("null"))).reason(), "на мястото на файла има устройство.");
    EXPECT_EQ(std::filesystem::status(dir.file("pipe")).type(), std::filesystem::file_type::fifo);
    EXPECT_EQ(std::filesystem::read_symlink(dir.file("null")), "/dev/null");
    EXPECT_EQ(dx::notAFileReason(qs(dir.file("missing"))), QString());
}
