// The print check's program: prints one description through Qt's printing on a named
// print queue, with the same composer, report and printer code as the program's print
// windows, so that a real queue (CUPS with cups-pdf) can be checked end to end.
//
//   print_description PROGRAM_DIR PRINTER OTD PODOTD [--branches] [--vanish]
//   print_description PROGRAM_DIR PRINTER --duplex FROM TO
//
// The second form prints the compartments FROM..TO as range printing does on a duplex
// printer (each pair of a compartment's descriptions one two-sided job) and says whether
// the queue reports duplex. With --vanish the queue is deleted (lpadmin -x) once the
// job's page is painted, as when a printer is removed in the middle of a job. Prints the
// printer line of the settings window; exit status 0 when the jobs were sent, 1 when the
// printer did not take them (or is not a queue of the print system).
#include "printing/DescriptionComposer.h"
#include "printing/TwoSidedRun.h"
#include "shell/Startup.h"
#include "widgets/GuiReportPrinter.h"

#include <QApplication>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: print_description PROGRAM_DIR PRINTER OTD PODOTD [--branches] [--vanish]\n"
                             "       print_description PROGRAM_DIR PRINTER --duplex FROM TO\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dx::AppState state;
    state.programDir = QString::fromLocal8Bit(argv[1]);
    QVector<dx::UserMessage> messages;
    const dx::StartupOutcome outcome = dx::loadQuietly(state, &messages);
    for (const dx::UserMessage &m : messages) std::fprintf(stderr, "%s\n", qPrintable(m.text));
    if (outcome.endRequested || outcome.stopped) return 1;

    dx::ReportPrinter &printer = dx::ReportPrinter::instance();
    const QString queue = QString::fromLocal8Bit(argv[2]);
    // Qt keeps the default printer for a name it does not know.
    if (QPrinterInfo::printerInfo(queue).isNull()) {
        std::fprintf(stderr, "no print queue %s\n", argv[2]);
        return 1;
    }
    printer.printer().setPrinterName(queue);
    std::printf("%s\n", qPrintable(printer.printerLine()));
    dx::DescriptionComposer composer(state);
    if (std::strcmp(argv[3], "--duplex") == 0) {
        if (argc < 6) return 2;
        std::printf("duplex: %s\n", printer.supportsDuplex() ? "yes" : "no");
        std::optional<QVector<dx::RangeEntry>> range = dx::resolveRange(
            state, std::atoi(argv[4]), std::atoi(argv[5]),
            [](const dx::UserMessage &m) { std::fprintf(stderr, "%s\n", qPrintable(m.text)); });
        if (!range) return 1;
        composer.setFooterLineWidth(1);
        std::unique_ptr<dx::PageSink> sink = printer.jobSink();
        const dx::PrintRunResult r = dx::printDuplex(state, composer, *range, *sink, {});
        std::printf("descriptions: %d\n", r.descriptions);
        return r.failed ? 1 : 0;
    }
    bool vanish = false;
    for (int i = 5; i < argc; ++i) {
        if (std::strcmp(argv[i], "--branches") == 0) composer.setWithBranches(true);
        if (std::strcmp(argv[i], "--vanish") == 0) vanish = true;
    }
    composer.setFooterLineWidth(4);
    if (!composer.compose(QString::fromLocal8Bit(argv[3]).toInt(), QString::fromLocal8Bit(argv[4]),
                          [](const dx::UserMessage &m) { std::fprintf(stderr, "%s\n", qPrintable(m.text)); }))
        return 1;
    if (vanish) {
        std::unique_ptr<dx::PageSink> sink = printer.jobSink();
        sink->beginJob(composer.report().title);
        const bool painted = sink->addReport(composer.report());
        const QByteArray remove = "lpadmin -x '" + queue.toLocal8Bit() + "'";
        if (std::system(remove.constData()) != 0) return 2;
        const bool sent = sink->endJob();
        std::printf("painted: %s, sent: %s\n", painted ? "yes" : "no", sent ? "yes" : "no");
        return painted && sent ? 0 : 1;
    }
    if (!printer.print(composer.report())) {
        std::fprintf(stderr, "%s\n", qPrintable(dx::printerFailedMessage().text));
        return 1;
    }
    return 0;
}
