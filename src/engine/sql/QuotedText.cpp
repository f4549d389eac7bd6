// Reading and writing quoted texts with doubled quotes.
#include "engine/sql/QuotedText.h"

#include "engine/common/EngineError.h"

namespace dx {

std::string readQuoted(const std::string &source, size_t &pos, const char *notClosed)
{
    const char quote = source[pos];
    std::string content;
    size_t j = pos + 1;
    while (j < source.size()) {
        if (source[j] == quote) {
            if (j + 1 < source.size() && source[j + 1] == quote) {
                content += quote;
                j += 2;
                continue;
            }
            pos = j + 1;
            return content;
        }
        content += source[j++];
    }
    throw EngineError(source, notClosed);
}

std::string writeQuoted(const std::string &text, char quote)
{
    std::string out(1, quote);
    for (char c : text) {
        if (c == quote) out += quote;
        out += c;
    }
    out += quote;
    return out;
}

} // namespace dx
