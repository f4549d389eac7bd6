// dendrix-cli export: the export window's runs without the window. One sub-compartment
// or one compartment's sheet, a range of compartments (each compartment's sheet first,
// or the sheets only) or the entries of a list file, as text appended to OUT (code page
// 1251) or, when OUT ends in ".docx", as a Word document of page pictures. The question a
// window would ask is answered Yes and shown on stderr.
#include "CliCommon.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"
#include "export/ExportRun.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

namespace dx::cli {
namespace {

const char kUsage[] = "export OUT.txt|OUT.docx --current OTD PODOTD | --sheet OTD"
                      " | --from A --to B [--sheets|--sheets-only] | --list FILE [--separator C]"
                      " [--partial p1,p2,...|FLAGS16]";

struct ExportArgs {
    QString out;
    std::optional<int> from, to, sheet;
    std::optional<RangeEntry> current;
    std::optional<QString> list;
    QString separator = QStringLiteral(" ");
    bool sheets = false, sheetsOnly = false;
    std::optional<DescriptionParts> parts;
};

// "p1,p10,p16" or sixteen 0/1 digits in the settings tab's order.
std::optional<DescriptionParts> partsOf(const QString &text)
{
    DescriptionParts parts{};
    if (text.size() == 16 && !text.contains(QLatin1Char(','))) {
        for (int i = 0; i < 16; ++i) {
            if (text[i] != QLatin1Char('0') && text[i] != QLatin1Char('1')) return std::nullopt;
            parts[size_t(i)] = text[i] == QLatin1Char('1');
        }
        return parts;
    }
    for (const QString &p : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<int> n = p.startsWith(QLatin1Char('p')) ? wholeNumber(p.mid(1)) : std::nullopt;
        if (!n || *n < 1 || *n > 16) return std::nullopt;
        parts[size_t(*n - 1)] = true;
    }
    return parts;
}

std::optional<ExportArgs> parse(const Context &ctx)
{
    ExportArgs a;
    const auto &args = ctx.args;
    std::vector<std::string> plain;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &s = args[i];
        auto next = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) return std::nullopt;
            return qs(args[++i]);
        };
        auto number = [&](std::optional<int> &into) {
            const std::optional<QString> v = next();
            into = v ? wholeNumber(*v) : std::nullopt;
            return into.has_value();
        };
        if (s == "--from") { if (!number(a.from)) return std::nullopt; }
        else if (s == "--to") { if (!number(a.to)) return std::nullopt; }
        else if (s == "--sheet") { if (!number(a.sheet)) return std::nullopt; }
        else if (s == "--sheets") a.sheets = true;
        else if (s == "--sheets-only") a.sheetsOnly = true;
        else if (s == "--current") {
            std::optional<int> otd;
            if (!number(otd)) return std::nullopt;
            const std::optional<QString> pod = next();
            if (!pod) return std::nullopt;
            a.current = RangeEntry{*otd, *pod};
        } else if (s == "--list") {
            a.list = next();
            if (!a.list) return std::nullopt;
        } else if (s == "--separator") {
            const std::optional<QString> v = next();
            if (!v || v->size() != 1) return std::nullopt;
            a.separator = *v;
        } else if (s == "--partial" || s == "--parts") {
            const std::optional<QString> v = next();
            if (!v) return std::nullopt;
            a.parts = partsOf(*v);
            if (!a.parts) return std::nullopt;
        } else if (s.size() > 2 && s.rfind("--", 0) == 0) return std::nullopt;
        else plain.push_back(s);
    }
    if (plain.size() != 1) return std::nullopt;
    a.out = qs(plain[0]);
    const bool range = a.from || a.to;
    if (range && (!a.from || !a.to)) return std::nullopt;
    if (int(range) + int(a.list.has_value()) + int(a.current.has_value()) + int(a.sheet.has_value()) != 1)
        return std::nullopt;
    if ((a.sheets || a.sheetsOnly) && !range) return std::nullopt;
    if (a.sheets && a.sheetsOnly) return std::nullopt;
    if (a.parts && (a.current || a.sheet)) return std::nullopt;
    return a;
}

std::unique_ptr<QGuiApplication> guiApplication()
{
    if (QGuiApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "dendrix-cli";
    static char *argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

// One description or one sheet as the single export appends it to a file (the text and
// its trailer, CR LF kept), printed in UTF-8. A missing record or compartment is the
// export's warning on stderr, and exit status 1.
int printAppended(const Context &ctx, const std::function<bool(AppState &, const QString &, ExportOptions &)> &run)
{
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        *ctx.err << "dendrix-cli: no temporary folder: " << ss(dir.errorString()) << '\n';
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("text.txt"));
    ExportOptions o;
    o.format = ExportFormat::Text;
    o.withBranches = state.settings.rangePrint.branches;
    o.report = [&](const UserMessage &m) { writeMessage(ctx, m); };
    if (!run(state, path, o) || !io::exists(ss(path))) return 1;
    *ctx.out << cp::cp1251ToUtf8(io::readFile(ss(path)));
    return 0;
}

} // namespace

