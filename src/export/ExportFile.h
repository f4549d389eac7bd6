// A text export file that one run appends to: only the new bytes are written, flushed
// to the disk when the run ends, and when a piece cannot be written the file is cut back to
// the length it had before the run (a file the run created is removed), so a failed
// export leaves the old file as it was.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace dx {
namespace platform {
class WritableFile;
}

class ExportFile {
public:
    explicit ExportFile(const QString &path);
    ~ExportFile();
    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    const QString &path() const { return path_; }
    // Appends the text in code page 1251 followed by the trailer that separates texts
    // (one line break and two empty lines). Throws FileWriteError; the file is then
    // already back as it was before the run.
    void append(const QString &text);
    // Flushes the run's appends to the disk and closes the file. Throws FileWriteError
    // (the file then back as it was).
    void finish();
    // Undoes every append of the run (a failed run that must leave no trace).
    void rollback();

private:
    void open();

    QString path_;
    std::unique_ptr<platform::WritableFile> file_;
    bool created_ = false;   // the run made the file
    uint64_t startSize_ = 0; // its length before the run
    uint64_t size_ = 0;      // its length now
};

} // namespace dx
