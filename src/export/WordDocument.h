// A word-processor document of page pictures, written as Office Open XML (.docx).
// Pages go in as they would into a word processor driven through its automation
// interface: a picture is anchored at the insertion point without moving it, a page
// break is inserted at the insertion point and moves it past the break, and the
// insertion point can be sent to the start of the document. The document keeps the
// order this sequence produces; pictures added at the start push the earlier ones down.
#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

namespace dx {

class WordDocument {
public:
    // A PNG picture of `pixels` anchored at the insertion point.
    void addPicture(const QByteArray &png, QSize pixels);
    void insertPageBreak();
    void homeKey() { cursor_ = 0; }

    // Every picture `width` x `height` points (the picture's own proportions ignored).
    void setPictureSize(double widthPt, double heightPt);
    // Every picture `height` points high, its width kept in proportion.
    void setPictureHeight(double heightPt);

    int pictureCount() const;
    // The pages in document order, each with the numbers of its pictures (1 = the first
    // added). A break at the very start leaves no empty first page.
    QList<QList<int>> pages() const;

    // The package: [Content_Types].xml, the relationships, word/document.xml naming each
    // picture and word/media/imageN.png. Throws FileWriteError (naming `forPath`) when
    // the package cannot be made.
    QByteArray docx(const QString &forPath = QString()) const;
    // Writes the package to `path` through a temporary file beside it, so an older file
    // is replaced only by a complete new one. Throws FileWriteError.
    void save(const QString &path) const;

private:
    struct Picture {
        QByteArray png;
        QSize pixels;
    };
    QList<Picture> pictures_;
    QList<int> items_; // document order: picture index + 1, or 0 for a page break
    int cursor_ = 0;
    double widthPt_ = 0, heightPt_ = 0;
    bool keepAspect_ = true;
};

// A4 page pictures at print resolution.
inline constexpr double kWordPictureDpi = 300;

} // namespace dx
