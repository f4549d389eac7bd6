// Fuzzes profile files (the settings file and saved sieves): any bytes either load or
// throw ProfileError. A loaded file gives back exactly its bytes; every key it lists
// reads; the settings and the saved-sieve readers take it; and a write of one key reads
// back as written while every other key reads as before.
#include "FuzzCommon.h"

#include "core/ProfileFile.h"
#include "core/Settings.h"
#include "engine/common/Codepage.h"
#include "sieves/SieveClause.h"
#include "sieves/SieveFile.h"

#include <QString>

#include <cstdint>
#include <string>

namespace {

// The value to write: a slice of the input read as code page 1251, line breaks left out.
QString valueFrom(const std::string &bytes)
{
    std::string v = bytes.substr(bytes.size() / 2, 24);
    std::string kept;
    for (char c : v)
        if (c != '\r' && c != '\n' && c != '\0') kept += c;
    return QString::fromStdString(dx::cp::cp1251ToUtf8(kept));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 64 * 1024) return 0;
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::string path = dxfuzz::writeInput(data, size, ".ini");
    dx::ProfileFile file;
    try {
        file = dx::ProfileFile::load(QString::fromStdString(path));
    } catch (const dx::ProfileError &) {
        return 0;
    }
    if (file.bytes() != input) dxfuzz::fail("a loaded file does not give back its own bytes");

    for (const QString &s : file.sections()) {
        if (!file.hasSection(s.toUpper()) || !file.hasSection(s.toLower())) dxfuzz::fail("section not found by case");
        for (const QString &k : file.keys(s)) {
            if (!file.hasKey(s, k)) dxfuzz::fail("listed key not found", k.toStdString());
            (void)file.readInteger(s, k, 0);
        }
    }
    (void)dx::readStartupSettings(file);
    (void)dx::readExportChoices(file);
    dx::SieveCriteria criteria;
    (void)dx::ReadSito(file, criteria);
    (void)dx::composeSelectionClause(criteria);
    (void)dx::criteriaText(criteria);

    // One write: into the first section (or a new one), a key of the input's own.
    const QStringList sections = file.sections();
    const QString section = sections.isEmpty() ? QStringLiteral("Fuzz") : sections.front();
    const QStringList keys = file.keys(section);
    const QString key = keys.isEmpty() ? QStringLiteral("key") : keys.back();
    const QString value = valueFrom(input);
    dx::ProfileFile written = file;
    try {
        written.writeString(section, key, value);
    } catch (const dx::ProfileError &) {
        return 0; // a name or value the file cannot hold: refused, buffer unchanged
    }
    const std::string again = dxfuzz::scratchPath(".written.ini");
    dxfuzz::writeBytes(again, written.bytes());
    dx::ProfileFile reread;
    try {
        reread = dx::ProfileFile::load(QString::fromStdString(again));
    } catch (const dx::ProfileError &) {
        // The one way a written file may be refused: the write made it read as UTF-8.
        if (!dx::cp::isValidUtf8(written.bytes())) dxfuzz::fail("a written file does not load again");
        return 0;
    }
    if (reread.readString(section, key, QStringLiteral("\x01missing")) != value)
        dxfuzz::fail("written value does not read back", value.toStdString());
    for (const QString &s : sections)
        for (const QString &k : file.keys(s)) {
            if (s.compare(section, Qt::CaseInsensitive) == 0 && k.compare(key, Qt::CaseInsensitive) == 0) continue;
            if (reread.readString(s, k) != file.readString(s, k))
                dxfuzz::fail("a write changed another key", (s + u'/' + k).toStdString());
        }
    return 0;
}
