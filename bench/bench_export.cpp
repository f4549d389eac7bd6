// Export benchmark on a demo installation: the text export of a range of about 100
// sub-compartments, of the whole project (target at 20,000 records: under 2 s), and a
// Word document of 10 description pages (pages rendered at print resolution, PNG, zip).
//
//   dendrix-bench-export [--records N] [--dir DIR] [--runs R]
#include "core/AppState.h"
#include "demo/DemoData.h"
#include "export/ExportRun.h"
#include "printing/DescriptionRange.h"
#include "shell/Startup.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

template <class F>
double best(int runs, F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        times.push_back(msSince(t0));
    }
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the page pictures
    int records = 20000, runs = 3;
    std::string dir = (std::filesystem::temp_directory_path() / "dendrix-bench-export").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--records") records = std::atoi(argv[i + 1]);
        else if (opt == "--dir") dir = argv[i + 1];
        else if (opt == "--runs") runs = std::atoi(argv[i + 1]);
    }
    dx::DemoOptions o;
    o.records = records;
    std::filesystem::remove_all(dir);
    dx::createDemoInstallation(dir, o);
    dx::AppState state;
    state.programDir = QString::fromStdString(dir);
    const dx::StartupOutcome loaded = dx::loadQuietly(state, nullptr);
    if (loaded.endRequested || loaded.stopped) {
        std::fprintf(stderr, "the demo installation could not be loaded\n");
        return 1;
    }
    // The range from the first compartment that holds at least 100 sub-compartments.
    QVector<dx::RangeEntry> range;
    int to = state.firstOtd;
    for (; to <= state.lastOtd; ++to) {
        if (auto r = dx::resolveRange(state, state.firstOtd, to, {})) range = *r;
        if (range.size() >= 100) break;
    }
    const QString out = QString::fromStdString(dir + "/out.txt");
    dx::ExportOptions text;
    const double rangeMs = best(runs, [&] {
        QFile::remove(out);
        dx::exportEntries(state, range, out, text);
    });
    const qint64 rangeBytes = QFileInfo(out).size();
    text.sheets = true;
    std::optional<QVector<dx::RangeEntry>> all = dx::resolveRange(state, state.firstOtd, state.lastOtd, {});
    const double wholeMs = best(runs, [&] {
        QFile::remove(out);
        dx::exportEntries(state, *all, out, text);
    });
    const qint64 wholeBytes = QFileInfo(out).size();

    dx::ExportOptions word;
    word.format = dx::ExportFormat::Word;
    const QString docx = QString::fromStdString(dir + "/out.docx");
    const QVector<dx::RangeEntry> ten = all->mid(0, 10);
    const double wordMs = best(1, [&] { dx::exportEntries(state, ten, docx, word); });

    std::printf("records %d (text: best of %d runs)\n", records, runs);
    std::printf("text, range %d-%d, %lld sub-compartments:   %8.1f ms  (%lld bytes)\n", state.firstOtd, to,
                static_cast<long long>(range.size()), rangeMs, static_cast<long long>(rangeBytes));
    std::printf("text, whole project with sheets, %lld sub-compartments: %8.1f ms  (%lld bytes)\n",
                static_cast<long long>(all->size()), wholeMs, static_cast<long long>(wholeBytes));
    std::printf("Word, 10 description pages:             %8.1f ms  (%.1f ms a page, %lld bytes)\n", wordMs, wordMs / 10,
                static_cast<long long>(QFileInfo(docx).size()));
    return 0;
}
