// Bad outside files met through the windows: the main window's start-up, the project
// switch, the working sieve's saved criteria, the list files of the list print and the
// export, the restore from the archive, the land-area editor and the print settings.
// Each file stands in turn empty, as binary garbage, as a folder, a named pipe, the
// zero or null device, and as a 3 GB sparse file; each case must end in a message box
// that names the file, with no hang, no crash and no file changed.
#include "GuiFixtures.h"

#include "core/ProfileFile.h"
#include "export/TFormExportWindows.h"
#include "maintenance/TFormEditDB.h"
#include "maintenance/TFormZemName.h"
#include "printing/RecordingSink.h"
#include "printing/TFormPrintingWindows.h"
#include "shell/TFormLoading.h"
#include "shell/TFormSelPrj.h"
#include "widgets/GuiReportPrinter.h"
#include "WorkingSieveFixture.h"

#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dx;
using dxtest::Windows;
using dxtest::WorkingSieveTest;

namespace {

enum class Bad { Empty, Garbage, Folder, Pipe, Zero, Null, Huge };

const char *name(Bad b)
{
    switch (b) {
    case Bad::Empty: return "empty";
    case Bad::Garbage: return "garbage";
    case Bad::Folder: return "folder";
    case Bad::Pipe: return "pipe";
    case Bad::Zero: return "/dev/zero";
    case Bad::Null: return "/dev/null";
    case Bad::Huge: return "3 GB sparse";
    }
    return "?";
}
const Bad kAllBad[] = {Bad::Empty, Bad::Garbage, Bad::Folder, Bad::Pipe, Bad::Zero, Bad::Null, Bad::Huge};

// Puts the bad input where `path` stands (whatever stood there goes). The huge file keeps
// the real file's first bytes, so that its header still looks right.
void makeBad(const std::string &path, Bad kind)
{
    std::string head;
    if (fs::is_regular_file(path)) head = io::readFile(path).substr(0, 4096);
    fs::remove_all(path);
    fs::create_directories(fs::path(path).parent_path());
    switch (kind) {
    case Bad::Empty: std::ofstream(path, std::ios::binary).flush(); break;
    case Bad::Garbage: {
        std::mt19937 random(21);
        std::string bytes(4096, '\0');
        for (char &c : bytes) c = char(random());
        std::ofstream(path, std::ios::binary) << bytes;
        break;
    }
    case Bad::Folder: fs::create_directory(path); break;
    case Bad::Pipe: ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); break;
    case Bad::Zero: fs::create_symlink("/dev/zero", path); break;
    case Bad::Null: fs::create_symlink("/dev/null", path); break;
    case Bad::Huge:
        std::ofstream(path, std::ios::binary) << head;
        fs::resize_file(path, 3ull << 30);
        break;
    }
}

// Every file of the installation as it stands: contents of the small ones, size and time
// of the big ones, the kind of the rest.
std::map<std::string, std::string> snapshot(const std::string &dir)
{
    std::map<std::string, std::string> out;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
        const std::string p = it->path().string();
        const fs::file_status st = fs::symlink_status(p);
        if (st.type() == fs::file_type::directory) {
            out[p] = "folder";
        } else if (st.type() == fs::file_type::symlink) {
            out[p] = "link " + fs::read_symlink(p).string();
        } else if (st.type() == fs::file_type::regular) {
            const auto size = fs::file_size(p);
            out[p] = size < (64u << 20) ? io::readFile(p)
                                        : "size " + std::to_string(size) + " time " +
                                              std::to_string(io::stamp(p).mtimeNs);
        } else {
            out[p] = "kind " + std::to_string(int(st.type()));
        }
    }
    return out;
}

// A box about a folder, a pipe or a device says what stands there.
bool saysWhatItIs(Bad kind, const QString &text)
{
    switch (kind) {
    case Bad::Folder: return text.contains("folder") || text.contains(QStringLiteral("папка"));
    case Bad::Pipe: return text.contains("pipe") || text.contains(QStringLiteral("канал"));
    case Bad::Zero:
    case Bad::Null: return text.contains("device") || text.contains(QStringLiteral("устройство"));
    default: return true;
    }
}

