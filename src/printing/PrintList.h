// Printing from a list file: the list of sub-compartments read from a text file with a
// chosen separator, the stretch of its entries to print, and the two-sided run whose
// backs are the partners of the listed fronts in their compartment's order ((1, 2),
// (3, 4), ... in the project table).
#pragma once

#include "printing/PrintRun.h"

#include <functional>
#include <optional>

namespace dx {

// The separator help text of the list print window.
UserMessage separatorHelpMessage();

// The entries of a list file, in file order. Lines end with CR LF, LF or a CR alone. Each
// line is split at the first separator: the compartment before it, the sub-compartment
// after it without the blanks at its ends, up to a control character, at most 8
// characters (a surrogate pair never cut in two). Blank lines are passed over; a line that repeats an earlier
// entry is left out, so nothing prints twice. A line whose compartment is not a whole
// number (the separator is another one, say) ends the reading with a message naming
// the line; what was read before it is kept. The file is code page 1251, or UTF-8 when
// it reads as such.
struct PrintListFile {
    QVector<RangeEntry> entries;
    bool complete = true;  // false when the reading stopped at a bad line or the file could not be read
};
// Nothing when the separator is empty ("Не е въведен разделител!").
std::optional<PrintListFile> loadPrintList(const QString &path, const QString &separator,
                                           const std::function<void(const UserMessage &)> &report);
// The same, from the file's text.
PrintListFile parsePrintList(const QString &text, QChar separator, const QString &fileName,
                             const std::function<void(const UserMessage &)> &report);

// The stretch from..to of entry numbers (1-based), swapped when to is below from; nothing
// with "Въвели сте грешен диапазон от-до!" when either number lies outside 1..count.
struct Stretch {
    int from = 1, to = 0;
    int count() const { return to - from + 1; }
};
std::optional<Stretch> selectStretch(int count, int from, int to, const std::function<void(const UserMessage &)> &report);

// The sub-compartment printed behind (otd, podotd): its partner in the compartment's
// record order, none when it is the odd last one, or not found.
struct BackPage {
    enum class Kind { Partner, NoBack, NotFound };
    Kind kind = Kind::NotFound;
    QString podotd;
};
// Over the compartment's sub-compartments in table order.
BackPage backPageIn(const QStringList &compartment, const QString &podotd);
// Reads the compartment from the project table (filter "OTD=%d").
BackPage GetBackPagePodotdel(AppState &state, int otd, const QString &podotd);

// "Подотдел %d:%s няма гръб. Извадете листа от принтера и натиснете ОК за да продължите."
UserMessage noBackMessage(int otd, const QString &podotd);

// Two-sided list printing: the fronts (the entries in list order), then, when `confirmBack`
// accepts `count` more, the backs: each entry's partner, the no-back message through
// `noBack` for an entry without one, nothing for an entry not in the project table.
// Progress counts each pass from 0. The stop flag is tested before every entry.
PrintRunResult printListTwoSided(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                                 PageSink &sink, const PrintRunOptions &options,
                                 const std::function<bool(int count)> &confirmBack,
                                 const std::function<void(const UserMessage &)> &noBack);

} // namespace dx
