// dendrix-cli's describe and sheet print exactly what the single export appends to a
// file, and export-text / export-docx choose the format whatever the file is named.
#include "demo/DemoData.h"
#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

using namespace dx;

TEST(ExportCli, DescribeAndSheetPrintTheAppendedTextsInUtf8)
{
    dxtest::TempDir dir;
    DemoOptions o;
    o.records = 60;
    createDemoInstallation(dir.file("d"), o);
    const std::string c = "-C '" + dir.file("d") + "' ";

    const dxtest::CliRun described = dxtest::runCli(c + "describe 1 а");
    ASSERT_EQ(described.status, 0);
    const dxtest::CliRun exported = dxtest::runCli(c + "export-text '" + dir.file("one.txt") + "' --current 1 а");
    ASSERT_EQ(exported.status, 0);
    const std::string appended = io::readFile(dir.file("one.txt"));
    EXPECT_EQ(described.out, cp::cp1251ToUtf8(appended));
    EXPECT_NE(described.out.find("\r\n"), std::string::npos);
    EXPECT_EQ(described.out.find("\n\n"), std::string::npos); // every line ends in CR LF

    const dxtest::CliRun sheet = dxtest::runCli(c + "sheet 1");
    ASSERT_EQ(sheet.status, 0);
    ASSERT_EQ(dxtest::runCli(c + "export-text '" + dir.file("sheet.txt") + "' --sheet 1").status, 0);
    EXPECT_EQ(sheet.out, cp::cp1251ToUtf8(io::readFile(dir.file("sheet.txt"))));
    EXPECT_NE(sheet.out, described.out);

    // Nothing to print: a warning, no text, status 1; a usage error is status 2.
    const dxtest::CliRun missing = dxtest::runCli(c + "describe 1 няма");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_EQ(dxtest::runCli(c + "sheet 99999").status, 1);
    EXPECT_EQ(dxtest::runCli(c + "describe x а").status, 2);
    EXPECT_EQ(dxtest::runCli(c + "sheet").status, 2);

    // export-text appends text even to a name ending in .docx; export-docx writes a Word
    // package whatever the name.
    ASSERT_EQ(dxtest::runCli(c + "export-text '" + dir.file("t.docx") + "' --current 1 а").status, 0);
    EXPECT_EQ(io::readFile(dir.file("t.docx")), appended);
    ASSERT_EQ(dxtest::runCli(c + "export-docx '" + dir.file("w.bin") + "' --current 1 а").status, 0);
    EXPECT_EQ(io::readFile(dir.file("w.bin")).substr(0, 2), "PK");
}
