// The report layer: bands laid out on A4 pages in millimetres and painted on any device.
#include "printing/Report.h"

#include "core/SafeFileWrite.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace dx {
namespace {

constexpr double kMmPerInch = 25.4;
const QString kMetricArial = QStringLiteral("Liberation Sans");

double clampMargin(int mm) { return std::clamp(mm, 0, 100); }

// Millimetres on the device: the scale and where the printable area's corner lies.
struct Scale {
    double x = 1, y = 1;
    QPointF origin;
    QRectF rect(const QRectF &mm) const
    {
        return QRectF(origin.x() + mm.left() * x, origin.y() + mm.top() * y, mm.width() * x, mm.height() * y);
    }
    QPointF point(double xmm, double ymm) const { return QPointF(origin.x() + xmm * x, origin.y() + ymm * y); }
};

QFont qtFont(const ReportFont &f, double pointSize)
{
    QFont font(installedFamily(f.family));
    font.setPointSizeF(pointSize);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    // Positions are millimetres: glyphs keep their design widths on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

int textFlags(const ReportItem &item)
{
    int flags = item.align ? item.align : int(Qt::AlignLeft | Qt::AlignTop);
    if (item.wrap) flags |= Qt::TextWordWrap;
    return flags;
}

bool fitsBox(const ReportItem &item, const QString &text, double size, const QRectF &box, QPaintDevice *device)
{
    QFontMetricsF fm(qtFont(item.font, size), device);
    const QRectF need = fm.boundingRect(box, textFlags(item), text);
    return need.height() <= box.height() + 0.5 && need.width() <= box.width() + 0.5;
}

// The largest size up to the item's own at which its text fits its box.
double fittingPointSize(const ReportItem &item, const QRectF &box, QPaintDevice *device)
{
    double size = item.font.pointSize;
    if (!item.shrink) return size;
    while (size > kSmallestPointSize && !fitsBox(item, item.text, size, box, device)) size -= 0.5;
    return std::max(size, kSmallestPointSize);
}

// A list of lines that does not fit even at the smallest size loses its last lines to a
// line that says how many are left out, rather than being cut off unseen.
QString fittingText(const ReportItem &item, double size, const QRectF &box, QPaintDevice *device)
{
    if (!item.shrink || !item.text.contains(QLatin1Char('\n')) || fitsBox(item, item.text, size, box, device))
        return item.text;
    QStringList lines = item.text.split(QLatin1Char('\n'));
    const qsizetype all = lines.size();
    auto withRest = [&] { return lines.join(QLatin1Char('\n')) + QStringLiteral("\n... (+%1)").arg(all - lines.size()); };
    lines.removeLast();
    while (lines.size() > 1 && !fitsBox(item, withRest(), size, box, device)) lines.removeLast();
    return withRest();
}

void paintItem(QPainter &p, const ReportItem &item, const Scale &s, const QRectF &clip)
{
    const double penPx = std::max(1.0, item.lineWidthMm * s.x);
    switch (item.kind) {
    case ReportItem::Kind::Line:
        p.setPen(QPen(Qt::black, penPx, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(s.point(item.mm.left(), item.mm.top()), s.point(item.mm.right(), item.mm.bottom()));
        return;
    case ReportItem::Kind::Rect:
        p.setPen(QPen(Qt::black, penPx, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(s.rect(item.mm));
        return;
    case ReportItem::Kind::Text:
        break;
    }
    QRectF box = s.rect(item.mm);
    if (item.frame) {
        p.setPen(QPen(Qt::black, penPx));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        box.adjust(item.paddingMm * s.x, 0, -0.5 * s.x, 0); // the text keeps off the cell's rules
    }
    if (item.text.isEmpty()) return;
    p.save();
    p.setClipRect(box.intersected(clip));
    const double size = fittingPointSize(item, box, p.device());
    p.setFont(qtFont(item.font, size));
    p.setPen(Qt::black);
    p.drawText(box, textFlags(item), fittingText(item, size, box, p.device()));
    p.restore();
}

void addBand(ReportPage &page, const Band &band, double top)
{
    for (ReportItem item : band.items) {
        item.mm.translate(0, top);
        page.items.push_back(std::move(item));
    }
}

} // namespace

QString metricTwin(const QString &family)
{
    // The Windows fonts the settings name, and their metric-compatible Liberation fonts.
    static const std::pair<const char *, const char *> twins[] = {
        {"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"}};
    for (const auto &[windows, liberation] : twins)
        if (family.trimmed().compare(QLatin1String(windows), Qt::CaseInsensitive) == 0 &&
            QFontDatabase::hasFamily(QString::fromLatin1(liberation)))
            return QString::fromLatin1(liberation);
    return {};
}

QString installedFamily(const QString &family)
{
    static QHash<QString, QString> known;
    auto it = known.constFind(family);
    if (it != known.constEnd()) return *it;
    QString chosen = metricTwin(family);
    if (chosen.isEmpty()) chosen = family.trimmed();
    if (chosen.isEmpty() || !QFontDatabase::hasFamily(chosen))
        chosen = QFontDatabase::hasFamily(kMetricArial) ? kMetricArial : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    known.insert(family, chosen);
    return chosen;
}

static QRectF deviceBox(const ReportItem &item, QPaintDevice *device)
{
    const double x = device->logicalDpiX() / kMmPerInch, y = device->logicalDpiY() / kMmPerInch;
    QRectF box(item.mm.left() * x, item.mm.top() * y, item.mm.width() * x, item.mm.height() * y);
    if (item.frame) box.adjust(item.paddingMm * x, 0, -0.5 * x, 0);
    return box;
}

double drawnPointSize(const ReportItem &item, QPaintDevice *device)
{
    return fittingPointSize(item, deviceBox(item, device), device);
}

QString drawnText(const ReportItem &item, QPaintDevice *device)
{
    const QRectF box = deviceBox(item, device);
    return fittingText(item, fittingPointSize(item, box, device), box, device);
}

const ReportItem *ReportPage::find(const QString &name) const
{
    for (const ReportItem &i : items)
        if (i.name == name) return &i;
    return nullptr;
}

PageFrame pageFrame(const PageSettings &settings)
{
    PageFrame f;
    f.left = clampMargin(settings.left);
    f.right = clampMargin(settings.right);
    f.top = clampMargin(settings.top);
    f.bottom = clampMargin(settings.bottom);
    auto fit = [](double &a, double &b, double paper) {
        const double most = paper * 0.8;
        if (a + b > most) {
            const double k = most / (a + b);
            a *= k;
            b *= k;
        }
    };
    fit(f.left, f.right, kA4WidthMm);
    fit(f.top, f.bottom, kA4HeightMm);
    f.font.family = settings.font.trimmed().isEmpty() ? QStringLiteral("Arial") : settings.font.trimmed();
    f.font.pointSize = settings.fontSize >= 4 && settings.fontSize <= 72 ? settings.fontSize : 9;
    f.copies = std::clamp(settings.copies, 1, 100);
    return f;
}

Report layOutBands(const PageFrame &frame, const Band &header, const QList<Band> &details, const Band &footer,
                   bool headerOnFirstOnly)
{
    Report report(frame);
    const double footerTop = std::max(0.0, frame.heightMm() - footer.heightMm);
    double y = 0;
    int onPage = 0;
    auto startPage = [&] {
        report.pages.push_back(ReportPage());
        y = 0;
        onPage = 0;
        if (!headerOnFirstOnly || report.pages.size() == 1) {
            addBand(report.pages.back(), header, 0);
            y = header.heightMm;
        }
    };
    auto endPage = [&] { addBand(report.pages.back(), footer, footerTop); };
    startPage();
    for (const Band &d : details) {
        if (onPage > 0 && y + d.heightMm > footerTop + 1e-6) {
            endPage();
            startPage();
        }
        addBand(report.pages.back(), d, y);
        y += d.heightMm;
        ++onPage;
    }
    endPage();
    return report;
}

void paintPage(QPainter &painter, const Report &report, int page, QPointF paperOriginPx)
{
    if (page < 0 || page >= report.pageCount()) return;
    QPaintDevice *device = painter.device();
    Scale s;
    s.x = device->logicalDpiX() / kMmPerInch;
    s.y = device->logicalDpiY() / kMmPerInch;
    const PageFrame &f = report.frame();
    s.origin = paperOriginPx + QPointF(f.left * s.x, f.top * s.y);
    // Nothing is drawn beyond the printable area, whatever a region holds.
    const QRectF clip = s.rect(QRectF(0, 0, f.widthMm(), f.heightMm()));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(clip);
    for (const ReportItem &item : report.pages[page].items) paintItem(painter, item, s, clip);
    painter.restore();
}

QImage renderPage(const Report &report, int page, double dpi)
{
    const int w = int(std::lround(kA4WidthMm / kMmPerInch * dpi));
    const int h = int(std::lround(kA4HeightMm / kMmPerInch * dpi));
    QImage image(w, h, QImage::Format_RGB32);
    const int dpm = int(std::lround(dpi / kMmPerInch * 1000));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter p(&image);
    paintPage(p, report, page);
    return image;
}

QPicture pagePicture(const Report &report, int page)
{
    QPicture picture;
    QPainter p(&picture);
    paintPage(p, report, page);
    p.end();
    return picture;
}

void Report::setCopies(int copies) { frame_.copies = std::clamp(copies, 1, 100); }

bool printAsJob(PageSink &sink, const Report &report)
{
    sink.beginJob(report.title);
    const bool painted = sink.addReport(report);
    const bool sent = sink.endJob();
    return painted && sent;
}

PaintDeviceSink::PaintDeviceSink(QPagedPaintDevice &device) : device_(device) {}
PaintDeviceSink::~PaintDeviceSink() { endJob(); }

void PaintDeviceSink::beginJob(const QString &)
{
    device_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
}

bool PaintDeviceSink::addReport(const Report &report)
{
    for (int i = 0; i < report.pageCount(); ++i) {
        if (!painter_) {
            painter_ = std::make_unique<QPainter>();
            if (!painter_->begin(&device_)) {
                painter_.reset();
                return false;
            }
        } else if (!device_.newPage()) {
            return false;
        }
        paintPage(*painter_, report, i, origin_ ? origin_() : QPointF());
        ++pages_;
    }
    return true;
}

bool PaintDeviceSink::endJob()
{
    const bool ended = !painter_ || painter_->end();
    painter_.reset();
    return ended;
}

struct PdfFileSink::Impl {
    QString path;
    QBuffer buffer;
    std::unique_ptr<QPdfWriter> writer;
    std::unique_ptr<PaintDeviceSink> sink;
};

PdfFileSink::PdfFileSink(const QString &path) : d_(std::make_unique<Impl>())
{
    d_->path = path;
    d_->buffer.open(QIODevice::WriteOnly);
    d_->writer = std::make_unique<QPdfWriter>(&d_->buffer);
    d_->writer->setCreator(QStringLiteral("Dendrix"));
    d_->writer->setResolution(1200);
    d_->sink = std::make_unique<PaintDeviceSink>(*d_->writer);
    d_->sink->beginJob(QString());
}

PdfFileSink::~PdfFileSink() = default;

void PdfFileSink::beginJob(const QString &title)
{
    if (d_->sink->pagesPainted() == 0) d_->writer->setTitle(title);
}

bool PdfFileSink::addReport(const Report &report)
{
    if (!d_->sink->addReport(report))
        throw FileWriteError(d_->path, QStringLiteral("страниците не могат да бъдат изрисувани."));
    return true;
}

int PdfFileSink::pagesPainted() const { return d_->sink->pagesPainted(); }

void PdfFileSink::finish()
{
    d_->sink->endJob();
    d_->writer.reset();
    writeFileSafely(d_->path, d_->buffer.data());
}

} // namespace dx
