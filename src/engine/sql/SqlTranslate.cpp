// Legacy local SQL to SQLite: table files in double quotes become virtual tables, other
// double-quoted tokens become escaped string literals. Everything else passes through.
#include "engine/sql/SqlTranslate.h"

#include "engine/sql/QuotedText.h"

#include <cctype>
#include <vector>

namespace dx::sql {

namespace {

enum class Kind { Space, Word, Number, DoubleQuoted, SingleQuoted, Symbol };

struct Token {
    Kind kind;
    std::string text;  // the source text (for quoted tokens: the content, unescaped)
};

bool isWordChar(unsigned char c)
{
    return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80;
}

std::vector<Token> tokenize(const std::string &s)
{
    std::vector<Token> out;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = s[i];
        if (std::isspace(c)) {
            size_t j = i;
            while (j < s.size() && std::isspace(static_cast<unsigned char>(s[j]))) ++j;
            out.push_back({Kind::Space, s.substr(i, j - i)});
            i = j;
        } else if (c == '"' || c == '\'') {
            std::string content = readQuoted(s, i, "a quoted text is not closed");
            out.push_back({c == '"' ? Kind::DoubleQuoted : Kind::SingleQuoted, std::move(content)});
        } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            size_t j = i;
            while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '.')) ++j;
            out.push_back({Kind::Number, s.substr(i, j - i)});
            i = j;
        } else if (isWordChar(c)) {
            size_t j = i;
            while (j < s.size() && isWordChar(static_cast<unsigned char>(s[j]))) ++j;
            out.push_back({Kind::Word, s.substr(i, j - i)});
            i = j;
        } else {
            // Two-character operators stay together.
            if (i + 1 < s.size()) {
                std::string two = s.substr(i, 2);
                if (two == "<>" || two == "<=" || two == ">=" || two == "!=" || two == "||") {
                    out.push_back({Kind::Symbol, two});
                    i += 2;
                    continue;
                }
            }
            out.push_back({Kind::Symbol, std::string(1, static_cast<char>(c))});
            ++i;
        }
    }
    return out;
}

std::string upper(const std::string &w)
{
    std::string u;
    for (char c : w) u += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

bool endsFromList(const std::string &u)
{
    static const char *words[] = {"WHERE", "GROUP", "ORDER", "HAVING", "UNION", "LIMIT",
                                  "ON", "USING", "EXCEPT", "INTERSECT"};
    for (const char *w : words)
        if (u == w) return true;
    return false;
}

bool isJoinWord(const std::string &u)
{
    return u == "JOIN" || u == "INNER" || u == "LEFT" || u == "RIGHT" || u == "OUTER" ||
           u == "CROSS" || u == "NATURAL" || u == "FULL";
}

} // namespace

std::string quoteText(const std::string &value)
{
    return writeQuoted(value, '"');
}

std::string translate(const std::string &statement,
                      const std::function<std::string(const std::string &)> &tableName)
{
    enum class State { Normal, TableExpected, AfterTable };
    State state = State::Normal;
    std::string out;
    for (const Token &t : tokenize(statement)) {
        if (t.kind == Kind::Space) {
            out += t.text;
            continue;
        }
        std::string u = t.kind == Kind::Word ? upper(t.text) : std::string();
        switch (state) {
        case State::Normal:
            if (u == "FROM") state = State::TableExpected;
            break;
        case State::TableExpected:
            if (t.kind == Kind::DoubleQuoted) {
                out += tableName(t.text);
                state = State::AfterTable;
                continue;
            }
            if (t.kind == Kind::Word && !isJoinWord(u)) state = State::AfterTable;
            else if (t.kind == Kind::Symbol && t.text == "(") state = State::Normal; // subquery
            break;
        case State::AfterTable:
            if (t.kind == Kind::Symbol && t.text == ",") state = State::TableExpected;
            else if (t.kind == Kind::Word && isJoinWord(u)) state = State::TableExpected;
            else if (t.kind == Kind::Word && endsFromList(u)) state = State::Normal;
            else if (t.kind == Kind::Word && u == "AS") { /* alias follows */ }
            else if (t.kind == Kind::Word) { /* alias */ }
            else state = State::Normal;
            break;
        }
        switch (t.kind) {
        case Kind::DoubleQuoted:
        case Kind::SingleQuoted: out += writeQuoted(t.text, '\''); break;
        default: out += t.text; break;
        }
    }
    return out;
}

} // namespace dx::sql
