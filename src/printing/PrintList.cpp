// The list file of list printing, its stretch, and the backs of two-sided list printing.
#include "printing/PrintList.h"

#include "core/QtText.h"
#include "description/DescriptionHeader.h"
#include "engine/common/Codepage.h"
#include "engine/common/FileIO.h"
#include "engine/sql/Table.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

namespace dx {
namespace {

QString listCaption() { return QStringLiteral("Поточен печат на описания от списък"); }

void say(const std::function<void(const UserMessage &)> &report, const UserMessage &m)
{
    if (report) report(m);
}

} // namespace

UserMessage separatorHelpMessage()
{
    return {listCaption(),
            QStringLiteral("В поле \"разделител\" въведете символа които разделя отдела от подотдела.\r\nПример:\r\n"
                           "1;а\r\n2;в\r\n7;б\r\nВ примера разделител е знака точка и запетая. Никога неслагайте "
                           "разделител тире \"-\" защото често се среща в имената на подотделите!"),
            UserMessage::Icon::Information,
            {}};
}

namespace {

// A sub-compartment as the line gives it: without the blanks at its ends, ending at a
// control character, and at most 8 characters, a pair of surrogates never cut in two.
QString subCompartmentOf(const QString &rest)
{
    qsizetype from = 0;
    while (from < rest.size() && rest[from].isSpace()) ++from;
    QString pod;
    for (qsizetype k = from; k < rest.size() && pod.size() < 8; ++k) {
        const QChar c = rest[k];
        if (c.isHighSurrogate() && k + 1 < rest.size() && rest[k + 1].isLowSurrogate()) {
            if (pod.size() + 2 > 8) break;
            pod += c;
            pod += rest[++k];
            continue;
        }
        if (c.isSurrogate() || c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            break;
        pod += c;
    }
    while (!pod.isEmpty() && pod.back().isSpace()) pod.chop(1);
    return pod;
}

} // namespace

PrintListFile parsePrintList(const QString &text, QChar separator, const QString &fileName,
                             const std::function<void(const UserMessage &)> &report)
{
    PrintListFile out;
    QSet<QPair<int, QString>> seen;
    QStringList repeated;
    // Lines end with CR LF, LF or a CR alone.
    QString joined = text;
    joined.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = joined.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.trimmed().isEmpty()) continue;
        const qsizetype at = line.indexOf(separator);
        const QString otdText = (at < 0 ? line : line.left(at)).trimmed();
        bool ok = false;
        const int otd = otdText.toInt(&ok);
        if (!ok) {
            // One pass of arg(): a file name or line holding "%1" stays as it is.
            say(report, {plainCaption(),
                         QStringLiteral("'%1' is not a valid integer value").arg(at < 0 ? line : line.left(at)),
                         UserMessage::Icon::Error,
                         QStringLiteral("%1, ред %2").arg(fileName, QString::number(i + 1))});
            out.complete = false;
            break;
        }
        const QString pod = at < 0 ? QString() : subCompartmentOf(line.mid(at + 1));
        if (seen.contains({otd, pod})) {
            repeated << QStringLiteral("%1:%2 (ред %3)").arg(QString::number(otd), pod, QString::number(i + 1));
            continue;
        }
        seen.insert({otd, pod});
        out.entries.push_back({otd, pod});
    }
    if (!repeated.isEmpty()) {
        const QStringList shown = repeated.mid(0, 10);
        QString text = QStringLiteral("Повторените подотдели се отпечатват веднъж:\r\n") + shown.join(QStringLiteral("\r\n"));
        if (repeated.size() > shown.size()) text += QStringLiteral("\r\n... (+%1)").arg(repeated.size() - shown.size());
        say(report, {listCaption(), text, UserMessage::Icon::Information, {}});
    }
    return out;
}

