// Profile-file reading and single-line writing. Each line keeps its own bytes and line
// end; only the line a write touches (or the lines it adds) is encoded anew, so a file
// written by another program comes back byte for byte except for that one key.
#include "core/ProfileFile.h"

#include "core/Paths.h"
#include "core/SafeFileWrite.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/FileIO.h"
#include "engine/common/Platform.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace dx {
namespace {

const char *const kLineEnd = "\r\n";

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

QString stripBlanks(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return text.mid(b, e - b);
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

bool hasQuotePair(const QString &text)
{
    return text.size() >= 2 && isQuote(text.front()) && text.front() == text.back();
}

QString fold(const QString &name)
{
    return stripBlanks(name).toCaseFolded();
}

// True for text that has bytes above 0x7F and is valid UTF-8 throughout: a file saved
// as UTF-8. Cyrillic in code page 1251 is practically never valid UTF-8.
bool isUtf8Text(std::string_view s)
{
    bool high = false;
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        high = true;
        const size_t extra = (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : 0;
        if (extra == 0) return false;
        uint32_t cp = c & (0x3F >> extra);
        if (s.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return high;
}

void checkCp1251Text(const std::string &data, const QString &path)
{
    if (data.find('\0') != std::string::npos)
        throw ProfileError(QStringLiteral("Файлът %1 не е текстов файл в кодова таблица 1251: съдържа нулеви байтове.").arg(path));
    if (data.rfind("\xEF\xBB\xBF", 0) == 0 || isUtf8Text(data))
        throw ProfileError(QStringLiteral("Файлът %1 е записан в UTF-8, а трябва да бъде в кодова таблица 1251 (Windows-1251). "
                                          "Запишете го отново в кодова таблица 1251.").arg(path));
}

} // namespace

void ProfileFile::Section::reindex()
{
    // Walk from the end so that the first line of a key wins.
    keyIndex.clear();
    for (int i = int(lines.size()) - 1; i >= 0; --i)
        if (lines[i].kind == Kind::Key) keyIndex[lines[i].name.toCaseFolded()] = i;
}

bool ProfileFile::isBlankLine(const Line &line)
{
    if (line.kind != Kind::Other) return false;
    for (char c : line.raw)
        if (c != ' ' && c != '\t' && c != '\v' && c != '\f') return false;
    return true;
}

ProfileFile::Line ProfileFile::parseLine(std::string raw, std::string eol)
{
    Line line{std::move(raw), std::move(eol), Kind::Other, {}, {}};
    const QString text = stripBlanks(QString::fromStdString(cp::cp1251ToUtf8(line.raw)));
    if (text.isEmpty() || text.front() == u';') return line;
    if (text.front() == u'[') {
        qsizetype close = text.indexOf(u']');
        if (close > 0) {
            line.kind = Kind::Header;
            line.name = stripBlanks(text.mid(1, close - 1));
            return line;
        }
    }
    qsizetype eq = text.indexOf(u'=');
    if (eq < 0) return line;
    line.name = nameAsRead(text.left(eq));
    if (line.name.isEmpty()) return line;
    line.kind = Kind::Key;
    line.value = valueAsRead(text.mid(eq + 1));
    return line;
}

QString ProfileFile::valueAsRead(const QString &written)
{
    QString value = stripBlanks(written);
    if (hasQuotePair(value)) value = value.mid(1, value.size() - 2);
    return value;
}

QString ProfileFile::nameAsRead(const QString &written)
{
    return stripBlanks(written);
}

ProfileFile ProfileFile::load(const QString &path)
{
    ProfileFile profile;
    profile.path_ = diskPath(path);
    const std::string where = profile.path_.toStdString();
    if (!io::exists(where)) return profile;
    auto refuse = [&](const QString &reason) {
        throw ProfileError(QStringLiteral("Файлът %1 не може да бъде прочетен: %2").arg(profile.path_, reason));
    };
    // A named pipe or a device would block the read (or never end): never open one.
    std::error_code ec;
    switch (std::filesystem::status(where, ec).type()) {
    case std::filesystem::file_type::regular: break;
    case std::filesystem::file_type::directory: refuse(QStringLiteral("това е папка.")); break;
    case std::filesystem::file_type::fifo: refuse(QStringLiteral("това е именуван канал (FIFO), а не файл.")); break;
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character: refuse(QStringLiteral("това е устройство, а не файл.")); break;
    default: refuse(QStringLiteral("това не е обикновен файл.")); break;
    }
    const uintmax_t length = std::filesystem::file_size(where, ec);
    if (!ec && length > kMaxProfileFileSize)
        refuse(QStringLiteral("файлът е дълъг %1 байта, а файл с настройки или запазени критерии не е по-дълъг от %2 байта.")
                   .arg(qulonglong(length))
                   .arg(qulonglong(kMaxProfileFileSize)));
    std::string data;
    try {
        data = io::readFile(where, kMaxProfileFileSize);
    } catch (const EngineError &) {
        refuse(QStringLiteral("няма права за четене или носителят е недостъпен."));
    }
    checkCp1251Text(data, profile.path_);

    for (size_t pos = 0; pos < data.size();) {
        size_t end = data.find_first_of("\r\n", pos);
        std::string eol;
        if (end == std::string::npos) end = data.size();
        else if (data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') eol = "\r\n";
        else eol = data.substr(end, 1);
        Line line = parseLine(data.substr(pos, end - pos), eol);
        pos = end + eol.size();
        if (line.kind == Kind::Header) profile.sections_.emplace_back();
        profile.sections_.back().lines.push_back(std::move(line));
    }
    // The first section of a name wins: index from the end so earlier ones overwrite.
    for (int s = int(profile.sections_.size()) - 1; s >= 1; --s) {
        profile.sectionIndex_[fold(profile.sections_[s].lines[0].name)] = s;
        profile.sections_[s].reindex();
    }
    return profile;
}

int ProfileFile::findSection(const QString &section) const
{
    return sectionIndex_.value(fold(section), -1);
}

const ProfileFile::Line *ProfileFile::findKey(const QString &section, const QString &key) const
{
    int s = findSection(section);
    if (s < 0) return nullptr;
    const Section &sec = sections_[s];
    int i = sec.keyIndex.value(fold(key), -1);
    return i < 0 ? nullptr : &sec.lines[i];
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Line *line = findKey(section, key);
    return line ? line->value : defaultValue;
}

int ProfileFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const Line *line = findKey(section, key);
    if (!line) return defaultValue;
    const QString text = stripBlanks(line->value);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i == text.size()) return defaultValue;
    qint64 n = 0;
    for (; i < text.size(); ++i) {
        QChar c = text[i];
        if (c < u'0' || c > u'9') return defaultValue;
        n = n * 10 + (c.unicode() - u'0');
        if (n > qint64(INT_MAX) + 1) return defaultValue;
    }
    if (negative) n = -n;
    if (n > INT_MAX || n < INT_MIN) return defaultValue;
    return int(n);
}

bool ProfileFile::hasSection(const QString &section) const
{
    return findSection(section) >= 0;
}

bool ProfileFile::hasKey(const QString &section, const QString &key) const
{
    return findKey(section, key) != nullptr;
}

QStringList ProfileFile::sections() const
{
    QStringList names;
    for (size_t s = 1; s < sections_.size(); ++s)
        if (findSection(sections_[s].lines[0].name) == int(s)) names << sections_[s].lines[0].name;
    return names;
}

QStringList ProfileFile::keys(const QString &section) const
{
    QStringList names;
    int s = findSection(section);
    if (s < 0) return names;
    const Section &sec = sections_[s];
    for (int i = 0; i < int(sec.lines.size()); ++i)
        if (sec.lines[i].kind == Kind::Key && sec.keyIndex.value(sec.lines[i].name.toCaseFolded()) == i)
            names << sec.lines[i].name;
    return names;
}

std::string ProfileFile::encodeLine(const QString &text, const QString &section, const QString &key) const
{
    bool lossless = true;
    std::string bytes = cp::utf8ToCp1251(text.toStdString(), &lossless);
    if (!lossless)
        throw ProfileError(QStringLiteral("Ключът „%1“ от раздел [%2] не може да бъде записан във файла %3: "
                                          "съдържа знаци извън кодова таблица 1251.")
                               .arg(key, section, path_));
    return bytes;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = stripBlanks(section);
    const QString keyName = stripBlanks(key);
    auto refuse = [&](const QString &reason) {
        throw ProfileError(QStringLiteral("Ключът „%1“ от раздел [%2] не може да бъде записан във файла %3: %4")
                               .arg(key, section, path_, reason));
    };
    auto hasBreak = [](const QString &t) {
        return t.contains(u'\r') || t.contains(u'\n') || t.contains(QChar(0));
    };
    if (keyName.isEmpty() || keyName.contains(u'=') || keyName.front() == u'[' || keyName.front() == u';' || hasBreak(keyName))
        refuse(QStringLiteral("името на ключа е празно или съдържа „=“, „[“, „;“ или нов ред."));
    if (sectionName.contains(u']') || hasBreak(sectionName))
        refuse(QStringLiteral("името на раздела съдържа „]“ или нов ред."));
    if (hasBreak(value)) refuse(QStringLiteral("стойността съдържа нов ред."));
    pending_.push_back({section, key, value});

    // Blanks at the ends or an own pair of quotes would be lost on reading: quote them.
    QString stored = value;
    if (!value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()) || hasQuotePair(value)))
        stored = u'"' + value + u'"';

