// The export runs of descriptions and pre-compartment sheets, shared by the export window
// and dendrix-cli: one sub-compartment or one sheet, a resolved range (each compartment's
// sheet first when asked, or the sheets only), or the entries of a list file, as text
// appended to a file or as a Word document of page pictures. A run that fails half-way
// leaves the output file as it was before the run.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"
#include "export/DescriptionText.h"
#include "printing/DescriptionRange.h"
#include "printing/PrintList.h"

#include <QByteArray>
#include <QSize>

#include <functional>
#include <optional>

namespace dx {

class Report;
class WordDocument;

enum class ExportFormat { Text, Word };

struct ExportOptions {
    ExportFormat format = ExportFormat::Text;
    bool partial = false;      // the ticked parts only (text)
    DescriptionParts parts{};  // fixed when the run starts
    bool sheets = false;       // each compartment's sheet before its first description
    bool sheetsOnly = false;   // the sheets of the list's compartments and nothing else
    bool withBranches = false; // the printed description's "с клони" columns (Word)
    const bool *stop = nullptr;              // tested before every entry
    std::function<void(int done)> progress;  // after every piece written
    std::function<void(const UserMessage &)> report;
};

struct ExportResult {
    int descriptions = 0;
    int sheets = 0;
    bool stopped = false; // the stop flag ended the run
    bool failed = false;  // the file could not be written; it is as it was before the run
};

// How many pieces a run over `entries` asks for: the sheets of the list's compartments
// with `sheetsOnly`, else the entries plus, with `sheets`, the compartments.
int exportTotal(const QVector<RangeEntry> &entries, const ExportOptions &options);
// The question before a run and its caption.
UserMessage exportQuestion(const QVector<RangeEntry> &entries, const ExportOptions &options);
// The progress window's label and title after `done` of `total` pieces. `start` gives
// the first label of a run of sheets only ("... предотделни листа").
QString exportProgressLabel(const ExportOptions &options, int done, int total, bool start = false);
QString exportProgressTitle(int done, int total);

// A run over a resolved range or a list (`ExportToText`, `ExportToTextFromList`,
// `ExportToWord`): every piece in order into `path`. Text is appended to the file; a Word
// document replaces it, and only when the run ends without a stop.
ExportResult exportEntries(AppState &state, const QVector<RangeEntry> &entries, const QString &path,
                           const ExportOptions &options);

// The single exports. Text: the whole description with its record grids (a missing
// record is a warning and nothing is written), or the compartment's sheet. Word: the
// description report or the sheet report, every page, pictures 596.1 x 800 points.
// False when nothing was written or the file could not be written.
bool exportOne(AppState &state, int otd, const QString &podotd, const QString &path, const ExportOptions &options);
bool exportOneSheet(AppState &state, int otd, const QString &path, const ExportOptions &options);

// A page of a report as the PNG the Word export places, at print resolution.
QByteArray pagePng(const Report &report, int page, QSize *pixels = nullptr);

// The entries of an export list file: "OTD PODOTD" a line, split at the first blank.
std::optional<PrintListFile> loadExportList(const QString &path, const std::function<void(const UserMessage &)> &report);

// The pictures' sizes in the document, in points.
inline constexpr double kSingleWidthPt = 596.1;
inline constexpr double kSingleHeightPt = 800;
inline constexpr double kRangeHeightPt = 750;

} // namespace dx
