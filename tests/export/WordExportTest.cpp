// The Word export: the page order the insertion sequence gives (single export in natural
// order, range export as the sequence leaves it), the package read back with libzip
// ([Content_Types].xml, word/document.xml naming every picture at the sizes of the single
// and the range export, PNG pictures of an A4 page at print resolution), no file left
// behind, a failed or stopped export keeping the old file, and LibreOffice converting the
// document to one PDF page per description.
#include "description/DescriptionFixture.h"

#include "export/ExportRun.h"
#include "export/WordDocument.h"
#include "printing/Report.h"

#include "TestUtil.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <zip.h>

#include <map>
#include <memory>

using namespace dx;
using dxtest::ProjectRow;

namespace {

// Fonts for the page pictures. The application object lives until the process ends
// (destroying it among the static objects at exit would crash).
void ensureGuiApp()
{
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "core_tests";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// Every part of a zip archive by name.
std::map<std::string, QByteArray> unzip(const QString &path)
{
    std::map<std::string, QByteArray> parts;
    int error = 0;
    zip_t *z = zip_open(path.toUtf8().constData(), ZIP_RDONLY, &error);
    if (!z) return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(i), 0, &st);
        zip_file_t *f = zip_fopen_index(z, zip_uint64_t(i), 0);
        QByteArray data(qsizetype(st.size), '\0');
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        parts[st.name] = data;
    }
    zip_close(z);
    return parts;
}

// The pictures word/document.xml names, in order, with their extents in points.
struct Named {
    QString image;
    double widthPt, heightPt;
    bool breakBefore;
};
QList<Named> pictures(const QByteArray &document, const std::map<std::string, QByteArray> &rels)
{
    Q_UNUSED(rels);
    QList<Named> out;
    static const QRegularExpression p(QStringLiteral(
        "<w:p><w:pPr>(<w:pageBreakBefore/>)?.*?<wp:extent cx=\"(\\d+)\" cy=\"(\\d+)\"/>.*?r:embed=\"rIdImage(\\d+)\""));
    auto it = p.globalMatch(QString::fromUtf8(document));
    while (it.hasNext()) {
        const auto m = it.next();
        out.append({QStringLiteral("image%1.png").arg(m.captured(4)), m.captured(2).toDouble() / 12700,
                    m.captured(3).toDouble() / 12700, !m.captured(1).isEmpty()});
    }
    return out;
}

class WordExportTest : public ::testing::Test, public dxtest::DescriptionFixture {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        project({ProjectRow(1, "а"), ProjectRow(1, "б"), ProjectRow(2, "а")});
    }
    QString out(const char *name) const { return QString::fromStdString(dir.file(name)); }
    QStringList folder() const
    {
        QStringList names = QDir(QString::fromStdString(dir.path())).entryList(QDir::Files | QDir::Hidden);
        names.sort();
        return names;
    }
};

} // namespace

TEST(WordDocumentOrder, SingleExportEndsInNaturalOrderRangeAsTheSequenceLeavesIt)
{
    // Single export: pages from the last to the first, a break and a move to the start
    // between them.
    WordDocument single;
    for (int n = 3; n >= 1; --n) {
        single.addPicture("png", QSize(1, 1)); // picture 1 is page 3
        if (n > 1) {
            single.insertPageBreak();
            single.homeKey();
        }
    }
    EXPECT_EQ(single.pages(), (QList<QList<int>>{{3}, {2}, {1}}));

    // Range export: each description's page, a break and a move to the start after it;
    // the later ones come first and the break left at the start makes no empty page.
    WordDocument range;
    for (int i = 0; i < 3; ++i) {
        range.addPicture("png", QSize(1, 1));
        range.insertPageBreak();
        range.homeKey();
    }
    EXPECT_EQ(range.pages(), (QList<QList<int>>{{3}, {2}, {1}}));

    // A picture added leaves the insertion point where it was: a break goes in before
    // the pictures there, and the next picture after the break, before the earlier ones.
    WordDocument straight;
    straight.addPicture("png", QSize(1, 1));
    straight.addPicture("png", QSize(1, 1));
    straight.insertPageBreak();
    straight.addPicture("png", QSize(1, 1));
    EXPECT_EQ(straight.pages(), (QList<QList<int>>{{3, 2, 1}}));
    EXPECT_TRUE(WordDocument().pages().isEmpty());
}