    int s = findSection(sectionName);
    if (s >= 0) {
        Section &sec = sections_[s];
        int at = sec.keyIndex.value(keyName.toCaseFolded(), -1);
        if (at >= 0) {
            Line &line = sec.lines[at];
            if (line.value == value) return; // already reads so: leave the file alone
            std::string raw = encodeLine(line.name + u'=' + stored, section, key);
            line.raw = std::move(raw);
            line.value = value;
        } else {
            std::string raw = encodeLine(keyName + u'=' + stored, section, key);
            // After the last key; in a section without keys, after its last non-blank line.
            int after = 0;
            for (int i = int(sec.lines.size()) - 1; i > 0 && after == 0; --i)
                if (sec.lines[i].kind == Kind::Key) after = i;
            if (after == 0)
                for (int i = int(sec.lines.size()) - 1; i > 0 && after == 0; --i)
                    if (!isBlankLine(sec.lines[i])) after = i;
            if (sec.lines[after].eol.empty()) sec.lines[after].eol = kLineEnd;
            sec.lines.insert(sec.lines.begin() + after + 1, Line{std::move(raw), kLineEnd, Kind::Key, keyName, value});
            sec.reindex();
        }
    } else {
        std::string header = encodeLine(u'[' + sectionName + u']', section, key);
        std::string raw = encodeLine(keyName + u'=' + stored, section, key);
        appendSection(sectionName, Line{std::move(header), kLineEnd, Kind::Header, sectionName, {}});
        Section &sec = sections_.back();
        sec.lines.push_back(Line{std::move(raw), kLineEnd, Kind::Key, keyName, value});
        sec.reindex();
    }
    modified_ = true;
}