// The export, its format given by the command (export-text, export-docx) or by OUT's
// extension (export).
int runExportAs(const Context &ctx, std::optional<ExportFormat> format, const char *usage)
{
    std::optional<ExportArgs> a = parse(ctx);
    if (!a) {
        *ctx.err << "usage: dendrix-cli [-C DIR] " << usage << '\n';
        return 2;
    }
    ExportOptions o;
    o.format = format ? *format
                      : a->out.endsWith(QStringLiteral(".docx"), Qt::CaseInsensitive) ? ExportFormat::Word
                                                                                         : ExportFormat::Text;
    if (a->list && o.format == ExportFormat::Word) {
        *ctx.err << "dendrix-cli: a list file is exported as text only\n";
        return 2;
    }
    // Pictures need fonts, and fonts an application object.
    std::unique_ptr<QGuiApplication> app = o.format == ExportFormat::Word ? guiApplication() : nullptr;
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    bool failed = false;
    o.report = [&](const UserMessage &m) {
        if (m.icon == UserMessage::Icon::Error || m.icon == UserMessage::Icon::Warning) failed = true;
        writeMessage(ctx, m);
    };
    o.withBranches = state.settings.rangePrint.branches;
    if (a->parts) {
        o.partial = true;
        o.parts = *a->parts;
    }
    if (a->current) return exportOne(state, a->current->otd, a->current->podotd, a->out, o) ? 0 : 1;
    if (a->sheet) return exportOneSheet(state, *a->sheet, a->out, o) ? 0 : 1;

    QVector<RangeEntry> entries;
    if (a->list) {
        std::optional<PrintListFile> list =
            a->separator == QStringLiteral(" ") ? loadExportList(*a->list, o.report) : loadPrintList(*a->list, a->separator, o.report);
        if (!list || !list->complete) return 1;
        entries = list->entries;
        if (entries.isEmpty()) {
            *ctx.err << "dendrix-cli: the list file names no sub-compartment\n";
            return 1;
        }
    } else {
        std::optional<QVector<RangeEntry>> range = resolveRange(state, *a->from, *a->to, o.report);
        if (!range) return 1;
        entries = *range;
        o.sheets = a->sheets;
        o.sheetsOnly = a->sheetsOnly;
    }
    const UserMessage question = exportQuestion(entries, o);
    *ctx.err << "question\t" << ss(question.caption) << '\t' << ss(question.text) << '\n';
    failed = false;
    const ExportResult r = exportEntries(state, entries, a->out, o);
    if (r.failed) return 1;
    *ctx.out << r.descriptions << " descriptions, " << r.sheets << " sheets: " << ss(a->out) << '\n';
    return 0;
}

int runExport(const Context &ctx)
{
    return runExportAs(ctx, std::nullopt, kUsage);
}

int runExportText(const Context &ctx)
{
    return runExportAs(ctx, ExportFormat::Text,
                       "export-text OUT --from A --to B [--sheets|--sheets-only] [--parts p1,...] | --list FILE"
                       " [--separator C] | --current OTD PODOTD | --sheet OTD");
}

int runExportDocx(const Context &ctx)
{
    return runExportAs(ctx, ExportFormat::Word,
                       "export-docx OUT --from A --to B [--sheets|--sheets-only] | --current OTD PODOTD | --sheet OTD");
}

int runDescribe(const Context &ctx)
{
    const std::optional<int> otd = ctx.args.size() == 2 ? wholeNumber(qs(ctx.args[0])) : std::nullopt;
    if (!otd) {
        *ctx.err << "usage: dendrix-cli [-C DIR] describe OTD PODOTD\n";
        return 2;
    }
    const QString podotd = qs(ctx.args[1]);
    return printAppended(ctx, [&](AppState &state, const QString &path, ExportOptions &o) {
        return exportOne(state, *otd, podotd, path, o);
    });
}

int runSheet(const Context &ctx)
{
    const std::optional<int> otd = ctx.args.size() == 1 ? wholeNumber(qs(ctx.args[0])) : std::nullopt;
    if (!otd) {
        *ctx.err << "usage: dendrix-cli [-C DIR] sheet OTD\n";
        return 2;
    }
    return printAppended(ctx, [&](AppState &state, const QString &path, ExportOptions &o) {
        return exportOneSheet(state, *otd, path, o);
    });
}

} // namespace dx::cli
