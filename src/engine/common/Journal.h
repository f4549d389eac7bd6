// Changes written into a file in place (a dBase record, a Paradox block and the header)
// made safe against a crash or a power cut by a journal of the bytes they replace.
//
// Before the file is touched, the old bytes of every changed range, the file's old
// length and a checksum of the new bytes go to "<file>.jnl", which is flushed to the
// disk with its folder. Then the file is written and flushed, and the journal removed.
// A journal found later (the program was killed or the power went in between) is
// settled by the next program that opens the file, under its lock: a journal that is
// not whole means the file was never touched; a file that already holds all the new
// bytes keeps them; anything else gets its old bytes and length back. So the file is
// always either as before the change or as after it.
#pragma once

#include "engine/common/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dx::platform {

class InPlaceChange {
public:
    // `path` names the file `file` is open on (for the journal's name and messages).
    InPlaceChange(WritableFile &file, const std::string &path);

    // Puts `bytes` at `at` (past the end of the file is fine: the file grows). Ranges
    // must not overlap.
    void put(uint64_t at, std::string bytes);
    bool empty() const { return changes_.empty(); }

    // Writes the journal, the changes and their flushes, then removes the journal. An
    // error on the way is thrown with its reason after the file has been given its old
    // bytes back; if even that fails, the journal stays and the next open undoes the
    // change.
    void commit();

private:
    struct Change {
        uint64_t at;
        std::string bytes;
    };
    WritableFile &file_;
    std::string path_;
    std::vector<Change> changes_;
};

enum class Recovery {
    None,       // no journal
    Unstarted,  // a journal cut short: the file was never touched; the journal is gone
    Completed,  // the file held the whole change: kept, the journal is gone
    RolledBack, // the file had part of the change: its old bytes are back
};

// The journal's name for a file (beside the file a symbolic link names).
std::string journalPathFor(const std::string &path);

// Settles a journal left beside `path` by an interrupted change (see above). Call with
// the file's lock held. Throws EngineError when the journal is there but the file cannot
// be put right (then nothing should read or write it).
Recovery recoverInterruptedChange(const std::string &path);

// A reader's way in: settles a left-over journal (taking the file's lock for it) and
// then holds the lock shared while the caller copies the file.
class ReadGuard {
public:
    explicit ReadGuard(const std::string &path);

private:
    FileLock lock_;
};

} // namespace dx::platform
