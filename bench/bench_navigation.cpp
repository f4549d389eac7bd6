// Navigation benchmark: walks every sub-compartment of a demo project with "Следващ
// подотдел", once in the main window (offscreen: lists, header, composition grid) and
// once through the core alone (description and composition without widgets).
//
//   dendrix-bench-navigation [--records N] [--dir DIR]
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

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

} // namespace

int main(int argc, char **argv)
{
    int records = 2000;
    std::string dir = (std::filesystem::temp_directory_path() / "dendrix-bench-navigation").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string opt = argv[i];
        if (opt == "--records") records = std::atoi(argv[i + 1]);
        else if (opt == "--dir") dir = argv[i + 1];
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    dx::DemoOptions o;
    o.records = records;
    dx::createDemoInstallation(dir, o);

    // The main window, as the user moves with the toolbar button.
    auto windows = dx::createWindows();
    std::unique_ptr<dx::TFormDendrix> main(windows->dendrix);
    main->state().programDir = QString::fromStdString(dir);
    QEventLoop loop;
    QObject::connect(main.get(), &dx::TFormDendrix::loadingFinished, &loop, &QEventLoop::quit);
    main->resize(1280, 800);
    main->show();
    loop.exec();
    auto t0 = Clock::now();
    for (int i = 0; i < records; ++i) {
        main->nextSubCompartment();
        QCoreApplication::processEvents(); // paint what changed
    }
    double window = msSince(t0);
    std::printf("main window: %d steps, %.2f ms per step (total %.0f ms), back at %s\n", records, window / records,
                window, main->windowTitle().toStdString().c_str());

    // The core alone.
    dx::AppState state;
    state.programDir = QString::fromStdString(dir);
    dx::loadQuietly(state);
    t0 = Clock::now();
    size_t rows = 0;
    for (int i = 0; i < records; ++i) {
        dx::nextSubCompartment(state);
        dx::ListSelection sel = dx::listSelection(state.lists);
        dx::ViewTax(state, sel.otd, sel.podotd);
        if (auto r = dx::ViewSS(state, sel.otd, sel.podotd)) rows += size_t(r->size());
    }
    double core = msSince(t0);
    std::printf("core: %d steps, %.3f ms per step (%zu composition rows)\n", records, core / records, rows);
    return 0;
}
