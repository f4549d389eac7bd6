// dendrix-cli pdf over the demo installation: one description, a range with sheets, one
// sheet, and the exit statuses of bad arguments and of pairs that name no record. The
// pages are counted in the PDF itself.
#include "demo/DemoData.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

class PdfCli : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new dxtest::TempDir;
        dx::createDemoInstallation(dir_->path(), {60, 7});
    }
    static void TearDownTestSuite() { delete dir_; }
    static dxtest::CliRun run(const std::string &args) { return dxtest::runCli("-C '" + dir_->path() + "' " + args); }
    // The same with the messages on stderr in `out`.
    static dxtest::CliRun runErr(const std::string &args)
    {
        return dxtest::runShell(std::string(DX_CLI_PATH) + " -C '" + dir_->path() + "' " + args + " 2>&1 >/dev/null");
    }
    static std::string out() { return dir_->file("out.pdf"); }
    static std::string pdf()
    {
        std::ifstream f(out(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    // The page count of the PDF's page tree.
    static int pages()
    {
        std::smatch m;
        const std::string text = pdf();
        return std::regex_search(text, m, std::regex("/Type /Pages[^>]*/Count (\\d+)")) ? std::stoi(m[1]) : -1;
    }

    static dxtest::TempDir *dir_;
};

dxtest::TempDir *PdfCli::dir_ = nullptr;

} // namespace

TEST_F(PdfCli, DescriptionsRangesAndSheets)
{
    dxtest::CliRun r = run("pdf '" + out() + "' 2 а");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1 descriptions, 0 sheets, 1 pages: " + out() + "\n");
    EXPECT_EQ(pages(), 1);
    EXPECT_NE(pdf().find("/Title"), std::string::npos);

    // Compartments 1 to 2 with a sheet before each compartment's descriptions.
    r = run("pdf '" + out() + "' --sheets --branches --from 1 --to 2");
    ASSERT_EQ(r.status, 0);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex("^(\\d+) descriptions, 2 sheets, (\\d+) pages")));
    const int descriptions = std::stoi(m[1]);
    EXPECT_GT(descriptions, 2);
    EXPECT_EQ(std::stoi(m[2]), descriptions + 2);
    EXPECT_EQ(pages(), descriptions + 2);

    r = run("pdf '" + out() + "' --sheet 3");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(pages(), 1);
}

TEST_F(PdfCli, BadArgumentsAndMissingRecords)
{
    for (const char *args : {"pdf", "pdf x.pdf", "pdf x.pdf 2", "pdf x.pdf 2 а --sheet 2", "pdf x.pdf --from 1",
                             "pdf x.pdf --from 1 --to z", "pdf x.pdf --bogus 2 а", "pdf x.pdf 2 а б"})
        EXPECT_EQ(run(args).status, 2) << args;

    // An older file stays when nothing could be printed.
    ASSERT_EQ(run("pdf '" + out() + "' 2 а").status, 0);
    const std::string before = pdf();
    dxtest::CliRun r = runErr("pdf '" + out() + "' 2 a"); // a Latin "a"
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Избрали сте несъществуващ подотдел."), std::string::npos) << r.out;
    r = runErr("pdf '" + out() + "' --sheet 999");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Избрания отдел несъществува."), std::string::npos) << r.out;
    r = runErr("pdf '" + out() + "' --from 3 --to 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Избрания интевал от-до е грешен."), std::string::npos) << r.out;
    EXPECT_EQ(pdf(), before);
    // A folder that does not exist: a message naming the file.
    r = runErr("pdf /nonexistent-dir/x.pdf 2 а");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("/nonexistent-dir/x.pdf"), std::string::npos) << r.out;
}
