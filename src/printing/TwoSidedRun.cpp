// Manual two-sided and duplex printing of a compartment range.
#include "printing/TwoSidedRun.h"

#include <QSet>

namespace dx {

QVector<int> listCompartments(const QVector<RangeEntry> &entries)
{
    QVector<int> out;
    QSet<int> seen;
    for (const RangeEntry &e : entries)
        if (!seen.contains(e.otd)) {
            seen.insert(e.otd);
            out.push_back(e.otd);
        }
    return out;
}

int compartmentRuns(const QVector<RangeEntry> &entries)
{
    int runs = 0;
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (i == 0 || entries[i].otd != entries[i - 1].otd) ++runs;
    return runs;
}

QString printDescriptionsQuestion(int count)
{
    return QStringLiteral("Сигурни ли сте, че желаете да отпечатите %1 броя таксационни описания?").arg(count);
}

UserMessage backPassPrompt(int otd, int rows)
{
    return {QStringLiteral("Печат описания - двустранно, гръб [отдел %1]").arg(otd),
            QStringLiteral("Поставете %1 листа в принтера и натиснете бутона Ok.").arg(rows / 2),
            UserMessage::Icon::Information,
            {}};
}

UserMessage facePassPrompt(int otd, int rows)
{
    return {QStringLiteral("Печат описания - двустранно, лице [отдел %1]").arg(otd),
            QStringLiteral("Обърнете последните %1 отпечатени листа, поставете ги в принтера и натиснете бутона Ok.")
                .arg((rows + 1) / 2),
            UserMessage::Icon::Information,
            {}};
}

namespace {

// The bookkeeping shared by the two-sided loops: counts, progress, the stop flag.
struct Run {
    const PrintRunOptions &options;
    PrintRunResult result;

    bool stopNow()
    {
        if (options.stop && *options.stop) result.stopped = true;
        return result.stopped;
    }
    void counted(const RangeEntry &entry)
    {
        const int n = result.descriptions + result.sheets;
        if (options.progress) options.progress(n);
        if (options.printed) options.printed(n, entry);
    }
    // The rows of one compartment, as a range of that compartment alone resolves them.
    QVector<RangeEntry> rowsOf(AppState &state, int otd) const
    {
        return resolveRange(state, otd, otd, options.report).value_or(QVector<RangeEntry>());
    }
    // False when the printer refused the sheet (the run ends).
    bool sheet(AppState &state, int otd, PageSink &sink)
    {
        if (!options.sheets) return true;
        bool refused = false;
        if (printSheet(state, otd, sink, options.report, &refused) && !refused) {
            ++result.sheets;
            counted(RangeEntry{otd, QString()});
        }
        result.failed = refused;
        return !refused;
    }
};

} // namespace

PrintRunResult printManualTwoSided(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                                   PageSink &sink, const PrintRunOptions &options, const PromptAnswer &prompt)
{
    Run run{options, {}};
    PrintRunResult &r = run.result;
    for (int otd : listCompartments(entries)) {
        if (run.stopNow()) break;
        const QVector<RangeEntry> rows = run.rowsOf(state, otd);
        // Backs first (the even rows), then the faces (the odd rows) on the turned sheets.
        for (int parity : {1, 0}) {
            const UserMessage ask = parity == 1 ? backPassPrompt(otd, int(rows.size())) : facePassPrompt(otd, int(rows.size()));
            if (prompt && !prompt(ask)) {
                r.cancelled = true;
                return r;
            }
            if (parity == 1 && !run.sheet(state, otd, sink)) return r;
            for (qsizetype i = parity; i < rows.size(); i += 2) {
                if (run.stopNow()) return r;
                if (!composer.compose(rows[i].otd, rows[i].podotd, options.report)) continue;
                if (!printAsJob(sink, composer.report())) {
                    r.failed = true;
                    return r;
                }
                ++r.descriptions;
                run.counted(rows[i]);
            }
        }
    }
    return r;
}

PrintRunResult printDuplex(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                           PageSink &sink, const PrintRunOptions &options)
{
    Run run{options, {}};
    PrintRunResult &r = run.result;
    struct TwoSided {
        PageSink &sink;
        ~TwoSided() { sink.setTwoSided(false); }
    } twoSided{sink};
    // The sheet prints as a job of its own, one-sided like any report; the pairs two-sided.
    for (int otd : listCompartments(entries)) {
        if (run.stopNow()) break;
        const QVector<RangeEntry> rows = run.rowsOf(state, otd);
        sink.setTwoSided(false);
        if (!run.sheet(state, otd, sink)) return r;
        sink.setTwoSided(true);
        QList<Report> pending;
        QVector<RangeEntry> pendingRows;
        auto flush = [&] {
            if (pending.isEmpty()) return true;
            sink.beginJob(pending.first().title);
            bool ok = true;
            for (const Report &page : pending) ok = ok && sink.addReport(page);
            const bool sent = sink.endJob();
            if (!ok || !sent) {
                r.failed = true;
                return false;
            }
            for (const RangeEntry &e : pendingRows) {
                ++r.descriptions;
                run.counted(e);
            }
            pending.clear();
            pendingRows.clear();
            return true;
        };
        for (const RangeEntry &row : rows) {
            // A description composed but not yet printed is dropped when the run stops.
            if (run.stopNow()) return r;
            if (!composer.compose(row.otd, row.podotd, options.report)) continue;
            pending.push_back(composer.report());
            pendingRows.push_back(row);
            if (pending.size() == 2 && !flush()) return r;
        }
        if (!flush()) return r;
    }
    return r;
}

} // namespace dx
