// Reading the project catalogue.
#include "core/ProjectCatalogue.h"

#include "core/QtText.h"
#include "core/SafeFileWrite.h"
#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Platform.h"

#include <QStringList>

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
    // A catalogue is text: binary bytes would read as projects with nonsense names.
    if (bytes.find('\0') != std::string::npos)
        throw std::runtime_error(ss(QStringLiteral("Файлът %1 не е текстов файл: съдържа нулеви байтове.").arg(path)));
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

const QString &fieldOf(const ProjectEntry &e, CatalogueField f)
{
    switch (f) {
    case CatalogueField::Direkcia: return e.direkcia;
    case CatalogueField::Vid: return e.vid;
    case CatalogueField::Godina: return e.godina;
    case CatalogueField::Bgname: break;
    }
    return e.bgname;
}

void sortCatalogue(QVector<ProjectEntry> &entries, CatalogueField f, bool ascending)
{
    std::stable_sort(entries.begin(), entries.end(), [f, ascending](const ProjectEntry &a, const ProjectEntry &b) {
        return ascending ? fieldOf(a, f) < fieldOf(b, f) : fieldOf(b, f) < fieldOf(a, f);
    });
}

int findNextEntry(const QVector<ProjectEntry> &entries, CatalogueField f, int current, const QString &text)
{
    if (text.isEmpty()) return -1;
    const int n = int(entries.size());
    for (int step = 1; step < n + (current < 0 ? 1 : 0); ++step) {
        const int i = ((current < 0 ? -1 : current) + step) % n;
        if (fieldOf(entries[i], f).startsWith(text, Qt::CaseInsensitive)) return i;
    }
    return -1;
}

int findEntry(const QVector<ProjectEntry> &entries, const QString &title, const QString &year)
{
    for (int i = 0; i < entries.size(); ++i)
        if (entryTitle(entries[i]).compare(title, Qt::CaseInsensitive) == 0 &&
            entries[i].godina.compare(year, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QByteArray catalogueBytes(const QVector<ProjectEntry> &entries)
{
    QString text;
    for (const ProjectEntry &e : entries)
        text += QStringList{e.activ, e.direkcia, e.vid, e.bgname, e.godina, e.tabl, e.zemnom}.join(QLatin1Char(';')) +
                QStringLiteral("\r\n");
    const std::string bytes = cp::utf8ToCp1251(ss(text));
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

void writeProjectCatalogue(const QString &path, const QVector<ProjectEntry> &entries)
{
    const QByteArray bytes = catalogueBytes(entries);
    try {
        platform::FileLock lock(ss(path));
        writeFileSafely(path, bytes);
    } catch (const FileWriteError &) {
        throw;
    } catch (const std::exception &e) {
        throw FileWriteError(path, qs(e.what()));
    }
}

} // namespace dx
