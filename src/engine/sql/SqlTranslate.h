// Translation of legacy local-SQL statements into SQLite text.
#pragma once

#include <functional>
#include <string>

namespace dx::sql {

// Rewrites `statement`: a double-quoted token in a table position (after FROM, after a
// comma of the FROM list, after JOIN) is replaced by tableName(token); every other
// double-quoted token becomes a single-quoted SQLite string literal with its quotes
// escaped. Single-quoted literals are kept as they are (their quotes are already SQL).
// Inside a double-quoted token two double quotes stand for one, so a value passed
// through quoteText() below can never end its token early and change the statement.
std::string translate(const std::string &statement,
                      const std::function<std::string(const std::string &)> &tableName);

// A text value as a legacy double-quoted constant that the translation turns back
// into exactly this text, double quotes inside it included.
std::string quoteText(const std::string &value);

} // namespace dx::sql
