// Printing the descriptions and sheets of a sieve's result.
#include "sieves/SievePrintChoice.h"

#include "core/AppState.h"
#include "printing/Report.h"
#include "printing/SheetComposer.h"

namespace dx {

UserMessage descriptionsPrintQuestion(int rows)
{
    const QString text = rows == 1
                             ? QStringLiteral("Действително ли желаете да отпечатите %1 брой таксационни описания?")
                             : QStringLiteral("Действително ли желаете да отпечатите %1 броя таксационни описания?");
    return {QStringLiteral("Печат на описания"), text.arg(rows), UserMessage::Icon::None, {}};
}

QVector<int> sheetCompartmentsOf(const QList<QPair<QString, QString>> &rows, bool *cut)
{
    QVector<int> out;
    int previous = 0;
    if (cut) *cut = false;
    for (const auto &row : rows) {
        const int otd = row.first.trimmed().toInt();
        if (otd == previous) continue;
        previous = otd;
        if (out.size() == kMaxSheetCompartments) {
            if (cut) *cut = true;
            break;
        }
        out << otd;
    }
    return out;
}

UserMessage sheetsPrintQuestion(int count)
{
    return {QStringLiteral("Печат описания"), printAllSheetsQuestion(count), UserMessage::Icon::None, {}};
}

SheetRunResult printSieveSheets(AppState &state, const QVector<int> &compartments, PageSink &sink,
                                const SheetRunOptions &options)
{
    SheetRunResult out;
    std::function<void(const UserMessage &)> report = options.report;
    if (!report) report = [](const UserMessage &) {};
    for (int otd : compartments) {
        if (options.stop && *options.stop) {
            out.stopped = true;
            break;
        }
        if (const std::optional<PrintedSheet> sheet = composeSheet(state, otd, options.selection, report)) {
            const Report r = sheetReport(*sheet, state.settings.sheet);
            if (!printAsJob(sink, r)) {
                out.failed = true;
                break;
            }
            ++out.printed;
        }
        ++out.done;
        if (options.progress) options.progress(out.done);
    }
    return out;
}

} // namespace dx
