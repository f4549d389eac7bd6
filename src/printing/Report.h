// The report layer of the printed descriptions and sheets: pages of texts, framed cells,
// lines and rectangles placed in millimetres on A4 inside the settings' margins, built
// from bands (a header band on every page or on the first only, detail bands that run
// over as many pages as they need, a footer band at the foot of every page). The same
// pages are painted on any paint device: a printer, a PDF writer, a picture, an image.
// No widgets; painting needs a QGuiApplication for its fonts.
#pragma once

#include "core/Settings.h"

#include <QImage>
#include <QList>
#include <QPicture>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

class QPaintDevice;
class QPainter;
class QPagedPaintDevice;
class QPdfWriter;

namespace dx {

inline constexpr double kA4WidthMm = 210.0;
inline constexpr double kA4HeightMm = 297.0;
// The smallest size a text is shrunk to when it does not fit its box.
inline constexpr double kSmallestPointSize = 6.0;

// A font as the settings name it. "Arial" is printed with Liberation Sans, whose letters
// have the same widths ("Times New Roman" with Liberation Serif, "Courier New" with
// Liberation Mono); a family that is not installed falls back to Liberation Sans.
struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 9;
    bool bold = false;
    bool italic = false;
};
QString installedFamily(const QString &family);
// The installed Liberation font that stands in for a Windows font; empty when none does.
QString metricTwin(const QString &family);

// One thing drawn on a page. Positions are millimetres from the top left corner of the
// page's printable area (inside the margins).
struct ReportItem {
    enum class Kind { Text, Line, Rect };
    Kind kind = Kind::Text;
    QRectF mm;             // text box or rectangle; a line runs from its top left to its bottom right
    QString text;
    int align = 0;         // Qt::Alignment flags of a text
    bool wrap = false;     // a text of several lines (word-wrapped within its box)
    // A text that does not fit is drawn smaller, down to kSmallestPointSize; a list of
    // lines that still does not fit ends in a line "... (+N)" naming the lines left out.
    bool shrink = false;
    bool frame = false;    // a text box framed as a table cell
    double lineWidthMm = 0.1;
    double paddingMm = 0.5;  // the text's distance from a framed cell's left and right rules
    ReportFont font;
    QString name;          // the region's name, for tests and tools ("QRLPodotd")
};

struct ReportPage {
    QList<ReportItem> items;
    // The first item of a region by name, or nullptr.
    const ReportItem *find(const QString &name) const;
};

// Margins, font and copies of a page, from the settings, brought into range: each margin
// 0..100, and the printable area at least a fifth of the paper each way (the margins are
// shrunk in proportion when they leave less); a font size outside 4..72 points becomes 9;
// copies 1..100 (none asked for prints one).
struct PageFrame {
    double left = 20, right = 10, top = 10, bottom = 10;
    ReportFont font;
    int copies = 1;  // copies of each print job, at least one
    double widthMm() const { return kA4WidthMm - left - right; }
    double heightMm() const { return kA4HeightMm - top - bottom; }
};
PageFrame pageFrame(const PageSettings &settings);

// Band contents: items with positions relative to the band's top left corner.
struct Band {
    double heightMm = 0;
    QList<ReportItem> items;
};

class Report {
public:
    Report() = default;
    explicit Report(const PageFrame &frame) : frame_(frame) {}

    const PageFrame &frame() const { return frame_; }
    // The copies a printer makes of the job that holds this report.
    int copies() const { return frame_.copies; }
    void setCopies(int copies);
    QString title;   // the document title
    QList<ReportPage> pages;
    int pageCount() const { return int(pages.size()); }

private:
    PageFrame frame_;
};

// Lays out bands on pages: `header` at the top of every page (or, with headerOnFirstOnly,
// of the first page only), the detail bands one below the other, a new page when the next
// one would run into the footer, `footer` at the foot of every page. A page always takes
// at least one detail band, so a page too small for its bands still ends.
Report layOutBands(const PageFrame &frame, const Band &header, const QList<Band> &details, const Band &footer,
                   bool headerOnFirstOnly = false);

// Paints one page on a painter whose device is one page of paper (A4 at the device's
// resolution, the origin at the paper's top left corner unless `paperOriginPx` says
// where it lies on the device, as on a printer that starts at its printable area).
void paintPage(QPainter &painter, const Report &report, int page, QPointF paperOriginPx = {});
// The size and the text an item is painted with on `device` (for a text that must shrink
// or lose lines to fit its box; otherwise its own).
double drawnPointSize(const ReportItem &item, QPaintDevice *device);
QString drawnText(const ReportItem &item, QPaintDevice *device);
// A page as an image of the whole paper at `dpi` dots per inch, white underneath.
QImage renderPage(const Report &report, int page, double dpi);
// A page as a picture (the page pictures of the Word export, the preview).
QPicture pagePicture(const Report &report, int page);

// Where printed pages go. A job is one print job (one document on a printer); a sink of
// one PDF file puts every job in the same file, one page after the other.
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual void beginJob(const QString &title) = 0;
    // Paints every page of the report; false when the device refused a page.
    virtual bool addReport(const Report &report) = 0;
    // False when the job did not reach its printer (the printer vanished meanwhile).
    virtual bool endJob() = 0;
    // Jobs begun from now on print on both sides of the paper (a duplex printer turns
    // each sheet); sinks without two sides ignore it.
    virtual void setTwoSided(bool on) { (void)on; }
};

// A sink over a paged paint device (a QPdfWriter, or a QPrinter of the window layer):
// A4 portrait, every page painted from the paper's corner.
// One report as a print job of its own; false when the printer refused a page or did not
// take the job.
bool printAsJob(PageSink &sink, const Report &report);

class PaintDeviceSink : public PageSink {
public:
    explicit PaintDeviceSink(QPagedPaintDevice &device);
    ~PaintDeviceSink() override;
    void beginJob(const QString &title) override;
    bool addReport(const Report &report) override;
    bool endJob() override;
    int pagesPainted() const { return pages_; }
    // Where the paper's corner lies on the device, for devices that paint from their
    // printable area; none by default.
    void setPaperOrigin(std::function<QPointF()> origin) { origin_ = std::move(origin); }

private:
    QPagedPaintDevice &device_;
    std::unique_ptr<QPainter> painter_;
    int pages_ = 0;
    std::function<QPointF()> origin_;
};

// A PDF file of every report handed to it, written to a temporary file beside `path`
// and moved into place by finish(), so an older file is replaced only by a complete new
// one. Throws FileWriteError naming the file and the reason.
class PdfFileSink : public PageSink {
public:
    explicit PdfFileSink(const QString &path);
    ~PdfFileSink() override;
    void beginJob(const QString &title) override;
    bool addReport(const Report &report) override;
    bool endJob() override { return true; }
    void finish();
    int pagesPainted() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace dx
