// The single error type of the table engine: every failure names the file (or the
// statement) and the reason, so that callers can show a message the user can act on.
#pragma once

#include <stdexcept>
#include <string>

namespace dx {

class EngineError : public std::runtime_error {
public:
    EngineError(const std::string &subject, const std::string &reason)
        : std::runtime_error(subject.empty() ? reason : subject + ": " + reason),
          subject_(subject), reason_(reason) {}
    const std::string &subject() const { return subject_; }
    const std::string &reason() const { return reason_; }

private:
    std::string subject_;
    std::string reason_;
};

// A protected table was opened without the right password.
class PasswordError : public EngineError {
public:
    using EngineError::EngineError;
};

// A writer that waited for a file's lock in vain. holder() names who holds it ("process
// 1234"), empty when the system cannot tell.
class LockBusyError : public EngineError {
public:
    LockBusyError(const std::string &path, const std::string &reason, std::string holder)
        : EngineError(path, reason), holder_(std::move(holder)) {}
    const std::string &holder() const { return holder_; }

private:
    std::string holder_;
};

// A change refused because the table file changed under the caller after it was read:
// the record it meant is no longer where and what it was. The caller reloads the table.
class StaleRecordError : public EngineError {
public:
    explicit StaleRecordError(const std::string &path)
        : EngineError(path, "the table was changed by another program after it was read (the record was changed, "
                            "deleted or moved); reload it and make the change again") {}
};

} // namespace dx
