// Profile files (the settings file, saved sieves): sections in square brackets and
// key=value lines in code page 1251, read and written the way Windows treats them.
// Section and key names match without regard to letter case; values lose surrounding
// blanks and one pair of quotes; a write changes one line and keeps every other byte of
// the file, so comments, spacing and foreign sections survive.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace dx {

// A profile file that cannot be read, is not code page 1251 text, or cannot be written.
// The message (UTF-8 in what()) names the file and the reason, in Bulgarian.
class ProfileError : public std::runtime_error {
public:
    explicit ProfileError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// No settings file or saved sieve comes near this size (a few kilobytes are usual): a
// larger file is not one of them, and is refused before it is read into memory.
inline constexpr uint64_t kMaxProfileFileSize = 8 * 1024 * 1024;

class ProfileFile {
public:
    // An empty profile with no file behind it (save() then needs setPath()).
    ProfileFile() = default;

    // The file's contents. A missing file is an empty profile that save() creates.
    // Throws ProfileError when the file cannot be read or is not code page 1251 text
    // (NUL bytes, a UTF-8 byte order mark, or Cyrillic that is valid UTF-8), and when the
    // path names a folder, a named pipe or a device, or a file over kMaxProfileFileSize.
    // The path may use `\` or `/` and any letter case.
    static ProfileFile load(const QString &path);

    // A value as reading takes it from the text after "=": surrounding blanks stripped,
    // then one pair of quotes (the same quote at both ends). A name loses its blanks.
    static QString valueAsRead(const QString &written);
    static QString nameAsRead(const QString &written);

    // The file on disk that save() writes.
    const QString &path() const { return path_; }
    void setPath(const QString &path) { path_ = path; }

    // Value of the key in the first section of that name, or `defaultValue` when the
    // section or key is missing.
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // The value as a decimal integer (optional sign, digits, surrounding blanks); a
    // missing, non-numeric or out-of-range value gives `defaultValue`.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;

    bool hasSection(const QString &section) const;
    bool hasKey(const QString &section, const QString &key) const;
    // Names as they stand in the file, in file order, each name once.
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    // Sets the key in the buffer. An existing key's line becomes key=value with the key
    // spelt as in the file; a missing key goes after the last key of its section; a
    // missing section is added at the end. A value with surrounding blanks or its own
    // pair of quotes is written in quotes so that it reads back unchanged.
    // Throws ProfileError (buffer unchanged) when a name or the value cannot stand in
    // the file: not code page 1251, a line break, "=" in a key, "]" in a section.
    void writeString(const QString &section, const QString &key, const QString &value);

    // A write changed the buffer since load.
    bool isModified() const { return modified_; }
    // The bytes that save() writes.
    std::string bytes() const;
    // Replaces the file atomically, holding the file's lock: the file is read again
    // under the lock and only the keys written since load are applied to it, so that
    // another program's keys saved in between survive. Afterwards the buffer holds
    // what was saved. Throws ProfileError naming the file on failure.
    void save();

private:
    enum class Kind : uint8_t { Other, Header, Key };
    struct Line {
        std::string raw; // bytes as in the file, without the line end
        std::string eol; // "\r\n", "\n", "\r", or "" on a last line without one
        Kind kind = Kind::Other;
        QString name;    // section or key name as written, stripped of blanks
        QString value;   // key value, stripped of blanks and one pair of quotes
    };
    struct Section {
        std::vector<Line> lines; // lines[0] is the header, except in the lead-in
        QHash<QString, int> keyIndex; // folded key name -> its first line
        void reindex();
    };

    static Line parseLine(std::string raw, std::string eol);
    static bool isBlankLine(const Line &line);
    const Line *findKey(const QString &section, const QString &key) const;
    int findSection(const QString &section) const;
    std::string encodeLine(const QString &text, const QString &section, const QString &key) const;
    void appendSection(const QString &section, Line keyLine);

    // A key written since load, to be applied again to the file as it is at save.
    struct PendingWrite {
        QString section, key, value;
    };

    QString path_;
    std::vector<PendingWrite> pending_;
    std::vector<Section> sections_{1}; // [0]: lines before the first header; no values
    QHash<QString, int> sectionIndex_; // folded name -> first section of that name
    bool modified_ = false;
};

// Load, set one key, save: the single-key write that leaves every other line as it was.
// The file is not rewritten when the key already reads as that value.
void writeProfileString(const QString &path, const QString &section, const QString &key, const QString &value);

} // namespace dx