// The paths that differ between two snapshots, with the kind of the difference.
std::string changes(const std::map<std::string, std::string> &before, const std::map<std::string, std::string> &after)
{
    std::string out;
    for (const auto &[p, what] : before) {
        auto it = after.find(p);
        if (it == after.end()) out += "gone: " + p + "\n";
        else if (it->second != what) out += "changed: " + p + "\n";
    }
    // The program's own folder and working tables may be made at start.
    for (const auto &[p, what] : after) {
        const std::string file = fs::path(p).filename().string();
        if (!before.count(p) && file != "Tables" && file != "mervs.dbf" && file != "merzl.dbf")
            out += "new: " + p + "\n";
    }
    return out;
}

// Keeps a watch on the named pipes of a folder: a program that opens one for reading
// would wait there for ever, so any reader seen is noted and let go with an end of file.
class PipeWatch {
public:
    explicit PipeWatch(std::string dir) : dir_(std::move(dir)), thread_([this] { watch(); }) {}
    ~PipeWatch()
    {
        stop_ = true;
        thread_.join();
    }
    bool readerSeen() const { return seen_; }

private:
    void watch()
    {
        while (!stop_) {
            std::error_code ec;
            for (auto it = fs::recursive_directory_iterator(dir_, ec); !ec && it != fs::recursive_directory_iterator();
                 it.increment(ec)) {
                if (fs::symlink_status(it->path(), ec).type() != fs::file_type::fifo) continue;
                const int fd = ::open(it->path().c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) { // only a waiting reader lets a non-blocking writer in
                    seen_ = true;
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    std::string dir_;
    std::atomic<bool> stop_{false}, seen_{false};
    std::thread thread_;
};

// The messages with their details, as the boxes show them.
struct Boxes {
    QStringList all;
    void hook(Windows &w)
    {
        w.main->setMessageHook([this](const UserMessage &m) { all << m.caption + "|" + m.text + "|" + m.detail; });
    }
    QString text() const { return all.join(QStringLiteral("\n")); }
    bool name(const QString &what) const { return text().contains(what); }
};

// The file's own name as a message would give it.
QString base(const std::string &path)
{
    return QString::fromStdString(fs::path(path).filename().string());
}

} // namespace

// --- start-up ------------------------------------------------------------------------------

struct StartupCase {
    const char *file;  // in the demo installation
    bool ends;         // the program cannot go on without it
};

class StartupBadInput : public ::testing::TestWithParam<std::tuple<StartupCase, Bad>> {};

TEST_P(StartupBadInput, LoadsToAMessageNamingTheFileAndChangesNothing)
{
    const auto [target, bad] = GetParam();
    dxtest::TempDir dir;
    dxtest::demo(dir);
    const std::string path = dir.file(target.file);
    makeBad(path, bad);
    const auto before = snapshot(dir.path());
    Boxes boxes;
    bool ended = false;
    {
        PipeWatch pipes(dir.path());
        Windows w(dir.path());
        boxes.hook(w);
        w.showAndLoad();
        ended = w.ended;
        EXPECT_FALSE(pipes.readerSeen()) << "a named pipe was opened for reading";
        EXPECT_FALSE(w.list->loading->isVisible());
    }
    EXPECT_EQ(changes(before, snapshot(dir.path())), "");
    // An empty catalogue is one without projects.
    if (bad == Bad::Empty && std::string(target.file) == "project.conf") {
        EXPECT_TRUE(boxes.all.isEmpty()) << boxes.text().toStdString();
        return;
    }
    ASSERT_FALSE(boxes.all.isEmpty());
    EXPECT_TRUE(saysWhatItIs(bad, boxes.text())) << boxes.text().toStdString();
    EXPECT_TRUE(boxes.name(base(path)) || boxes.name(QString::fromStdString(path))) << boxes.text().toStdString();
    if (target.ends) {
        EXPECT_TRUE(ended) << boxes.text().toStdString();
    }
}

const StartupCase kStartupFiles[] = {
    {"Dendrix.ini", false}, {"project.conf", false}, {"names.dbf", true},
    {"bon.dbf", false},     {"kloni.dbf", false},    {"database/BANSKO.DB", true},
};

INSTANTIATE_TEST_SUITE_P(Files, StartupBadInput,
                         ::testing::Combine(::testing::ValuesIn(kStartupFiles), ::testing::ValuesIn(kAllBad)),
                         [](const auto &info) {
                             std::string n = std::string(std::get<0>(info.param).file) + "_" +
                                             name(std::get<1>(info.param));
                             for (char &c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

// --- the windows that read a file the user names -------------------------------------------

// One bad file met through one window on a loaded demo installation: a message box naming
// the file, no pipe opened, no file changed.
class BadFileWindows : public dxtest::DemoWindowsTest, public ::testing::WithParamInterface<Bad> {
protected:
    void SetUp() override
    {
        loadDemo();
        boxes.hook(*w);
        // A question is a box as well; the answer is "No", so that nothing is replaced.
        w->list->messages.setAskHook([this](const UserMessage &m) {
            boxes.all << m.caption + "|" + m.text + "|" + m.detail;
            return answer;
        });
    }
    void TearDown() override { w->list->messages.setAskHook({}); }
    // Makes the bad file, runs the step and checks what a bad file must leave behind.
    // `emptyIsValid`: an empty file is a valid one with nothing in it (no box).
    // `named`: the file's name as the box gives it, when not `path` itself.
    void sweep(const std::string &path, const std::function<void()> &step, bool emptyIsValid = false,
               const QString &named = {})
    {
        makeBad(path, GetParam());
        const auto before = snapshot(dir.path());
        {
            PipeWatch pipes(dir.path());
            step();
            QApplication::processEvents();
            EXPECT_FALSE(pipes.readerSeen()) << "a named pipe was opened for reading";
        }
        EXPECT_EQ(changes(before, snapshot(dir.path())), "");
        if (emptyIsValid && GetParam() == Bad::Empty) {
            EXPECT_TRUE(boxes.all.isEmpty()) << boxes.text().toStdString();
            return;
        }
        ASSERT_FALSE(boxes.all.isEmpty()) << "no message";
        if (kindNamed) {
            EXPECT_TRUE(saysWhatItIs(GetParam(), boxes.text())) << boxes.text().toStdString();
        }
        EXPECT_TRUE(boxes.name(named.isEmpty() ? QString::fromStdString(path) : named)) << boxes.text().toStdString();
    }
    // The working sieve on screen with one criterion set, its file dialogs answered
    // with `path`.
    TFormSitoRabotno *sieveChoosing(const std::string &path)
    {
        auto *sieve = w->list->registry.get<TFormSitoRabotno>();
        sieve->setFileDialogHook([path](const TFormSitoRabotno::FileRequest &) {
            return std::optional<TFormSitoRabotno::FileChoice>(TFormSitoRabotno::FileChoice{QString::fromStdString(path), 0});
        });
        sieve->show();
        QApplication::processEvents();
        sieve->pickList(CriterionId::StopKlas)->setEditText(QStringLiteral("смърчово"));
        return sieve;
    }
    template <class W> W *open()
    {
        W *win = w->list->registry.get<W>();
        win->show();
        QApplication::processEvents();
        return win;
    }
    Boxes boxes;
    bool answer = false;
    bool kindNamed = true; // the box says what stands there
};

TEST_P(BadFileWindows, ListFileOfTheListPrint)
{
    auto *win = open<TFormPrintListFromFile>();
    const std::string path = dir.file("list.txt");
    win->setChooseFile([&] { return QString::fromStdString(path); });
    sweep(path, [&] { QTest::mouseClick(win->browseButton(), Qt::LeftButton); }, true);
    EXPECT_EQ(win->grid()->model()->rowCount(), 0);
    EXPECT_EQ(win->statusLabel()->text(), "брой подотдели: 0");
}

TEST_P(BadFileWindows, ListFileOfTheExport)
{
    auto *win = open<TFormExport>();
    const std::string path = dir.file("list.txt");
    win->setFileChooser([&](const FileDialogRequest &) { return QString::fromStdString(path); });
    win->tabs()->setCurrentIndex(TFormExport::List);
    QApplication::processEvents();
    QPushButton *listBrowse = nullptr;
    for (QPushButton *b : win->listGroup()->findChildren<QPushButton *>()) listBrowse = b;
    ASSERT_TRUE(listBrowse);
    sweep(path, [&] { QTest::mouseClick(listBrowse, Qt::LeftButton, {}, QPoint(4, listBrowse->height() / 2)); }, true);
    EXPECT_EQ(win->listGrid()->rowCount(), 0);
    EXPECT_FALSE(win->exportButton()->isEnabled());
}

TEST_P(BadFileWindows, RestoreFromTheArchive)
{
    const std::string table = dir.file("database/BANSKO.DB");
    const std::string archive = dir.file("database/BANSKO.drbackup");
    auto *ed = w->list->registry.get<TFormEditDB>();
    ed->show();
    QApplication::processEvents();
    boxes.all.clear();
    answer = true; // the restore's own warning is answered "Yes"
    sweep(archive, [&] {
        ed->restoreAction()->trigger();
        auto *un = w->list->registry.get<TFormEditDBUnArch>();
        if (un->isVisible()) QTest::mouseClick(un->restoreButton(), Qt::LeftButton);
    });
    EXPECT_GT(w->main->compartmentList()->count(), 0); // the project is still open
}

TEST_P(BadFileWindows, TableOfAnotherProjectChosenInTheSelection)
{
    const QString title = w->main->windowTitle();
    const std::string ini = io::readFile(dir.file("Dendrix.ini"));
    auto *sel = open<TFormSelPrj>();
    const auto &cat = w->main->state().catalogue;
    int row = -1;
    for (int i = 0; i < cat.size(); ++i)
        if (cat[i].bgname == QStringLiteral("Белово")) row = i;
    ASSERT_GE(row, 0);
    sel->setCurrentRow(row);
    // The box names the table as the catalogue spells it.
    sweep(dir.file("database/BELOVO.DB"), [&] { QTest::mouseClick(sel->okButton(), Qt::LeftButton); }, false,
          QString::fromStdString(dir.file("database/Belovo.db")));
    // What is no file at all is refused before the open project is given up; a file that
    // does not open as a table ends the program. Neither is remembered as the project.
    const bool noFile = GetParam() == Bad::Folder || GetParam() == Bad::Pipe || GetParam() == Bad::Zero ||
                        GetParam() == Bad::Null;
    EXPECT_EQ(w->ended, !noFile);
    if (noFile) {
        EXPECT_EQ(w->main->windowTitle(), title);
        EXPECT_TRUE(boxes.text().contains(QStringLiteral("Избор на проект|Липсва файл "))) << boxes.text().toStdString();
        EXPECT_TRUE(boxes.text().contains(QStringLiteral(", not a file"))) << boxes.text().toStdString();
    }
    EXPECT_EQ(io::readFile(dir.file("Dendrix.ini")), ini);
}

TEST_P(BadFileWindows, SavedSieveOpenedInTheWorkingSieve)
{
    const std::string path = dir.file("saved.drf");
    TFormSitoRabotno *sieve = sieveChoosing(path);
    const SieveCriteria before = sieve->criteria();
    sweep(path, [&] { sieve->command(TFormSitoRabotno::Command::OpenCriteria)->trigger(); }, true);
    // An empty file holds no criteria, as one that is not there: they are emptied.
    EXPECT_EQ(sieve->criteria(), GetParam() == Bad::Empty ? SieveCriteria() : before);
}

TEST_P(BadFileWindows, SavedSieveWrittenOverABadFile)
{
    if (GetParam() == Bad::Empty) GTEST_SKIP() << "an empty file is a place to save to";
    const std::string path = dir.file("saved.drf");
    TFormSitoRabotno *sieve = sieveChoosing(path);
    sieve->command(TFormSitoRabotno::Command::Run)->trigger();
    ASSERT_TRUE(sieve->command(TFormSitoRabotno::Command::SaveCriteria)->isEnabled());
    sweep(path, [&] { sieve->command(TFormSitoRabotno::Command::SaveCriteria)->trigger(); });
}

TEST_P(BadFileWindows, LandAreaTableOpenedInItsEditor)
{
    // The land areas are opened again after the bad file is put in place; the editor then
    // offers to make a new table in its place and is told "No" (a folder it cannot replace).
    const std::string path = dir.file("zemnom/BANSKO.DBF");
    kindNamed = GetParam() == Bad::Folder; // the question before a replacement is the editor's own
    sweep(path, [&] {
        openLandArea(w->main->state());
        open<TFormEditZemName>();
    });
}

INSTANTIATE_TEST_SUITE_P(Kinds, BadFileWindows, ::testing::ValuesIn(kAllBad), [](const auto &info) {
    std::string n = name(info.param);
    for (char &c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
});

// --- values inside files -------------------------------------------------------------------

// Settings values beyond any page (margins of 2^31 mm, 1e308, font sizes of -5 and 100000):
// the print settings window shows what it can hold, and a description is still composed
// within A4 and painted, without a hang or a crash.
struct PrintValues {
    const char *name;
    std::vector<std::pair<const char *, const char *>> keys; // of "таксационно описание"
};

class PrintSettingsValues : public ::testing::TestWithParam<PrintValues> {};

TEST_P(PrintSettingsValues, ComposeAndPaintWithinThePage)
{
    dxtest::TempDir dir;
    dxtest::demo(dir);
    const QString ini = QString::fromStdString(dir.file("Dendrix.ini"));
    for (const auto &[key, value] : GetParam().keys)
        writeProfileString(ini, QStringLiteral("таксационно описание"), QString::fromUtf8(key), QString::fromUtf8(value));
    const std::string settingsText = io::readFile(ss(ini));
    Windows w(dir.path());
    Boxes boxes;
    boxes.hook(w);
    w.showAndLoad();
    const QStringList atStart = boxes.all;
    auto *set = w.list->registry.get<TFormPrintSet>();
    set->show();
    QApplication::processEvents();
    const TFormPrintSet::Tab &d = set->tab(0);
    for (QSpinBox *s : {d.left, d.right, d.top, d.bottom}) {
        EXPECT_GE(s->value(), s->minimum());
        EXPECT_LE(s->value(), s->maximum());
    }
    QTest::mouseClick(set->cancelButton(), Qt::LeftButton);
    DescriptionComposer composer(w.main->state());
    ASSERT_TRUE(composer.compose(2, QStringLiteral("а"), {}));
    const Report &r = composer.report();
    ASSERT_GE(r.pageCount(), 1);
    EXPECT_LE(r.pageCount(), 10); // one description, never a run of pages
    EXPECT_GE(r.frame().left, 0);
    EXPECT_GT(r.frame().widthMm(), 0);
    EXPECT_LE(r.frame().left + r.frame().widthMm(), 210);
    const QImage page = renderPage(r, 0, 30);
    EXPECT_FALSE(page.isNull());
    EXPECT_GE(r.frame().font.pointSize, 4);
    EXPECT_LE(r.frame().font.pointSize, 72);
    // Values no page can take are brought within the page without a word and without
    // being written back: the file keeps them until the user saves the window's values.
    EXPECT_TRUE(atStart.isEmpty()) << atStart.join("\n").toStdString();
    EXPECT_EQ(io::readFile(ss(ini)), settingsText);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PrintSettingsValues,
    ::testing::Values(PrintValues{"HugeMargins", {{"Left", "2147483647"}, {"Right", "2147483647"}, {"Top", "99999"}}},
                      PrintValues{"NegativeMargins", {{"Left", "-50"}, {"Top", "-2147483648"}}},
                      PrintValues{"FloatMargin", {{"Left", "1e308"}, {"Bottom", "1e308"}}},
                      PrintValues{"NegativeFont", {{"FontSize", "-5"}}},
                      PrintValues{"ZeroFontAndCopies", {{"FontSize", "0"}, {"Copyes", "-3"}}},
                      PrintValues{"HugeFont", {{"FontSize", "100000"}}}),
    [](const auto &info) { return std::string(info.param.name); });

// --- quotes and look-alike letters ---------------------------------------------------------

// Settings values as a user's editor may leave them: quotes in the title, a Latin letter
// in a Cyrillic file name (or a Cyrillic one in a Latin name), a device or a folder as
// the project table.
struct SettingsCase {
    const char *name;
    const char *key, *value;
    const char *shown;  // in the caption or in a box
    bool ends;
};

class SettingsValuesAtStart : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsValuesAtStart, ShowTheValueAsWrittenAndNeverWait)
{
    const SettingsCase &c = GetParam();
    dxtest::TempDir dir;
    dxtest::demo(dir);
    // The line as a text editor leaves it, not through the program's own quoting.
    const std::string ini = dir.file("Dendrix.ini");
    std::string text = io::readFile(ini);
    const std::string key = std::string("\r\n") + c.key + "=";
    const size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos);
    const size_t end = text.find("\r\n", at + key.size());
    text.replace(at + key.size(), end - at - key.size(), cp::utf8ToCp1251(c.value));
    std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
    const auto before = snapshot(dir.path());
    Windows w(dir.path());
    Boxes boxes;
    boxes.hook(w);
    w.showAndLoad();
    EXPECT_EQ(w.ended, c.ends) << boxes.text().toStdString();
    const QString seen = w.main->windowTitle() + "\n" + boxes.text();
    EXPECT_TRUE(seen.contains(QString::fromUtf8(c.shown))) << seen.toStdString();
    if (!c.ends) {
        EXPECT_TRUE(boxes.all.isEmpty()) << boxes.text().toStdString();
    }
    EXPECT_EQ(changes(before, snapshot(dir.path())), "");
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsValuesAtStart,
    ::testing::Values(
        SettingsCase{"QuotedTitle", "bgname", "\"ДГС \"Банско\"\"", "Dendrix 1.8  - ДГС \"Банско\" 2019", false},
        SettingsCase{"QuoteInsideTitle", "bgname", "ДГС \"Банско", "Dendrix 1.8  - ДГС \"Банско 2019", false},
        // "А" below is Cyrillic, in a Latin file name.
        SettingsCase{"CyrillicLetterInTableName", "database", "database\\BАNSKO.DB", "Липсва файл ", true},
        SettingsCase{"LatinLetterInFolderName", "database", "dаtabase\\BANSKO.DB", "dаtabase/BANSKO.DB", true},
        SettingsCase{"DeviceAsTable", "database", "/dev/zero", "Cannot open table /dev/zero!", true},
        SettingsCase{"FolderAsTable", "database", "database", "this is a folder", true}),
    [](const auto &info) { return std::string(info.param.name); });

// A saved sieve whose texts hold quotes or a Latin letter among Cyrillic ones: the texts
// are matched as they stand (no match), never run as part of the statement.
TEST_F(WorkingSieveTest, SavedSieveTextsWithQuotesAndLookAlikesAreMatchedAsText)
{
    const struct {
        const char *text;
        bool matches;
    } cases[] = {
        {"смърчово", true},
        {"смърчовo", false}, // the last letter Latin
        {"x\" or \"1\"=\"1", false},
        {"смърчово' or '1'='1", false},
        {"\"смърчово\"", true}, // one pair of quotes goes, as in every profile file
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QString file = path("quoted.drf");
        // Written as a text editor leaves it, not through the program's own quoting.
        std::ofstream(ss(file), std::ios::binary | std::ios::trunc)
            << cp::utf8ToCp1251(std::string("[Dendrix Filter]\r\nстопански клас=") + c.text + "\r\n");
        choose(file);
        sieve->command(Sieve::Command::OpenCriteria)->trigger();
        run();
        EXPECT_TRUE(w->messages.isEmpty()) << w->messages.join("\n").toStdString();
        EXPECT_EQ(sieve->model()->rowCount() > 0, c.matches) << sieve->selection().toStdString();
    }
}