TEST_F(WordExportTest, SingleDescriptionIsOnePictureOfAnA4PageAtPrintResolution)
{
    const QString path = out("one.docx");
    const QStringList before = folder();
    ExportOptions o;
    o.format = ExportFormat::Word;
    ASSERT_TRUE(exportOne(state, 1, QStringLiteral("б"), path, o));
    const auto parts = unzip(path);
    ASSERT_TRUE(parts.count("[Content_Types].xml"));
    EXPECT_TRUE(parts.at("[Content_Types].xml").contains("Extension=\"png\" ContentType=\"image/png\""));
    EXPECT_TRUE(parts.at("[Content_Types].xml").contains("/word/document.xml"));
    ASSERT_TRUE(parts.count("word/document.xml"));
    ASSERT_TRUE(parts.count("word/_rels/document.xml.rels"));
    EXPECT_TRUE(parts.at("word/_rels/document.xml.rels").contains("Target=\"media/image1.png\""));
    const QList<Named> named = pictures(parts.at("word/document.xml"), parts);
    ASSERT_EQ(named.size(), 1);
    EXPECT_NEAR(named[0].widthPt, 596.1, 0.01);
    EXPECT_NEAR(named[0].heightPt, 800, 0.01);
    ASSERT_TRUE(parts.count("word/media/image1.png"));
    QImage image;
    ASSERT_TRUE(image.loadFromData(parts.at("word/media/image1.png"), "PNG"));
    EXPECT_EQ(image.size(), QSize(2480, 3508)); // A4 at 300 dpi
    EXPECT_TRUE(parts.at("word/media/image1.png").startsWith("\x89PNG"));
    // Nothing else is left in the folder: no picture files, no temporary document.
    QStringList expected = QStringList(before) << "one.docx";
    expected.sort();
    EXPECT_EQ(folder(), expected);
}

TEST_F(WordExportTest, RangeExportLocksTheProportionsAt750PointsAndSheetsComeWithThem)
{
    const QString path = out("range.docx");
    ExportOptions o;
    o.format = ExportFormat::Word;
    o.sheets = true;
    const QVector<RangeEntry> list = resolveRange(state, 1, 2, {}).value();
    EXPECT_EQ(exportQuestion(list, o).caption, QStringLiteral("Експорт описания - Word формат"));
    const ExportResult r = exportEntries(state, list, path, o);
    EXPECT_EQ(r.descriptions, 3);
    EXPECT_EQ(r.sheets, 2);
    const auto parts = unzip(path);
    const QList<Named> named = pictures(parts.at("word/document.xml"), parts);
    // Added: sheet 1, 1:а, 1:б, sheet 2, 2:а; each went in at the start.
    QStringList order;
    for (const Named &n : named) order << n.image;
    EXPECT_EQ(order, QStringList({"image5.png", "image4.png", "image3.png", "image2.png", "image1.png"}));
    for (int i = 0; i < named.size(); ++i) {
        EXPECT_NEAR(named[i].heightPt, 750, 0.01);
        EXPECT_NEAR(named[i].widthPt, 750.0 * 2480 / 3508, 0.01);
        EXPECT_EQ(named[i].breakBefore, i > 0);
    }
    EXPECT_TRUE(parts.at("word/document.xml").contains("noChangeAspect=\"1\""));
}

TEST_F(WordExportTest, AStoppedOrFailedExportKeepsTheOldFile)
{
    const QString path = out("kept.docx");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    const QStringList before = folder();
    bool stop = false;
    ExportOptions o;
    o.format = ExportFormat::Word;
    o.stop = &stop;
    o.progress = [&](int) { stop = true; };
    ExportResult r = exportEntries(state, resolveRange(state, 1, 2, {}).value(), path, o);
    EXPECT_TRUE(r.stopped);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old");
    f.close();

    QStringList shown;
    o.stop = nullptr;
    o.report = [&](const UserMessage &m) { shown << m.text; };
    r = exportEntries(state, resolveRange(state, 1, 1, {}).value(), out("none/x.docx"), o);
    EXPECT_TRUE(r.failed);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("none/x.docx")));
    EXPECT_EQ(folder(), before);
}

TEST_F(WordExportTest, LibreOfficeConvertsARangeToOnePdfPagePerDescription)
{
    if (dxtest::runShell("command -v soffice >/dev/null 2>&1").status != 0) GTEST_SKIP() << "soffice is not installed";
    const QString path = out("range.docx");
    ExportOptions o;
    o.format = ExportFormat::Word;
    const ExportResult r = exportEntries(state, resolveRange(state, 1, 2, {}).value(), path, o);
    ASSERT_EQ(r.descriptions, 3);
    const std::string d = dir.path();
    const dxtest::CliRun conv = dxtest::runShell("cd '" + d + "' && HOME='" + d + "' timeout 600 soffice --headless --convert-to pdf range.docx >/dev/null 2>&1");
    ASSERT_EQ(conv.status, 0);
    const dxtest::CliRun info = dxtest::runShell("pdfinfo '" + d + "/range.pdf' | grep '^Pages:'");
    EXPECT_EQ(QString::fromStdString(info.out).simplified(), QStringLiteral("Pages: 3"));
}
