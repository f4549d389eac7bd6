// The export runs: text pieces appended to one file, or page pictures into one document.
#include "export/ExportRun.h"

#include "core/SafeFileWrite.h"
#include "description/DamageWordingMemo.h"
#include "description/DescriptionHeader.h"
#include "engine/sql/Table.h"
#include "export/ExportFile.h"
#include "export/WordDocument.h"
#include "printing/DescriptionComposer.h"
#include "printing/Report.h"
#include "printing/SheetComposer.h"
#include "printing/TwoSidedRun.h"

#include <QBuffer>
#include <QHash>
#include <QImageWriter>

#include <cmath>

namespace dx {
namespace {

void say(const ExportOptions &o, const UserMessage &m)
{
    if (o.report) o.report(m);
}

// Where the pieces of a run go.
class Output {
public:
    virtual ~Output() = default;
    virtual void description(int otd, const QString &podotd) = 0; // throws FileWriteError
    virtual bool sheet(int otd) = 0;                               // false when it has no records
    virtual void finish() {}
    virtual void fail() {}
};

class TextOutput : public Output {
public:
    TextOutput(AppState &state, const QString &path, const ExportOptions &o) : state_(state), file_(path), o_(o) {}
    void description(int otd, const QString &podotd) override
    {
        // A pair that names no single record gets its missing text, as the layouts give it.
        const auto at = index().constFind(qMakePair(otd, podotd));
        if (at == index_.constEnd() || at->size() != 1 || !walker_->gotoBookmark(at->first())) {
            file_.append(missingSubCompartmentText(otd, podotd));
            return;
        }
        file_.append(o_.partial ? partialDescriptionTextAt(state_, *walker_, o_.parts, o_.report)
                                : wholeDescriptionTextAt(state_, *walker_, true, o_.report));
    }
    bool sheet(int otd) override
    {
        const std::optional<QString> text = sheetText(state_, otd, o_.report);
        if (!text) return false;
        file_.append(*text);
        return true;
    }
    void finish() override { file_.finish(); }
    void fail() override { file_.rollback(); }

private:
    // Where each sub-compartment's records lie, from one walk over the project table
    // (a table object of its own, so the sheets can filter the program's one meanwhile).
    const QHash<QPair<int, QString>, QList<Table::Bookmark>> &index()
    {
        if (walker_) return index_;
        walker_ = std::make_unique<Table>(state_.db);
        walker_->setPath(state_.projectTable.path());
        walker_->open();
        for (walker_->first(); !walker_->eof(); walker_->next())
            index_[qMakePair(int(recordInt(*walker_, QStringLiteral("OTD"))), recordText(*walker_, QStringLiteral("PODOTD")))]
                .append(walker_->bookmark());
        return index_;
    }

