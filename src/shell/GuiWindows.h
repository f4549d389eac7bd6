// Every window of the program, created once before the event loop runs, in a fixed
// order with the main window first: the loading sequence hands settings to several
// later windows, so all of them must exist by the main window's first show.
#pragma once

#include <QString>
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
    struct Entry {
        const char *className;
        QWidget *window;
    };
    QVector<Entry> all; // in creation order

    TFormDendrix *dendrix = nullptr;
    TFormLoading *loading = nullptr;
    TFormSitoRabotnoWait *wait = nullptr;
    TFormSelPrj *selPrj = nullptr;
    TFormAbout *about = nullptr;

    QWidget *find(const char *className) const;
};

// Creates the main window and then the other 38 windows above it. The main window owns
// them all (they go with it); the returned object only lists them.
std::unique_ptr<AppWindows> createWindows();

} // namespace dx
