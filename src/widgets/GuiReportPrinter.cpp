// The reports' printer, its dialogs and the print preview.
#include "widgets/GuiReportPrinter.h"

#include "widgets/PrinterPort.h"
#include "widgets/WindowContext.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace dx {
namespace {

// Whether the printer's jobs still have somewhere to go: a file, or a queue the print
// system knows.
bool printerPresent(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat) return true;
    return !QPrinterInfo::printerInfo(printer.printerName()).isNull();
}

// A sink that paints each job on the printer as a document of its own, in as many copies
// as the job's first report asks for. A queue that has vanished takes no job; one that
// vanishes while a job is painted has lost it, and the job is reported as not printed.
class PrinterJobSink : public PageSink {
public:
    explicit PrinterJobSink(QPrinter &printer) : printer_(printer) {}
    void beginJob(const QString &title) override
    {
        printer_.setDocName(title);
        printer_.setFullPage(true);
        sink_ = std::make_unique<PaintDeviceSink>(printer_);
        sink_->beginJob(title);
        gone_ = !printerPresent(printer_);
        copiesSet_ = false;
    }
    bool addReport(const Report &report) override
    {
        if (!sink_) beginJob(report.title);
        if (gone_) return false;
        if (!copiesSet_) {
            // Before the job's first page: the copies go with the job to the printer.
            printer_.setCopyCount(report.copies());
            printer_.setCollateCopies(true);
            copiesSet_ = true;
        }
        return sink_->addReport(report);
    }
    bool endJob() override
    {
        const bool ended = !sink_ || sink_->endJob();
        const bool painted = sink_ && sink_->pagesPainted() > 0;
        sink_.reset();
        return ended && !gone_ && (!painted || printerPresent(printer_));
    }
    void setTwoSided(bool on) override { printer_.setDuplex(on ? QPrinter::DuplexLongSide : QPrinter::DuplexNone); }

private:
    QPrinter &printer_;
    std::unique_ptr<PaintDeviceSink> sink_;
    bool gone_ = false;
    bool copiesSet_ = false;
};

} // namespace

UserMessage printerFailedMessage()
{
    return {QStringLiteral("Печат описания"),
            QStringLiteral("Принтерът не може да печата. Изберете принтер от \"Настройки принтер\"."),
            UserMessage::Icon::Warning,
            {}};
}

void printDescription(WindowContext &c, DescriptionComposer &composer, int otd, const QString &podotd, bool thickRules)
{
    composer.setWithBranches(c.state().settings.rangePrint.branches);
    if (thickRules) composer.setFooterLineWidth(4);
    ReportPrinter &printer = ReportPrinter::instance();
    if (composer.compose(otd, podotd, [&](const UserMessage &m) { c.showMessage(m); })) {
        if (!printer.ready()) printer.printWithDialog(composer.report(), QApplication::activeWindow());
        else if (!printer.print(composer.report())) c.showMessage(printerFailedMessage());
    }
    if (thickRules) composer.setFooterLineWidth(1);
}

void printCurrentDescription(WindowContext &context)
{
    AppState &s = context.state();
    if (!s.hasCurrent) return;
    DescriptionComposer composer(s);
    printDescription(context, composer, s.currentOtd, s.currentPodotd, true);
}

ReportPrinter &ReportPrinter::instance()
{
    static ReportPrinter printer;
    return printer;
}

ReportPrinter::ReportPrinter() = default;
ReportPrinter::~ReportPrinter() = default;

