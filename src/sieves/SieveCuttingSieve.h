// The cuttings sieve ("Сито за сечите"): the sub-compartments chosen by the cutting types
// planned in their nine cutting positions (SECH1..SECH9). The lists of types found in the
// project, the conditions and the heading made from the chosen types, the search over
// the project table with its count and area, and the texts copied with the result. The
// window (TFormSitoSechi) and dendrix-cli's cuttings-sieve both run this class.
#pragma once

#include "core/UserMessage.h"
#include "sieves/SieveCutting.h"
#include "sieves/SieveRun.h"

#include <QString>

class QAbstractItemModel;

namespace dx {

struct AppState;

inline const QString kCuttingSieveCaption = QStringLiteral("Сито за сечите");

// The chosen types in position order, the first as it stands and every later one after
// " ," ("A ,B").
QString cuttingSieveTypes(const CuttingSlots &types);
// "Сито за сечите - TITLE YEAR", an empty line, "вид сеч: " and the chosen types.
QString cuttingSieveTitle(const CuttingSlots &types, const QString &title, const QString &year);
// What the clipboard holds before the rows (the title, an empty line and the fixed line
// of column names) and after them (the totals and the contact line).
QString cuttingSieveCopyHeading(const CuttingSlots &types, const QString &title, const QString &year);
QString cuttingSieveCopyFooter(const QString &status, const QString &contactLine);
// The whole clipboard text of "Копирай": the heading, a CR, the rows of `model` (the
// displayed values of `columns`, TAB between them, CR after each row), the footer.
QString cuttingSieveCopyText(const QAbstractItemModel &model, const QList<int> &columns, const CuttingSlots &types,
                             const QString &title, const QString &year, const QString &status,
                             const QString &contactLine);

// The grid's column titles and pixel widths (отдел 50, подотдел 60, площ (ха) 70).
const QStringList &cuttingSieveTitles();
int cuttingSieveColumnWidth(int column);
// The result as the grid shows it: the three titled columns, centred, centred and
// right-aligned.
void fillCuttingSieveModel(DataGridModel &model, const SieveResult &result);

class CuttingSieve {
public:
    // Showing the window: the nine lists reloaded from the project table, the chosen
    // types emptied, the result closed and its commands disabled. The search command is
    // left as it was.
    void show(AppState &state);

    const CuttingTypeLists &lists() const { return lists_; }
    const CuttingSlots &types() const { return types_; }
    // The user changed the text of position `slot` (1..9): the search command follows
    // whether any position holds text.
    void setType(int slot, const QString &text);

    enum class Outcome {
        NothingChosen, // no type chosen: nothing changed
        Rows,
        NoRows,
        Failed         // the engine refused the statement: its message; the result closed
    };
    // "Търсене" over the current project table.
    Outcome search(AppState &state);
    // "Изчисти критериите": the types emptied, the result closed, its commands disabled,
    // the status emptied. The search command stays as it was.
    void clear();

    bool searchEnabled() const { return searchEnabled_; }
    bool resultCommandsEnabled() const { return resultOpen_ && !result_.rows.isEmpty(); }
    bool resultOpen() const { return resultOpen_; }
    const SieveResult &result() const { return result_; }
    const QString &statement() const { return statement_; }
    const QString &heading() const { return heading_; }  // the print's page header
    const QString &status() const { return status_; }    // the status bar's text
    const UserMessage &failure() const { return failure_; }

private:
    void closeResult();

    CuttingTypeLists lists_;
    CuttingSlots types_;
    bool searchEnabled_ = true;
    bool resultOpen_ = false;
    SieveResult result_;
    QString statement_;
    QString heading_;
    QString status_;
    UserMessage failure_;
};

} // namespace dx