std::optional<PrintListFile> loadPrintList(const QString &path, const QString &separator,
                                           const std::function<void(const UserMessage &)> &report)
{
    if (separator.isEmpty()) {
        say(report, {listCaption(), QStringLiteral("Не е въведен разделител!"), UserMessage::Icon::Warning, {}});
        return std::nullopt;
    }
    // A pipe or a device is never opened (the read would wait or never end), and a list
    // of sub-compartments is a few kilobytes: a file of many megabytes is no list.
    constexpr uint64_t kMaxListFileSize = 16 * 1024 * 1024;
    QByteArray bytes;
    try {
        const std::string data = io::readFile(io::resolve(".", ss(path)), kMaxListFileSize);
        bytes = QByteArray(data.data(), qsizetype(data.size()));
    } catch (const std::exception &e) {
        say(report, {plainCaption(), QStringLiteral("Файлът %1 не може да бъде прочетен.").arg(path),
                     UserMessage::Icon::Error, qs(e.what())});
        PrintListFile empty;
        empty.complete = false;
        return empty;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = qs(cp::cp1251ToUtf8(std::string_view(bytes.constData(), size_t(bytes.size()))));
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return parsePrintList(text, separator.front(), path, report);
}

std::optional<Stretch> selectStretch(int count, int from, int to, const std::function<void(const UserMessage &)> &report)
{
    if (to < from) std::swap(from, to);
    if (from < 1 || to > count) {
        say(report, {QStringLiteral("Печат описания от списък"), QStringLiteral("Въвели сте грешен диапазон от-до!"),
                     UserMessage::Icon::Warning, {}});
        return std::nullopt;
    }
    return Stretch{from, to};
}

BackPage backPageIn(const QStringList &compartment, const QString &podotd)
{
    const qsizetype at = compartment.indexOf(podotd);
    if (at < 0) return {BackPage::Kind::NotFound, QStringLiteral("-1")};
    const qsizetype number = at + 1;
    if (number % 2 == 0) return {BackPage::Kind::Partner, compartment[at - 1]};
    if (number == compartment.size()) return {BackPage::Kind::NoBack, QString()};
    return {BackPage::Kind::Partner, compartment[at + 1]};
}

namespace {

QStringList compartmentRecords(AppState &state, int otd)
{
    Table &t = state.projectTable;
    struct Release {
        Table &t;
        ~Release()
        {
            t.close();
            t.setFiltered(false);
        }
    } release{t};
    t.setFilter(QStringLiteral("OTD=%1").arg(otd).toStdString());
    if (!t.filtered()) t.setFiltered(true);
    if (!t.active()) t.open();
    QStringList out;
    for (t.first(); !t.eof(); t.next()) out << recordText(t, QStringLiteral("PODOTD"));
    return out;
}

} // namespace

BackPage GetBackPagePodotdel(AppState &state, int otd, const QString &podotd)
{
    return backPageIn(compartmentRecords(state, otd), podotd);
}

UserMessage noBackMessage(int otd, const QString &podotd)
{
    return {QStringLiteral("Описание без гръб"),
            QStringLiteral("Подотдел %1:%2 няма гръб. Извадете листа от принтера и натиснете ОК за да продължите.")
                .arg(otd)
                .arg(podotd),
            UserMessage::Icon::Information,
            {}};
}

PrintRunResult printListTwoSided(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                                 PageSink &sink, const PrintRunOptions &options,
                                 const std::function<bool(int count)> &confirmBack,
                                 const std::function<void(const UserMessage &)> &noBack)
{
    PrintRunOptions fronts = options;
    fronts.sheets = false;
    PrintRunResult r = printDescriptions(state, composer, entries, sink, fronts);
    if (r.stopped || r.failed) return r;
    if (confirmBack && !confirmBack(int(entries.size()))) {
        r.cancelled = true;
        return r;
    }
    // Each compartment's record order is read once, however many entries it has.
    QHash<int, QStringList> records;
    int done = 0;
    for (const RangeEntry &e : entries) {
        if (options.stop && *options.stop) {
            r.stopped = true;
            break;
        }
        auto it = records.find(e.otd);
        if (it == records.end()) it = records.insert(e.otd, compartmentRecords(state, e.otd));
        const BackPage back = backPageIn(*it, e.podotd);
        if (back.kind == BackPage::Kind::NoBack) {
            if (noBack) noBack(noBackMessage(e.otd, e.podotd));
            continue;
        }
        if (back.kind == BackPage::Kind::NotFound) continue;
        if (!composer.compose(e.otd, back.podotd, options.report)) continue;
        if (!printAsJob(sink, composer.report())) {
            r.failed = true;
            break;
        }
        ++r.descriptions;
        ++done;
        const RangeEntry printed{e.otd, back.podotd};
        if (options.progress) options.progress(done);
        if (options.printed) options.printed(done, printed);
    }
    return r;
}

} // namespace dx
