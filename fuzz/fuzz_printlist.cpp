// Fuzzes the list files of list printing and of the export window: the first byte chooses
// the separator (one a user would type, any Latin-1 character, or the export window's
// reading with a blank), the rest is the file. Every pair read is well-formed (a whole
// compartment number, a sub-compartment of at most 8 characters without blanks at its
// ends, control characters or halves of a surrogate pair), no pair comes twice, and the
// pairs, the repeated lines and the bad line the reader reports are those of the file,
// whose lines end with CR LF, LF or a CR alone.
#include "FuzzCommon.h"

#include "engine/common/Codepage.h"
#include "export/ExportRun.h"
#include "printing/PrintList.h"

#include <QStringDecoder>

#include <cstdint>
#include <string>

namespace {

// The text the reader sees: UTF-8 when the bytes read as such, else code page 1251.
QString decoded(const std::string &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(QByteArray::fromStdString(bytes));
    if (utf8.hasError()) text = QString::fromStdString(dx::cp::cp1251ToUtf8(bytes));
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

std::string show(const dx::RangeEntry &e) { return std::to_string(e.otd) + ":" + e.podotd.toStdString(); }

void checkWellFormed(const dx::RangeEntry &e)
{
    const QString &p = e.podotd;
    if (p.size() > 8) dxfuzz::fail("a sub-compartment longer than 8 characters", show(e));
    if (!p.isEmpty() && (p.front().isSpace() || p.back().isSpace()))
        dxfuzz::fail("a sub-compartment with blanks at its ends", show(e));
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            dxfuzz::fail("a sub-compartment holding a control character or a line break", show(e));
        if (c.isHighSurrogate() && (i + 1 == p.size() || !p[i + 1].isLowSurrogate()))
            dxfuzz::fail("a sub-compartment ending in half a surrogate pair", show(e));
        if (c.isLowSurrogate() && (i == 0 || !p[i - 1].isHighSurrogate()))
            dxfuzz::fail("a sub-compartment starting with half a surrogate pair", show(e));
    }
}

// What the file holds, line by line: the first occurrence of each pair, the later ones
// with their line numbers, and the first line whose compartment is not a number.
struct Expected {
    QVector<dx::RangeEntry> entries;
    QStringList repeated;
    int badLine = 0;
};

Expected expectedOf(const QString &text, QChar separator)
{
    Expected x;
    // Lines end with CR LF, LF or a CR alone.
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
            lines << current;
            current.clear();
            if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
        } else {
            current += text[i];
        }
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.trimmed().isEmpty()) continue;
        const qsizetype at = line.indexOf(separator);
        bool ok = false;
        const int otd = (at < 0 ? line : line.left(at)).trimmed().toInt(&ok);
        if (!ok) {
            x.badLine = int(i + 1);
            break;
        }
        dx::RangeEntry e{otd, {}};
        if (at >= 0) {
            const QString rest = line.mid(at + 1);
            qsizetype from = 0;
            while (from < rest.size() && rest[from].isSpace()) ++from;
            // Eight characters at most (a pair of surrogates is one), no control characters.
            for (qsizetype k = from; k < rest.size() && e.podotd.size() < 8; ++k) {
                const QChar c = rest[k];
                if (c.isHighSurrogate() && k + 1 < rest.size() && rest[k + 1].isLowSurrogate()) {
                    if (e.podotd.size() + 2 > 8) break;
                    e.podotd += c;
                    e.podotd += rest[++k];
                    continue;
                }
                if (c.isSurrogate() || c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                    c == QChar::ParagraphSeparator)
                    break;
                e.podotd += c;
            }
            while (!e.podotd.isEmpty() && e.podotd.back().isSpace()) e.podotd.chop(1);
        }
        if (x.entries.contains(e)) x.repeated << QString::number(otd) + u':' + e.podotd + QStringLiteral(" (ред ") +
                                                     QString::number(i + 1) + u')';
        else x.entries.push_back(e);
    }
    return x;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 8192) return 0;
    static const char16_t typed[] = {u' ', u';', u',', u'\t', u':', u'/', u'.', u'|', u'-', u'а', u'=', u'№'};
    const unsigned b = data[0];
    const bool exportList = b == 255;
    const QChar separator = exportList ? QChar(u' ') : b < std::size(typed) ? QChar(typed[b]) : QChar(char16_t(b));
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string path = dxfuzz::writeInput(data + 1, size - 1, ".lst");

    int errors = 0, notices = 0;
    QString badDetail, repeatedText;
    auto report = [&](const dx::UserMessage &m) {
        if (m.icon == dx::UserMessage::Icon::Error) {
            ++errors;
            badDetail = m.detail;
        } else if (m.icon == dx::UserMessage::Icon::Information) {
            ++notices;
            repeatedText = m.text;
        } else {
            dxfuzz::fail("an unexpected message", m.text.toStdString());
        }
    };
    const QString file = QString::fromStdString(path);
    const std::optional<dx::PrintListFile> read =
        exportList ? dx::loadExportList(file, report) : dx::loadPrintList(file, QString(separator), report);
    if (!read) dxfuzz::fail("a separator refused");

    std::string all;
    for (const dx::RangeEntry &e : read->entries) {
        checkWellFormed(e);
        all += show(e) + "\n";
    }
    for (qsizetype i = 0; i < read->entries.size(); ++i)
        for (qsizetype j = i + 1; j < read->entries.size(); ++j)
            if (read->entries[i] == read->entries[j]) dxfuzz::fail("a pair read twice", show(read->entries[i]));

    const Expected x = expectedOf(decoded(bytes), separator);
    if (read->entries != x.entries) dxfuzz::fail("the pairs are not those of the file", all);
    if (read->complete != (x.badLine == 0) || errors != (x.badLine ? 1 : 0))
        dxfuzz::fail("the reading stopped elsewhere than at the bad line", std::to_string(x.badLine));
    if (x.badLine && !badDetail.endsWith(QStringLiteral(", ред ") + QString::number(x.badLine)))
        dxfuzz::fail("the bad line is misnamed", badDetail.toStdString() + " / " + std::to_string(x.badLine));
    if (notices != (x.repeated.isEmpty() ? 0 : 1)) dxfuzz::fail("the repeated pairs are not reported once");
    if (!x.repeated.isEmpty()) {
        QStringList shown = repeatedText.split(QStringLiteral("\r\n"));
        shown.removeFirst();
        QStringList want = x.repeated.mid(0, 10);
        if (x.repeated.size() > 10) want << QStringLiteral("... (+%1)").arg(x.repeated.size() - 10);
        if (shown != want)
            dxfuzz::fail("the repeated pairs reported are not those of the file",
                         repeatedText.toStdString() + "\n---\n" + want.join(u'\n').toStdString());
    }
    return 0;
}
