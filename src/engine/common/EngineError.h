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

} // namespace dx
