// The .docx package of page pictures, zipped with libzip in memory.
#include "export/WordDocument.h"

#include "core/SafeFileWrite.h"

#include <zip.h>

#include <cmath>
#include <cstring>

namespace dx {
namespace {

constexpr double kEmuPerPoint = 12700;

long long emu(double points) { return std::llround(points * kEmuPerPoint); }

QByteArray contentTypes()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Default Extension=\"png\" ContentType=\"image/png\"/>"
           "<Override PartName=\"/word/document.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
           "</Types>";
}

QByteArray packageRels()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" "
           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
           "Target=\"word/document.xml\"/></Relationships>";
}

QByteArray documentRels(int pictures)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (int i = 1; i <= pictures; ++i)
        out += QStringLiteral("<Relationship Id=\"rIdImage%1\" "
                              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
                              "Target=\"media/image%1.png\"/>")
                   .arg(i)
                   .toUtf8();
    return out + "</Relationships>";
}

// One picture in a paragraph of its own, inline, `cx` x `cy` EMU.
QByteArray pictureParagraph(int n, long long cx, long long cy, bool breakBefore, bool keepAspect)
{
    const QString name = QStringLiteral("image%1.png").arg(n);
    return QStringLiteral(
               "<w:p><w:pPr>%1<w:spacing w:before=\"0\" w:after=\"0\"/><w:jc w:val=\"center\"/></w:pPr><w:r><w:drawing>"
               "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent cx=\"%2\" cy=\"%3\"/>"
               "<wp:docPr id=\"%4\" name=\"Picture %4\" descr=\"%5\"/>"
               "<wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"%6\"/></wp:cNvGraphicFramePr>"
               "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
               "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"%4\" name=\"%5\"/><pic:cNvPicPr/></pic:nvPicPr>"
               "<pic:blipFill><a:blip r:embed=\"rIdImage%4\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
               "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%2\" cy=\"%3\"/></a:xfrm>"
               "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
               "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>")
        .arg(breakBefore ? QStringLiteral("<w:pageBreakBefore/>") : QString())
        .arg(cx)
        .arg(cy)
        .arg(n)
        .arg(name)
        .arg(keepAspect ? 1 : 0)
        .toUtf8();
}

} // namespace

void WordDocument::addPicture(const QByteArray &png, QSize pixels)
{
    pictures_.append({png, pixels});
    items_.insert(cursor_, int(pictures_.size()));
}

void WordDocument::insertPageBreak()
{
    items_.insert(cursor_, 0);
    ++cursor_;
}

void WordDocument::setPictureSize(double widthPt, double heightPt)
{
    widthPt_ = widthPt;
    heightPt_ = heightPt;
    keepAspect_ = false;
}

void WordDocument::setPictureHeight(double heightPt)
{
    widthPt_ = 0;
    heightPt_ = heightPt;
    keepAspect_ = true;
}

int WordDocument::pictureCount() const { return int(pictures_.size()); }

QList<QList<int>> WordDocument::pages() const
{
    QList<QList<int>> out{{}};
    for (int item : items_) {
        if (item == 0) out.append(QList<int>());
        else out.last().append(item);
    }
    // A break at the very start would leave the first page empty.
    while (out.size() > 1 && out.first().isEmpty()) out.removeFirst();
    if (out.size() == 1 && out.first().isEmpty()) out.clear();
    return out;
}

QByteArray WordDocument::docx(const QString &forPath) const
{
    QByteArray body;
    const QList<QList<int>> order = pages();
    for (qsizetype i = 0; i < order.size(); ++i) {
        const bool breakBefore = i > 0;
        if (order[i].isEmpty()) {
            body += breakBefore ? "<w:p><w:pPr><w:pageBreakBefore/></w:pPr></w:p>" : "<w:p/>";
            continue;
        }
        for (qsizetype k = 0; k < order[i].size(); ++k) {
            const int n = order[i][k];
            const Picture &p = pictures_[n - 1];
            const double h = heightPt_ > 0 ? heightPt_ : p.pixels.height() * 72.0 / kWordPictureDpi;
            double w = widthPt_;
            if (keepAspect_ || w <= 0) w = p.pixels.height() > 0 ? h * p.pixels.width() / p.pixels.height() : h;
            body += pictureParagraph(n, emu(w), emu(h), breakBefore && k == 0, keepAspect_);
        }
    }
    // A4, small margins top and bottom so a page picture fits its page.
    const QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>" +
        body +
        "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
        "<w:pgMar w:top=\"400\" w:right=\"0\" w:bottom=\"400\" w:left=\"0\" w:header=\"0\" w:footer=\"0\" w:gutter=\"0\"/>"
        "</w:sectPr></w:body></w:document>";

    auto fail = [&](const QString &why) { return FileWriteError(forPath, why); };
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) throw fail(QString::fromUtf8(zip_error_strerror(&error)));
    zip_t *zip = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!zip) {
        zip_source_free(buffer);
        throw fail(QString::fromUtf8(zip_error_strerror(&error)));
    }
    zip_source_keep(buffer);
    // The parts' bytes must live until the archive is closed.
    QList<QByteArray> keep;
    auto add = [&](const char *name, const QByteArray &bytes, bool stored) {
        keep << bytes;
        zip_source_t *src = zip_source_buffer(zip, keep.last().constData(), zip_uint64_t(keep.last().size()), 0);
        if (!src) return false;
        const zip_int64_t at = zip_file_add(zip, name, src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (at < 0) {
            zip_source_free(src);
            return false;
        }
        // Pictures are compressed already.
        return zip_set_file_compression(zip, zip_uint64_t(at), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0;
    };
    bool ok = add("[Content_Types].xml", contentTypes(), false) && add("_rels/.rels", packageRels(), false) &&
              add("word/document.xml", document, false) &&
              add("word/_rels/document.xml.rels", documentRels(int(pictures_.size())), false);
    for (int i = 0; ok && i < pictures_.size(); ++i)
        ok = add(QStringLiteral("word/media/image%1.png").arg(i + 1).toUtf8().constData(), pictures_[i].png, true);
    if (!ok) {
        const QString why = QString::fromUtf8(zip_strerror(zip));
        zip_discard(zip);
        zip_source_free(buffer);
        throw fail(why);
    }
    if (zip_close(zip) != 0) {
        const QString why = QString::fromUtf8(zip_strerror(zip));
        zip_discard(zip);
        zip_source_free(buffer);
        throw fail(why);
    }
    QByteArray out;
    zip_stat_t st;
    if (zip_source_stat(buffer, &st) == 0 && zip_source_open(buffer) == 0) {
        out.resize(qsizetype(st.size));
        const zip_int64_t n = zip_source_read(buffer, out.data(), st.size);
        zip_source_close(buffer);
        if (n != zip_int64_t(st.size)) out.clear();
    }
    zip_source_free(buffer);
    if (out.isEmpty()) throw fail(QStringLiteral("архивът на документа не може да бъде съставен."));
    return out;
}

void WordDocument::save(const QString &path) const { writeFileSafely(path, docx(path)); }

} // namespace dx
