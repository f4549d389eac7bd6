// Fuzzes the project catalogue "project.conf": any bytes either read or throw. Every
// non-blank line is one project, every field within the project list's width, and the
// fields of a line that needed no cutting join back into the line.
#include "FuzzCommon.h"

#include "core/ProjectCatalogue.h"
#include "engine/common/Codepage.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 256 * 1024) return 0;
    const std::string path = dxfuzz::writeInput(data, size, ".conf");
    QVector<dx::ProjectEntry> entries;
    try {
        entries = dx::readProjectCatalogue(QString::fromStdString(path));
    } catch (const std::runtime_error &) {
        return 0;
    }
    // Lines counted independently: CR LF, LF and CR each end one.
    const QString text = QString::fromStdString(
        dx::cp::cp1251ToUtf8(std::string_view(reinterpret_cast<const char *>(data), size)));
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines;
    for (const QString &l : unified.split(u'\n'))
        if (!l.trimmed().isEmpty()) lines << l;
    if (lines.size() != entries.size())
        dxfuzz::fail("projects and non-blank lines differ in number",
                     std::to_string(lines.size()) + " lines, " + std::to_string(entries.size()) + " projects");

    static const int widths[7] = {3, 32, 8, 128, 20, 254, 254};
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const dx::ProjectEntry &e = entries[i];
        const QString fields[7] = {e.activ, e.direkcia, e.vid, e.bgname, e.godina, e.tabl, e.zemnom};
        bool cut = false;
        for (int f = 0; f < 7; ++f) {
            if (fields[f].size() > widths[f]) dxfuzz::fail("a field wider than its column");
            cut = cut || fields[f].size() == widths[f];
        }
        if (cut) continue;
        // Seven fields, or fewer when the line ran out: joined again they are the line.
        QStringList parts(std::begin(fields), std::end(fields));
        const int present = int(lines[i].count(u';')) >= 6 ? 7 : int(lines[i].count(u';')) + 1;
        if (parts.mid(0, present).join(u';') != lines[i])
            dxfuzz::fail("the fields do not join back into their line", lines[i].toStdString());
        for (int f = present; f < 7; ++f)
            if (!fields[f].isEmpty()) dxfuzz::fail("a field beyond the end of its line");
    }
    return 0;
}