void ProfileFile::appendSection(const QString &section, Line header)
{
    // The file's last line gets a line end, and an empty line parts the new section
    // from what stands before it.
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (it->lines.empty()) continue;
        Line &last = it->lines.back();
        if (last.eol.empty()) last.eol = kLineEnd;
        if (!isBlankLine(last)) it->lines.push_back(Line{{}, kLineEnd, Kind::Other, {}, {}});
        break;
    }
    sectionIndex_.insert(fold(section), int(sections_.size()));
    sections_.emplace_back();
    sections_.back().lines.push_back(std::move(header));
}

std::string ProfileFile::bytes() const
{
    size_t size = 0;
    for (const Section &sec : sections_)
        for (const Line &line : sec.lines) size += line.raw.size() + line.eol.size();
    std::string out;
    out.reserve(size);
    for (const Section &sec : sections_)
        for (const Line &line : sec.lines) out.append(line.raw).append(line.eol);
    return out;
}

void ProfileFile::save()
{
    const QString target = diskPath(path_);
    const std::string where = target.toStdString();
    std::optional<platform::FileLock> lock;
    try {
        lock.emplace(where);
    } catch (const LockBusyError &e) {
        const QString who = e.holder().empty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromStdString(e.holder()));
        throw ProfileError(QStringLiteral("Файлът %1 не може да бъде записан: друга програма%2 го записва в момента. "
                                          "Опитайте отново след малко.")
                               .arg(target, who));
    } catch (const EngineError &e) {
        throw ProfileError(QStringLiteral("Файлът %1 не може да бъде записан: %2")
                               .arg(target, QString::fromStdString(e.reason())));
    }
    // Another program may have saved its own keys since this buffer was read: apply ours
    // to the file as it is now, never write back a stale copy over theirs.
    ProfileFile fresh = load(target);
    for (const PendingWrite &w : pending_) fresh.writeString(w.section, w.key, w.value);
    try {
        writeFileSafely(target, QByteArray::fromStdString(fresh.bytes()));
    } catch (const FileWriteError &e) {
        throw ProfileError(e.message());
    }
    *this = std::move(fresh);
    path_ = target;
    pending_.clear();
    modified_ = false;
}

void writeProfileString(const QString &path, const QString &section, const QString &key, const QString &value)
{
    ProfileFile profile = ProfileFile::load(path);
    profile.writeString(section, key, value);
    if (profile.isModified()) profile.save();
}

} // namespace dx
