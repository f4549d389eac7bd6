// Reading the project catalogue.
#include "core/ProjectCatalogue.h"

#include "core/QtText.h"
#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"

#include <algorithm>
#include <stdexcept>

namespace dx {
namespace {

// Widths of the project list's fields; longer texts are cut.
constexpr int kWidths[7] = {3, 32, 8, 128, 20, 254, 254};
// A catalogue line is at most some 700 bytes: no real catalogue comes near this size.
constexpr uint64_t kMaxCatalogueSize = 16 * 1024 * 1024;

} // namespace

ProjectEntry parseCatalogueLine(const QString &line)
{
    QString fields[7];
    QString rest = line;
    for (int i = 0; i < 6; ++i) {
        int semi = rest.indexOf(QLatin1Char(';'));
        if (semi < 0) {
            fields[i] = rest;
            rest.clear();
        } else {
            fields[i] = rest.left(semi);
            rest = rest.mid(semi + 1);
        }
    }
    fields[6] = rest;
    for (int i = 0; i < 7; ++i) fields[i].truncate(kWidths[i]);
    return {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]};
}

QVector<ProjectEntry> readProjectCatalogue(const QString &path)
{
    std::string bytes;
    try {
        bytes = io::readFile(io::resolve(".", ss(path)), kMaxCatalogueSize);
    } catch (const EngineError &e) {
        throw std::runtime_error(e.what());
    }
    QString text = qs(cp::cp1251ToUtf8(bytes));
    QVector<ProjectEntry> out;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n')) ++end;
        QString line = text.mid(start, end - start);
        if (!line.trimmed().isEmpty()) out.push_back(parseCatalogueLine(line));
        if (end < text.size() && text[end] == QLatin1Char('\r') && end + 1 < text.size() &&
            text[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    return out;
}

void sortByName(QVector<ProjectEntry> &entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ProjectEntry &a, const ProjectEntry &b) { return a.bgname < b.bgname; });
}

} // namespace dx
