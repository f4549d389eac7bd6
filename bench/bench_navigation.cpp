// Navigation benchmark: walks every sub-compartment of a demo project with "Следващ
// подотдел", once in the main window (offscreen: lists, header, composition grid) and
// once through the core alone (description and composition without widgets).
//
//   dendrix-bench-navigation [--records N] [--dir DIR] [--steps S] [--keep]
//
// --steps walks only the first S sub-compartments (the figure is per step); --keep uses
// the project already in DIR. The process's peak memory is printed after the window has
// loaded the project and at the end.
#include "app/AppWindows.h"
#include "demo/DemoData.h"
#include "description/CurrentComposition.h"
#include "description/DescriptionHeader.h"
#include "shell/Navigation.h"
#include "shell/Startup.h"
#include "shell/TFormDendrix.h"

#include <QApplication>
#include <QEventLoop>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/resource.h>

namespace {

double peakMiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

} // namespace

int main(int argc, char **argv)
{
    int records = 2000, steps = -1;
    bool keep = false;
    std::string dir = (std::filesystem::temp_directory_path() / "dendrix-bench-navigation").string();
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        if (opt == "--keep") keep = true;
        else if (i + 1 >= argc) break;
        else if (opt == "--records") records = std::atoi(argv[++i]);
        else if (opt == "--dir") dir = argv[++i];
        else if (opt == "--steps") steps = std::atoi(argv[++i]);
    }
    if (steps < 0 || steps > records) steps = records;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    dx::DemoOptions o;
    o.records = records;
    if (!keep || !std::filesystem::exists(dir + "/Dendrix.ini")) dx::createDemoInstallation(dir, o);

    // The main window, as the user moves with the toolbar button.
    auto windows = dx::createWindows();
    std::unique_ptr<dx::TFormDendrix> main(windows->dendrix);
    main->state().programDir = QString::fromStdString(dir);
    QEventLoop loop;
    QObject::connect(main.get(), &dx::TFormDendrix::loadingFinished, &loop, &QEventLoop::quit);
    main->resize(1280, 800);
    main->show();
    loop.exec();
    std::printf("main window: peak after load %.0f MiB\n", peakMiB());
    auto t0 = Clock::now();
    for (int i = 0; i < steps; ++i) {
        main->nextSubCompartment();
        QCoreApplication::processEvents(); // paint what changed
    }
    double window = msSince(t0);
    std::printf("main window: %d steps, %.2f ms per step (total %.0f ms), at %s\n", steps, window / steps,
                window, main->windowTitle().toStdString().c_str());

    // The core alone.
    dx::AppState state;
    state.programDir = QString::fromStdString(dir);
    dx::loadQuietly(state);
    t0 = Clock::now();
    size_t rows = 0;
    for (int i = 0; i < steps; ++i) {
        dx::nextSubCompartment(state);
        dx::ListSelection sel = dx::listSelection(state.lists);
        dx::ViewTax(state, sel.otd, sel.podotd);
        if (auto r = dx::ViewSS(state, sel.otd, sel.podotd)) rows += size_t(r->size());
    }
    double core = msSince(t0);
    std::printf("core: %d steps, %.3f ms per step (%zu composition rows)\n", steps, core / steps, rows);
    std::printf("peak at the end %.0f MiB\n", peakMiB());
    return 0;
}
