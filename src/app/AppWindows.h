// Every window of the program, created once before the event loop runs, in a fixed
// order with the main window first: the loading sequence hands settings to several
// later windows, so all of them must exist by the main window's first show. The
// application owns the shared state, the message boxes and the registry the windows
// find each other in, and hands each window the context over them.
#pragma once

#include "core/AppState.h"
#include "widgets/WindowContext.h"

#include <QVector>

#include <memory>

class QWidget;

namespace dx {

class TFormDendrix;
class TFormLoading;
class TFormSitoRabotnoWait;
class TFormSelPrj;
class TFormAbout;

struct AppWindows {
    AppState state;
    MessageSink messages;
    WindowRegistry registry;
    WindowContext context{state, messages, registry};

    // The windows in creation order, each with its class name, for listing them.
    struct Entry {
        const char *className;
        QWidget *window;
    };
    QVector<Entry> all;

    TFormDendrix *dendrix = nullptr;
    TFormLoading *loading = nullptr;
    TFormSitoRabotnoWait *wait = nullptr;
    TFormSelPrj *selPrj = nullptr;
    TFormAbout *about = nullptr;

    // A window of the list by its class name (for tests and tools; windows find each
    // other by type in the registry).
    QWidget *find(const char *className) const;
};

// Creates the main window and then the other 38 windows above it. The main window owns
// them all (they go with it); the returned object holds the state they share and must
// outlive them.
std::unique_ptr<AppWindows> createWindows();

} // namespace dx
