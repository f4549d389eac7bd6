// Quoted texts of filter expressions and local SQL statements: a text runs from its
// opening quote to the next lone quote of the same kind, and two quotes inside it stand
// for one. One reader and one writer, so that what the writer makes always reads back.
#pragma once

#include <cstddef>
#include <string>

namespace dx {

// The content of the quoted text whose opening quote (' or ") is at `source[pos]`, its
// doubled quotes made single; `pos` moves past the closing quote. Throws
// EngineError(source, notClosed) when the text has no closing quote.
std::string readQuoted(const std::string &source, size_t &pos, const char *notClosed);

// `text` between two `quote` characters, every `quote` inside it doubled.
std::string writeQuoted(const std::string &text, char quote);

} // namespace dx
