// dendrix-cli pdf: descriptions and pre-compartment sheets written to one PDF file with
// the renderer the printer uses, one description per page, in the order and jobs a
// printer would receive them (one-sided, by hand on both sides, duplex, or from a list
// file); the jobs are listed on stderr.
#include "CliCommon.h"

#include "core/QtText.h"
#include "core/Quoting.h"
#include "core/SafeFileWrite.h"
#include "printing/DescriptionComposer.h"
#include "printing/DescriptionRange.h"
#include "printing/PrintList.h"
#include "printing/PrintRun.h"
#include "printing/TwoSidedRun.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>

namespace dx::cli {
namespace {

const char kUsage[] = "pdf OUT.pdf [--branches] [--sheets] OTD PODOTD | --from A --to B [--duplex|--manual] | --sheet OTD"
                      " | --list FILE --separator C [--from A --to B] [--two-sided]";

// The jobs of a run, forwarded to the PDF and listed: "job N<TAB>one-sided|two-sided<TAB>
// pages", each page named by the bracket of its title ("12:б" a description, "12" a sheet).
class JobListSink : public PageSink {
public:
    JobListSink(PageSink &to, std::ostream &err) : to_(to), err_(err) {}
    void beginJob(const QString &title) override
    {
        to_.beginJob(title);
        pages_.clear();
    }
    bool addReport(const Report &r) override
    {
        const qsizetype a = r.title.lastIndexOf(QLatin1Char('['));
        pages_ << (a < 0 ? r.title : r.title.mid(a + 1).chopped(1));
        return to_.addReport(r);
    }
    bool endJob() override
    {
        const bool sent = to_.endJob();
        err_ << "job " << ++jobs_ << '\t' << (twoSided_ ? "two-sided" : "one-sided") << '\t'
             << ss(pages_.join(QLatin1Char(' '))) << '\n';
        return sent;
    }
    void setTwoSided(bool on) override { twoSided_ = on; }

private:
    PageSink &to_;
    std::ostream &err_;
    QStringList pages_;
    int jobs_ = 0;
    bool twoSided_ = false;
};

// Fonts need an application object; without a display the offscreen platform serves.
std::unique_ptr<QGuiApplication> guiApplication()
{
    if (QGuiApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "dendrix-cli";
    static char *argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

struct PdfArgs {
    QString out;
    bool branches = false, sheets = false, duplex = false, manual = false, twoSided = false;
    std::optional<int> from, to, sheet;
    std::optional<QString> list, separator;
    std::optional<RangeEntry> one;
};

std::optional<int> number(const Context &ctx, const std::string &text)
{
    std::optional<int> n = wholeNumber(qs(text));
    if (!n) *ctx.err << "dendrix-cli: the compartment \"" << text << "\" is not a whole number\n";
    return n;
}

std::optional<PdfArgs> parse(const Context &ctx)
{
    PdfArgs a;
    std::vector<std::string> plain;
    const auto &args = ctx.args;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &s = args[i];
        auto value = [&](std::optional<int> &into) {
            if (i + 1 >= args.size()) return false;
            into = number(ctx, args[++i]);
            return into.has_value();
        };
        if (s == "--branches") a.branches = true;
        else if (s == "--sheets") a.sheets = true;
        else if (s == "--from") { if (!value(a.from)) return std::nullopt; }
        else if (s == "--to") { if (!value(a.to)) return std::nullopt; }
        else if (s == "--sheet") { if (!value(a.sheet)) return std::nullopt; }
        else if (s == "--duplex") a.duplex = true;
        else if (s == "--manual") a.manual = true;
        else if (s == "--two-sided") a.twoSided = true;
        else if (s == "--list" || s == "--separator") {
            if (i + 1 >= args.size()) return std::nullopt;
            (s == "--list" ? a.list : a.separator) = qs(args[++i]);
        }
        else if (s.size() > 2 && s.rfind("--", 0) == 0) return std::nullopt;
        else plain.push_back(s);
    }
    if (plain.empty()) return std::nullopt;
    a.out = qs(plain[0]);
    plain.erase(plain.begin());
    const bool range = a.from || a.to;
    if (range && (!a.from || !a.to)) return std::nullopt;
    if (a.list.has_value() != a.separator.has_value()) return std::nullopt;
    // With a list, --from and --to number its entries.
    const int modes = int(range && !a.list) + int(a.list.has_value()) + int(a.sheet.has_value()) + int(!plain.empty());
    if (modes != 1) return std::nullopt;
    if ((a.duplex || a.manual) && (!range || a.list || (a.duplex && a.manual))) return std::nullopt;
    if (a.twoSided && !a.list) return std::nullopt;
    if (!plain.empty()) {
        if (plain.size() != 2) return std::nullopt;
        std::optional<int> otd = number(ctx, plain[0]);
        if (!otd) return std::nullopt;
        a.one = RangeEntry{*otd, qs(plain[1])};
    }
    return a;
}

} // namespace

int runPdf(const Context &ctx)
{
    std::optional<PdfArgs> a = parse(ctx);
    if (!a) {
        *ctx.err << "usage: dendrix-cli [-C DIR] " << kUsage << '\n';
        return 2;
    }
    std::unique_ptr<QGuiApplication> app = guiApplication();
    AppState state;
    if (!loadInstallation(ctx, state)) return 1;
    auto report = [&](const UserMessage &m) { writeMessage(ctx, m); };
    try {
        PdfFileSink file(a->out);
        JobListSink sink(file, *ctx.err);
        if (a->sheet) {
            if (!printSheet(state, *a->sheet, sink, report)) return 1;
        } else {
            QVector<RangeEntry> entries;
            if (a->list) {
                std::optional<PrintListFile> list = loadPrintList(*a->list, *a->separator, report);
                if (!list || !list->complete) return 1;
                entries = list->entries;
                if (a->from) {
                    std::optional<Stretch> s = selectStretch(int(entries.size()), *a->from, *a->to, report);
                    if (!s) return 1;
                    entries = entries.mid(s->from - 1, s->count());
                }
            } else if (a->one) {
                entries = {*a->one};
            } else {
                std::optional<QVector<RangeEntry>> range = resolveRange(state, *a->from, *a->to, report);
                if (!range) return 1;
                entries = *range;
            }
            DescriptionComposer composer(state);
            composer.setWithBranches(a->branches);
            // The thick footer rules of paper turned by hand; duplex prints them thin.
            if (a->manual) composer.setFooterLineWidth(4);
            PrintRunOptions options;
            options.sheets = a->sheets;
            options.report = report;
            // The prompts a printer's user would answer are answered OK and listed.
            auto prompt = [&](const UserMessage &m) {
                *ctx.err << "prompt\t" << ss(m.caption) << '\t' << ss(m.text) << '\n';
                return true;
            };
            PrintRunResult r;
            if (a->list && a->twoSided)
                r = printListTwoSided(state, composer, entries, sink, options, [](int) { return true; }, prompt);
            else if (a->manual) r = printManualTwoSided(state, composer, entries, sink, options, prompt);
            else if (a->duplex) r = printDuplex(state, composer, entries, sink, options);
            else r = printDescriptions(state, composer, entries, sink, options);
            if (r.descriptions == 0) return 1;
            *ctx.out << r.descriptions << " descriptions, " << r.sheets << " sheets, ";
        }
        file.finish();
        *ctx.out << file.pagesPainted() << " pages: " << ss(a->out) << '\n';
    } catch (const FileWriteError &e) {
        writeMessage(ctx, fileWriteMessage(e));
        return 1;
    }
    return 0;
}

} // namespace dx::cli
