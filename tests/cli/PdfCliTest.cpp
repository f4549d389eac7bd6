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

namespace {

// The job lines of stderr: "one-sided|two-sided<TAB>pages".
std::vector<std::string> jobLines(const std::string &err)
{
    std::vector<std::string> out;
    const std::regex job("^job \\d+\\t([^\\n]*)$", std::regex::multiline);
    for (auto it = std::sregex_iterator(err.begin(), err.end(), job); it != std::sregex_iterator(); ++it)
        out.push_back((*it)[1]);
    return out;
}

} // namespace

TEST_F(PdfCli, DuplexPairsAndManualPassesAreListedAsJobs)
{
    dxtest::CliRun r = runErr("pdf '" + out() + "' --sheets --duplex --from 1 --to 2");
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<std::string> jobs = jobLines(r.out);
    ASSERT_GE(jobs.size(), 4u);
    EXPECT_EQ(jobs[0], "one-sided\t1");
    int printed = 0, sheets = 0;
    std::string compartment;
    for (const std::string &j : jobs) {
        std::smatch m;
        if (std::regex_match(j, m, std::regex("one-sided\\t(\\d+)"))) {
            compartment = m[1];
            ++sheets;
            ++printed;
            continue;
        }
        // Two-sided jobs of one or two descriptions, both of the compartment just begun.
        ASSERT_TRUE(std::regex_match(j, m, std::regex("two-sided\\t(\\d+):\\S+( (\\d+):\\S+)?"))) << j;
        EXPECT_EQ(m[1], compartment);
        if (m[2].matched) EXPECT_EQ(m[3], compartment);
        printed += m[2].matched ? 2 : 1;
    }
    EXPECT_EQ(sheets, 2);
    EXPECT_EQ(pages(), printed);

    // By hand: for compartment 1 the back prompt, the even rows, the face prompt, the odd rows.
    r = runErr("pdf '" + out() + "' --manual --from 1 --to 1");
    ASSERT_EQ(r.status, 0) << r.out;
    const size_t back = r.out.find("prompt\tПечат описания - двустранно, гръб [отдел 1]\tПоставете ");
    const size_t face = r.out.find("prompt\tПечат описания - двустранно, лице [отдел 1]\tОбърнете последните ");
    ASSERT_NE(back, std::string::npos) << r.out;
    ASSERT_NE(face, std::string::npos) << r.out;
    EXPECT_LT(back, face);
    jobs = jobLines(r.out);
    const size_t n = jobs.size();
    ASSERT_GE(n, 2u);
    // The first job after the face prompt is the first row, which the back pass left out.
    const std::string firstFace = r.out.substr(face);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(firstFace, m, std::regex("job \\d+\\tone-sided\\t(\\S+)")));
    EXPECT_EQ(std::count(jobs.begin(), jobs.end(), "one-sided\t" + std::string(m[1])), 1);
    EXPECT_EQ(pages(), int(n));

    for (const char *args : {"pdf x.pdf --from 1 --to 2 --duplex --manual", "pdf x.pdf 2 а --duplex",
                             "pdf x.pdf --from 1 --to 2 --two-sided", "pdf x.pdf --list l.txt",
                             "pdf x.pdf --list l.txt --separator ';' --duplex"})
        EXPECT_EQ(run(args).status, 2) << args;
}

TEST_F(PdfCli, ListFileFrontsThenPairedBacks)
{
    const std::string list = dir_->file("list.txt");
    {
        std::ofstream f(list, std::ios::binary);
        f << "1;а\r\n\r\n1;б\r\n1;а\r\n999;а\r\n";
    }
    dxtest::CliRun r = runErr("pdf '" + out() + "' --list '" + list + "' --separator ';' --two-sided");
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<std::string> jobs = jobLines(r.out);
    // Fronts а, б (the repeat left out, 999 warned), then backs б behind а and а behind б.
    EXPECT_EQ(jobs, std::vector<std::string>({"one-sided\t1:а", "one-sided\t1:б", "one-sided\t1:б", "one-sided\t1:а"}));
    EXPECT_NE(r.out.find("1:а (ред 4)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Избрали сте несъществуващ подотдел."), std::string::npos) << r.out;
    EXPECT_EQ(pages(), 4);

    // The stretch numbers entries and swaps; beyond the list it is refused.
    r = runErr("pdf '" + out() + "' --list '" + list + "' --separator ';' --from 2 --to 1");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(jobLines(r.out), std::vector<std::string>({"one-sided\t1:а", "one-sided\t1:б"}));
    const std::string before = pdf();
    r = runErr("pdf '" + out() + "' --list '" + list + "' --separator ';' --from 1 --to 4");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Въвели сте грешен диапазон от-до!"), std::string::npos) << r.out;
    // Another separator than the file's: the first line is no number, nothing printed.
    r = runErr("pdf '" + out() + "' --list '" + list + "' --separator '#'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("is not a valid integer value"), std::string::npos) << r.out;
    EXPECT_EQ(pdf(), before);
}
