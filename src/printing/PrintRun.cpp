// The print loop over a list of sub-compartments.
#include "printing/PrintRun.h"

#include "printing/SheetComposer.h"

namespace dx {

bool printSheet(AppState &state, int otd, PageSink &sink, const std::function<void(const UserMessage &)> &report,
                bool *refused)
{
    if (refused) *refused = false;
    std::optional<PrintedSheet> sheet = composeSheet(state, otd, QString(), report);
    if (!sheet) return false;
    const Report r = sheetReport(*sheet, state.settings.sheet);
    const bool ok = printAsJob(sink, r);
    if (refused) *refused = !ok;
    return true;
}

PrintRunResult printDescriptions(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                                 PageSink &sink, const PrintRunOptions &options)
{
    PrintRunResult result;
    bool haveSheet = false;
    int lastSheet = 0;
    auto done = [&](const RangeEntry &entry) {
        const int n = result.descriptions + result.sheets;
        if (options.progress) options.progress(n);
        if (options.printed) options.printed(n, entry);
    };
    for (const RangeEntry &e : entries) {
        if (options.stop && *options.stop) {
            result.stopped = true;
            break;
        }
        if (options.sheets && (!haveSheet || e.otd != lastSheet)) {
            haveSheet = true;
            lastSheet = e.otd;
            bool refused = false;
            const bool composed = printSheet(state, e.otd, sink, options.report, &refused);
            if (refused) {
                result.failed = true;
                break;
            }
            if (composed) {
                ++result.sheets;
                done(RangeEntry{e.otd, QString()});
            }
        }
        if (composer.compose(e.otd, e.podotd, options.report)) {
            if (!printAsJob(sink, composer.report())) {
                result.failed = true;
                break;
            }
            ++result.descriptions;
            done(e);
        }
    }
    return result;
}

} // namespace dx