    AppState &state_;
    ExportFile file_;
    const ExportOptions &o_;
    std::unique_ptr<Table> walker_;
    QHash<QPair<int, QString>, QList<Table::Bookmark>> index_;
};

void addPages(WordDocument &doc, const Report &report, bool firstOnly)
{
    const int last = firstOnly ? std::min(1, report.pageCount()) : report.pageCount();
    for (int n = last; n >= 1; --n) {
        QSize pixels;
        const QByteArray png = pagePng(report, n - 1, &pixels);
        doc.addPicture(png, pixels);
        doc.insertPageBreak();
        doc.homeKey();
    }
}

class WordOutput : public Output {
public:
    WordOutput(AppState &state, const QString &path, const ExportOptions &o)
        : state_(state), path_(path), o_(o), composer_(state)
    {
        composer_.setWithBranches(o.withBranches);
    }
    void description(int otd, const QString &podotd) override
    {
        // A description that does not compose adds nothing (its warning is shown).
        if (composer_.compose(otd, podotd, o_.report)) addPages(doc_, composer_.report(), true);
    }
    bool sheet(int otd) override
    {
        std::optional<PrintedSheet> s = composeSheet(state_, otd, QString(), o_.report);
        if (!s) return false;
        addPages(doc_, sheetReport(*s, state_.settings.sheet), false);
        return true;
    }
    void finish() override
    {
        doc_.setPictureHeight(kRangeHeightPt);
        doc_.save(path_);
    }

private:
    AppState &state_;
    QString path_;
    const ExportOptions &o_;
    DescriptionComposer composer_;
    WordDocument doc_;
};

} // namespace

int exportTotal(const QVector<RangeEntry> &entries, const ExportOptions &o)
{
    const int compartments = int(listCompartments(entries).size());
    if (o.sheetsOnly) return compartments;
    return int(entries.size()) + (o.sheets ? compartments : 0);
}

UserMessage exportQuestion(const QVector<RangeEntry> &entries, const ExportOptions &o)
{
    const bool word = o.format == ExportFormat::Word;
    const int total = exportTotal(entries, o);
    if (o.sheetsOnly)
        return {word ? QStringLiteral("Експорт предотделни листове - Word формат")
                     : QStringLiteral("Експорт предотделни листове - TXT формат"),
                QStringLiteral("Сигурни ли сте, че желаете да експортирате %1 броя предотделни листове?").arg(total),
                UserMessage::Icon::None,
                {}};
    return {word ? QStringLiteral("Експорт описания - Word формат") : QStringLiteral("Експорт описания - TXT"),
            QStringLiteral("Сигурни ли сте, че желаете да експортирате %1 броя таксационни описания?").arg(total),
            UserMessage::Icon::None,
            {}};
}

QString exportProgressLabel(const ExportOptions &o, int done, int total, bool start)
{
    if (o.sheetsOnly && start) return QStringLiteral("Експортиране на  %1 от %2 предотделни листа").arg(done).arg(total);
    if (o.sheetsOnly || o.format == ExportFormat::Word)
        return QStringLiteral("Експортиране на  %1 от %2 описания").arg(done).arg(total);
    return QStringLiteral("Експортиране на  %1 от %2 подотдела").arg(done).arg(total);
}

QString exportProgressTitle(int done, int total)
{
    const long percent = total > 0 ? std::lround(100.0 * done / total) : 0;
    return QStringLiteral("Експортиране... %1%").arg(percent);
}

ExportResult exportEntries(AppState &state, const QVector<RangeEntry> &entries, const QString &path,
                           const ExportOptions &o)
{
    ExportResult result;
    const DamageWordingMemo damageWordings; // each damage letter looked up once a run
    std::unique_ptr<Output> out;
    if (o.format == ExportFormat::Word) out = std::make_unique<WordOutput>(state, path, o);
    else out = std::make_unique<TextOutput>(state, path, o);
    auto done = [&] {
        if (o.progress) o.progress(result.descriptions + result.sheets);
    };
    try {
        if (o.sheetsOnly) {
            for (int otd : listCompartments(entries)) {
                if (o.stop && *o.stop) {
                    result.stopped = true;
                    break;
                }
                if (out->sheet(otd)) ++result.sheets;
                done();
            }
        } else {
            bool haveSheet = false;
            int lastSheet = 0;
            for (const RangeEntry &e : entries) {
                if (o.stop && *o.stop) {
                    result.stopped = true;
                    break;
                }
                if (o.sheets && (!haveSheet || e.otd != lastSheet)) {
                    haveSheet = true;
                    lastSheet = e.otd;
                    if (out->sheet(e.otd)) ++result.sheets;
                    done();
                }
                out->description(e.otd, e.podotd);
                ++result.descriptions;
                done();
            }
        }
        // A stopped Word export is not saved; a stopped text export keeps what it wrote.
        if (!(result.stopped && o.format == ExportFormat::Word)) out->finish();
    } catch (const FileWriteError &e) {
        out->fail();
        result.failed = true;
        say(o, fileWriteMessage(e, QStringLiteral("Експорт на описания")));
    }
    return result;
}

namespace {

bool saveSingle(const Report &report, const QString &path, const ExportOptions &o)
{
    WordDocument doc;
    addPages(doc, report, false);
    doc.setPictureSize(kSingleWidthPt, kSingleHeightPt);
    try {
        doc.save(path);
    } catch (const FileWriteError &e) {
        say(o, fileWriteMessage(e, QStringLiteral("Експорт на описания")));
        return false;
    }
    return true;
}

} // namespace

bool exportOne(AppState &state, int otd, const QString &podotd, const QString &path, const ExportOptions &o)
{
    if (o.format == ExportFormat::Word) {
        DescriptionComposer composer(state);
        composer.setWithBranches(o.withBranches);
        if (!composer.compose(otd, podotd, o.report)) return false;
        return saveSingle(composer.report(), path, o);
    }
    const std::optional<QString> text = wholeDescriptionText(state, otd, podotd, true, o.report);
    if (!text) {
        writeWholeDescription(state, otd, podotd, true, true, path, o.report); // the warning, nothing written
        return false;
    }
    return writeWholeDescription(state, otd, podotd, true, true, path, o.report);
}

bool exportOneSheet(AppState &state, int otd, const QString &path, const ExportOptions &o)
{
    if (o.format == ExportFormat::Word) {
        std::optional<PrintedSheet> s = composeSheet(state, otd, QString(), o.report);
        if (!s) return false;
        return saveSingle(sheetReport(*s, state.settings.sheet), path, o);
    }
    if (!sheetText(state, otd, {})) {
        writeSheet(state, otd, true, path, o.report);
        return false;
    }
    return writeSheet(state, otd, true, path, o.report);
}

QByteArray pagePng(const Report &report, int page, QSize *pixels)
{
    const QImage image = renderPage(report, page, kWordPictureDpi).convertToFormat(QImage::Format_Grayscale8);
    if (pixels) *pixels = image.size();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    return bytes;
}

std::optional<PrintListFile> loadExportList(const QString &path, const std::function<void(const UserMessage &)> &report)
{
    // The list print's reading with a blank as the separator; its notice of repeated
    // entries speaks of exporting here.
    auto relay = [&](const UserMessage &m) {
        if (!report) return;
        UserMessage shown = m;
        if (m.icon == UserMessage::Icon::Information) {
            shown.caption = QStringLiteral("Експорт на описания");
            shown.text.replace(QStringLiteral("се отпечатват веднъж"), QStringLiteral("се експортират веднъж"));
        }
        report(shown);
    };
    return loadPrintList(path, QStringLiteral(" "), relay);
}

} // namespace dx
