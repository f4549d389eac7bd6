// Database editor benchmark on the demo's encrypted Paradox table: opening it with the
// first screen of cells read, posting one edited record (locked, journalled), a search
// over every cell that finds nothing (the first of a session, which makes the searched
// texts, and the following ones), and the archive and restore copies.
//
//   dendrix-bench-maintenance [--records N] [--repeat R]
#include "core/DataPassword.h"
#include "demo/DemoData.h"
#include "maintenance/Archive.h"
#include "maintenance/TableEditor.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace dx;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double medianMs(int repeat, const std::function<void(int)> &f)
{
    std::vector<double> runs;
    for (int i = 0; i < repeat; ++i) {
        auto t0 = Clock::now();
        f(i);
        runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    int records = 20000, repeat = 9;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--records") records = std::atoi(argv[i + 1]);
        else if (a == "--repeat") repeat = std::atoi(argv[i + 1]);
    }
    const fs::path dir = fs::temp_directory_path() / ("dx-bench-maint-" + std::to_string(::getpid()));
    DemoOptions o;
    o.records = records;
    createDemoInstallation(dir.string(), o);
    const std::string table = (dir / "database" / "BANSKO.DB").string();
    std::printf("table %s: %.1f MB, %d records\n", table.c_str(), fs::file_size(table) / 1048576.0, records);

    // A fresh session each time: the file is read and decrypted as on opening the editor.
    const double open = medianMs(repeat, [&](int) {
        Database db;
        db.addPassword(dataPassword());
        TableEditor ed(db);
        ed.open(table);
        for (size_t r = 0; r < 30 && r < ed.rowCount(); ++r)
            for (size_t c = 0; c < 20 && c < ed.columnCount(); ++c) (void)ed.text(r, c);
    });
    std::printf("%-44s %9.2f ms\n", "editor open + first screen", open);

    Database db;
    db.addPassword(dataPassword());
    TableEditor ed(db);
    ed.open(table);
    const size_t nzn2 = size_t(db.table(table)->fieldIndex("NZN2"));
    const double post = medianMs(repeat, [&](int i) {
        if (auto m = ed.setText(size_t(i * 997) % ed.rowCount(), nzn2, QStringLiteral("b%1").arg(i)))
            std::fprintf(stderr, "%s\n", m->text.toUtf8().constData());
    });
    std::printf("%-44s %9.2f ms\n", "post one edited record", post);

    // The first search of a session also makes the searched texts of the columns that
    // can hold the needle (kept until the table is read again).
    const double firstSearch = medianMs(repeat, [&](int) {
        TableEditor fresh(db);
        fresh.open(table);
        (void)fresh.searchAll({0, 0}, QStringLiteral("няма-го-никъде"));
    });
    std::printf("%-44s %9.2f ms\n", "first search of a session, no match", firstSearch);
    const double search = medianMs(repeat, [&](int) { (void)ed.searchAll({0, 0}, QStringLiteral("няма-го-никъде")); });
    std::printf("%-44s %9.2f ms   (%zu cells)\n", "search all cells, no match", search, ed.rowCount() * ed.columnCount());
    const double digits = medianMs(repeat, [&](int) { (void)ed.searchAll({0, 0}, QStringLiteral("9876543")); });
    std::printf("%-44s %9.2f ms\n", "search all cells for digits, no match", digits);
    const double column = medianMs(repeat, [&](int) { (void)ed.searchColumn({nzn2, 0}, QStringLiteral("няма"), false); });
    std::printf("%-44s %9.2f ms\n", "search one column, no match", column);

    const double mb = fs::file_size(table) / 1048576.0;
    const double arch = medianMs(repeat, [&](int) { archiveTable(QString::fromStdString(table)); });
    std::printf("%-44s %9.2f ms   %.0f MB/s\n", "archive", arch, mb / (arch / 1000));
    const double rest = medianMs(repeat, [&](int) { restoreTable(QString::fromStdString(table)); });
    std::printf("%-44s %9.2f ms   %.0f MB/s\n", "restore", rest, mb / (rest / 1000));
    fs::remove_all(dir);
    return 0;
}
