// Taxation descriptions and pre-compartment sheets as plain text: fixed-width columns
// under 103-character rules, code page 1251, CR LF line ends, for viewing and printing
// outside the program. Every text written to a file is followed by one line break and
// two empty lines, and is appended when the file already exists.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace dx {

class Table;

using TextReport = std::function<void(const UserMessage &)>;

// The blocks of the partial description, in the order of the export window's boxes:
// ст. клас, вид гори, функция, собственост, землище, положение, почва, тип месторатене,
// бъдещ състав, сегашен състав, вид сеч, залесяване, насоки, почвоподготовка,
// схема/строеж, повреди.
using DescriptionParts = std::array<bool, 16>;

// The whole description of a sub-compartment, CR LF line ends, without the trailer that
// separates texts in a file. Nothing when the pair names no single record. Damage lookups
// that fail go to `report`. The project table is left closed and unfiltered.
std::optional<QString> wholeDescriptionText(AppState &state, int otd, const QString &podotd, bool recordGrids,
                                            const TextReport &report);

// The partial description: the header line and rule, then only the ticked blocks. The
// stand form leaves the straightness to the soil preparation line, the totals' use share
// is the use's percentage of the stock, the cuttings carry no year (the afforestation
// starts with it instead) and the planting areas are computed from the preparation's
// area. A missing record gives its missing text.
QString partialDescriptionText(AppState &state, int otd, const QString &podotd, const DescriptionParts &parts,
                               const TextReport &report);

// The text "Копирай текущия подотдел" puts on the clipboard: the partial description
// with every block, the record grids, and the land area by its name (the number when it
// has none or the land-area names are not open).
QString currentSubCompartmentText(AppState &state, int otd, const QString &podotd, const TextReport &report);

// The same two texts of the record `table` stands on, for runs over many
// sub-compartments that locate each record once through an index of the table.
QString wholeDescriptionTextAt(AppState &state, const Table &table, bool recordGrids, const TextReport &report);
QString partialDescriptionTextAt(AppState &state, const Table &table, const DescriptionParts &parts,
                                 const TextReport &report);

// The pre-compartment sheet of a compartment; nothing when it has no records.
std::optional<QString> sheetText(AppState &state, int otd, const TextReport &report);

// "подотдел %d:%s липсва в базата данни!"
QString missingSubCompartmentText(int otd, const QString &podotd);

// Appends the text and its trailer to the file in code page 1251 (creating the file when
// there is none). False, with the message in `error`, when the file cannot be written;
// the file is then left as it was.
bool appendDescriptionText(const QString &path, const QString &text, QString *error);

// The write operations. With `reportMissing` a missing record or compartment is a
// warning to `report` and nothing is written; without it a missing description is
// replaced by its missing text (a missing sheet writes nothing). False when the file
// could not be written (the error goes to `report`).
bool writeWholeDescription(AppState &state, int otd, const QString &podotd, bool reportMissing, bool recordGrids,
                           const QString &path, const TextReport &report);
bool writePartialDescription(AppState &state, int otd, const QString &podotd, const DescriptionParts &parts,
                             const QString &path, const TextReport &report);
bool writeSheet(AppState &state, int otd, bool reportMissing, const QString &path, const TextReport &report);

} // namespace dx