QPrinter &ReportPrinter::printer()
{
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool ReportPrinter::ready()
{
    if (sinkFactory_) return true;
    return !QPrinterInfo::printerInfo(printer().printerName()).isNull() || !QPrinterInfo::defaultPrinter().isNull();
}

bool ReportPrinter::supportsDuplex()
{
    if (duplexProbe_) return duplexProbe_();
    QPrinterInfo info = QPrinterInfo::printerInfo(printer().printerName());
    if (info.isNull()) info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return false;
    const QList<QPrinter::DuplexMode> modes = info.supportedDuplexModes();
    return modes.contains(QPrinter::DuplexLongSide) || modes.contains(QPrinter::DuplexShortSide) ||
           modes.contains(QPrinter::DuplexAuto);
}

QString ReportPrinter::printerLine()
{
    QPrinterInfo info = QPrinterInfo::printerInfo(printer().printerName());
    if (info.isNull()) info = QPrinterInfo::defaultPrinter();
    if (info.isNull() || info.printerName().isEmpty()) return QStringLiteral("Cannot determine printer name and port..");
    return info.printerName() + QStringLiteral(", Port:") + printerPort(info.printerName());
}

bool ReportPrinter::setup(QWidget *parent, int *copies)
{
    if (copies) printer().setCopyCount(std::max(1, *copies));
    QPrintDialog dialog(&printer(), parent);
    dialog.setWindowTitle(QStringLiteral("Настройки на принтера"));
    if (dialog.exec() != QDialog::Accepted) return false;
    if (copies) *copies = printer().copyCount();
    return true;
}

std::unique_ptr<PageSink> ReportPrinter::jobSink()
{
    if (sinkFactory_) return sinkFactory_();
    return std::make_unique<PrinterJobSink>(printer());
}

bool ReportPrinter::print(const Report &report)
{
    std::unique_ptr<PageSink> sink = jobSink();
    return printAsJob(*sink, report);
}

bool ReportPrinter::printWithDialog(const Report &report, QWidget *parent)
{
    if (sinkFactory_) return print(report);
    // The dialog offers the stored copies; what the user sets there holds for this job.
    printer().setCopyCount(report.copies());
    QPrintDialog dialog(&printer(), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    Report chosen = report;
    chosen.setCopies(printer().copyCount());
    return print(chosen);
}

void ReportPrinter::preview(const Report &report, QWidget *parent)
{
    if (previewHook_) {
        previewHook_(report);
        return;
    }
    ReportPreview preview(report, parent);
    preview.exec();
}

ReportPreview::ReportPreview(const Report &report, QWidget *parent) : QDialog(parent), report_(report)
{
    setWindowTitle(report.title.isEmpty() ? QStringLiteral("Изглед") : report.title);
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    auto add = [&](const QString &text, const QString &tip, auto slot) {
        auto *b = new QPushButton(text);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    add(QStringLiteral("100 %"), QStringLiteral("Действителен размер"), [this] { setZoom(Zoom::Actual); });
    add(QStringLiteral("Цяла страница"), QStringLiteral("Страницата в прозореца"), [this] { setZoom(Zoom::Fit); });
    add(QStringLiteral("|<"), QStringLiteral("Първа страница"), [this] { showPage(0); });
    add(QStringLiteral("<"), QStringLiteral("Предишна страница"), [this] { showPage(page_ - 1); });
    pageLabel_ = new QLabel;
    bar->addWidget(pageLabel_);
    add(QStringLiteral(">"), QStringLiteral("Следваща страница"), [this] { showPage(page_ + 1); });
    add(QStringLiteral(">|"), QStringLiteral("Последна страница"), [this] { showPage(report_.pageCount() - 1); });
    bar->addStretch();
    add(QStringLiteral("Печат"), QStringLiteral("Печат на принтер"),
        [this] { ReportPrinter::instance().printWithDialog(report_, this); });
    add(QStringLiteral("Затвори"), QString(), [this] { accept(); });
    layout->addLayout(bar);
    scroll_ = new QScrollArea;
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    picture_ = new QLabel;
    scroll_->setWidget(picture_);
    layout->addWidget(scroll_, 1);
    const QRect screen = parent && parent->screen() ? parent->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(900, screen.width() * 9 / 10), screen.height() * 9 / 10);
    showPage(0);
}

QPushButton *ReportPreview::button(const QString &text) const
{
    for (QPushButton *b : findChildren<QPushButton *>())
        if (b->text() == text) return b;
    return nullptr;
}

void ReportPreview::setZoom(Zoom zoom)
{
    zoom_ = zoom;
    render();
}

void ReportPreview::showPage(int page)
{
    page_ = std::clamp(page, 0, std::max(0, report_.pageCount() - 1));
    pageLabel_->setText(QStringLiteral("Страница %1 от %2").arg(report_.pageCount() ? page_ + 1 : 0).arg(report_.pageCount()));
    render();
}

void ReportPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (zoom_ == Zoom::Fit) render();
}

void ReportPreview::render()
{
    double dpi = logicalDpiX();
    if (zoom_ == Zoom::Fit) {
        const QSize room = scroll_->viewport()->size() - QSize(8, 8);
        dpi = std::min(room.width() / (kA4WidthMm / 25.4), room.height() / (kA4HeightMm / 25.4));
    }
    dpi = std::max(dpi, 10.0);
    const QImage image = renderPage(report_, page_, dpi);
    picture_->setPixmap(QPixmap::fromImage(image));
    picture_->resize(image.size());
}

} // namespace dx
