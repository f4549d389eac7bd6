// Program entry of the desktop program. It takes no arguments: everything is read from
// the working directory, which is the program directory.
#include "app/AppWindows.h"
#include "app/GuiApplication.h"
#include "shell/GuiTranslation.h"
#include "shell/TFormDendrix.h"

#include <QApplication>
#include <QLocale>
#include <QPointer>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    // Without a display Qt would abort with a terse message; say what to do instead.
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "dendrix: no display found (DISPLAY is not set).\n"
                     "Run it on a desktop, or without one under a virtual display:\n"
                     "  xvfb-run -a ./dendrix\n");
        return 1;
    }
    dx::GuiApplication app(argc, argv);
    // Numbers are shown in the user's own form (decimal comma in Bulgaria).
    QLocale::setDefault(QLocale::system());
    // The file, print and message dialogs speak Bulgarian like the rest of the program.
    dx::installQtBulgarian(app);
    auto windows = dx::createWindows();
    std::unique_ptr<dx::TFormDendrix> main(windows->dendrix);
    dx::GuiApplication::setMessageSink([w = QPointer<dx::TFormDendrix>(main.get())](const dx::UserMessage &m) {
        if (w) w->showMessage(m);
    });
    if (QScreen *screen = QGuiApplication::primaryScreen())
        main->resize(screen->availableSize().boundedTo(main->size().expandedTo(QSize(1280, 800))));
    main->showMaximized();
    return app.exec();
}
