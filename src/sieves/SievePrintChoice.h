// What a sieve's result hands to the printing and export of descriptions, and the
// printing runs over it: the question before the descriptions are printed, the
// compartments whose pre-compartment sheets are printed, and the sheet run, either with
// every sub-compartment of each compartment or with only those the selection matches.
#pragma once

#include "core/UserMessage.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

#include <functional>

namespace dx {

struct AppState;
class PageSink;

// The last run's selection clause and heading, and the compartment and sub-compartment
// of every result row in the result's order, as the grid shows them.
struct SieveHandOver {
    QString selection;
    QString heading;
    QList<QPair<QString, QString>> subCompartments;
};

// "Действително ли желаете да отпечатите N брой/броя таксационни описания?" with the
// caption "Печат на описания" ("брой" for exactly one).
UserMessage descriptionsPrintQuestion(int rows);

// The print progress window as a run drives it: shown for `total` items with the run's
// stop flag (cleared), told after each item, closed at the end. Empty hooks show nothing.
struct RunProgressHooks {
    std::function<void(int total, bool *stop)> start;
    std::function<void(int done, int total)> step;
    std::function<void()> finish;
};

// The sheet printing's limit on the compartments of one result.
inline constexpr int kMaxSheetCompartments = 20000;

// The compartment numbers in result order, one taken whenever a row's number differs
// from the row before (the first row is compared with 0), so a compartment whose rows
// are apart comes more than once. At most kMaxSheetCompartments; `cut` tells whether
// the result held more.
QVector<int> sheetCompartmentsOf(const QList<QPair<QString, QString>> &rows, bool *cut = nullptr);

// "Сигурни ли сте, че желаете да отпечатите N броя предотделни листа?" (Yes and No,
// caption "Печат описания").
UserMessage sheetsPrintQuestion(int count);

struct SheetRunOptions {
    // Empty: every sub-compartment of each compartment; else the selection whose
    // sub-compartments alone the sheet lists.
    QString selection;
    const bool *stop = nullptr;               // tested before each compartment
    std::function<void(int done)> progress;   // after each compartment, printed or not
    std::function<void(const UserMessage &)> report;
};

struct SheetRunResult {
    int done = 0;      // compartments gone through
    int printed = 0;   // sheets that composed and went to the sink
    bool stopped = false;
    bool failed = false; // the printer refused a page; the run ended there
};

// PrintAllPredotdel (no selection) and PrintSelPredotdel (a selection): the sheet of
// each compartment in order, while the stop flag is not set.
SheetRunResult printSieveSheets(AppState &state, const QVector<int> &compartments, PageSink &sink,
                                const SheetRunOptions &options);

} // namespace dx
