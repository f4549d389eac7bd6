// The printer of the printed descriptions and sheets: the printer the user chose in the
// print settings (or the system's default), its line for the settings window, its setup
// dialog, printing a report as one job, printing through the system's print dialog, and
// the print preview with zoom and page navigation. Print jobs go to a page sink, which
// tests replace by one that records the jobs.
#pragma once

#include "core/UserMessage.h"
#include "printing/DescriptionComposer.h"
#include "printing/Report.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace dx {

class WindowContext;

class ReportPrinter {
public:
    // The one printer of the program's reports.
    static ReportPrinter &instance();
    ~ReportPrinter();

    QPrinter &printer();
    // "name, Port:port" of the chosen printer (else the system's default printer), or
    // "Cannot determine printer name and port.." when there is none.
    QString printerLine();
    // The system's printer setup dialog for the chosen printer, offering `copies` copies
    // and leaving there the number chosen; false when cancelled.
    bool setup(QWidget *parent, int *copies = nullptr);

    // Whether jobs have somewhere to go: a printer is installed (or a test's sink is set).
    // Without one the print paths open the system's print dialog, which offers a PDF file.
    bool ready();
    // One job: every page of the report on the chosen printer, in the report's copies.
    // False when the printer could not be painted on or vanished before taking the job.
    bool print(const Report &report);
    // The system's print dialog, then the report on the printer chosen there.
    bool printWithDialog(const Report &report, QWidget *parent);
    // The modal preview of the report.
    void preview(const Report &report, QWidget *parent);
    // Whether the chosen printer (else the system's default) turns the sheets itself.
    bool supportsDuplex();

    // A sink for the jobs of a run (each report begun and ended as a job of its own).
    std::unique_ptr<PageSink> jobSink();

    // Tests: where jobs go instead of the printer, and what a preview does instead of
    // showing the modal window.
    using SinkFactory = std::function<std::unique_ptr<PageSink>()>;
    void setSinkFactory(SinkFactory factory) { sinkFactory_ = std::move(factory); }
    using PreviewHook = std::function<void(const Report &)>;
    void setPreviewHook(PreviewHook hook) { previewHook_ = std::move(hook); }
    void setDuplexProbe(std::function<bool()> probe) { duplexProbe_ = std::move(probe); }

private:
    ReportPrinter();
    std::unique_ptr<QPrinter> printer_;
    SinkFactory sinkFactory_;
    PreviewHook previewHook_;
    std::function<bool()> duplexProbe_;
};

// The print preview: one page at a time, at 100 % (the paper's real size on the screen)
// or fitted to the window, with the first, previous, next and last page, and "Печат",
// which prints the report through the system's print dialog.
class ReportPreview : public QDialog {
public:
    ReportPreview(const Report &report, QWidget *parent);

    enum class Zoom { Actual, Fit };
    void setZoom(Zoom zoom);
    Zoom zoom() const { return zoom_; }
    void showPage(int page);
    int page() const { return page_; }
    const QLabel *pageLabel() const { return pageLabel_; }
    const QLabel *picture() const { return picture_; }
    QPushButton *button(const QString &text) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();

    const Report &report_;
    Zoom zoom_ = Zoom::Fit;
    int page_ = 0;
    QScrollArea *scroll_ = nullptr;
    QLabel *picture_ = nullptr;
    QLabel *pageLabel_ = nullptr;
};

// The warning when the printer cannot be painted on.
UserMessage printerFailedMessage();

// Composes a description with the print windows' shared with-branches option and prints
// it on the reports' printer, with the thick rules of paper output when asked; the
// composer's warnings and a failing printer are shown as message boxes.
void printDescription(WindowContext &context, DescriptionComposer &composer, int otd, const QString &podotd,
                      bool thickRules);
// The sub-compartment the main window shows, printed with thick rules (the main window's
// "Директен печат на текущия подотдел").
void printCurrentDescription(WindowContext &context);

} // namespace dx
