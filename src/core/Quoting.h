// Texts spliced into expressions and numbers read from typed texts, in one place so that
// no input can end a constant early and every compartment number is read alike.
#pragma once

#include <QString>

#include <optional>

namespace dx {

// A filter constant: in single quotes, a quote inside doubled ("O'Neil" -> 'O''Neil').
QString filterQuoted(const QString &text);
// A local-SQL constant or table path: in double quotes, a quote inside doubled.
QString sqlQuoted(const QString &text);

// A whole number typed or chosen as text: a compartment, a land-area number, a height.
// Blanks around it are allowed, then an optional sign and decimal digits; nothing when
// the text is anything else or does not fit an int. Every such text goes through here,
// so one text is one number wherever it is read.
std::optional<int> wholeNumber(const QString &text);

} // namespace dx
