// Filter expressions: a small recursive-descent parser and an evaluator over the
// values of one row. A field compared with a number (or with a quoted number, as in
// "COUNT='7'") compares as numbers; text compares exactly, letter case included.
#include "engine/sql/Filter.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/sql/QuotedText.h"

#include <cctype>
#include <cmath>
#include <string_view>
#include <vector>

namespace dx {

struct Filter::Node {
    enum Type { Or, And, Not, Compare } type;
    // Or, And: every term of the chain (kept flat, so that a long "a or b or c ..."
    // never recurses per term); Not: the one negated node.
    std::vector<std::unique_ptr<Node>> items;
    // Compare: each side is a field (index >= 0) or a constant.
    struct Operand {
        int field = -1;
        Value constant;
        bool numericConstant = false;
    } a, b;
    std::string op;
};

namespace {

struct Tok {
    enum Kind { End, Word, Number, Text, Op, LParen, RParen } kind;
    std::string text;
};

std::vector<Tok> lex(const std::string &e)
{
    std::vector<Tok> out;
    size_t i = 0;
    while (i < e.size()) {
        unsigned char c = e[i];
        if (std::isspace(c)) {
            ++i;
        } else if (c == '\'') {
            out.push_back({Tok::Text, readQuoted(e, i, "a quoted text in the filter is not closed")});
        } else if (c == '(') {
            out.push_back({Tok::LParen, "("});
            ++i;
        } else if (c == ')') {
            out.push_back({Tok::RParen, ")"});
            ++i;
        } else if (c == '=' || c == '<' || c == '>') {
            std::string op(1, static_cast<char>(c));
            if (i + 1 < e.size() && (e[i + 1] == '=' || (c == '<' && e[i + 1] == '>'))) op += e[i + 1];
            out.push_back({Tok::Op, op});
            i += op.size();
        } else if (std::isdigit(c) || c == '-' || c == '+' || c == '.') {
            size_t j = i + 1;
            while (j < e.size() && (std::isdigit(static_cast<unsigned char>(e[j])) || e[j] == '.')) ++j;
            out.push_back({Tok::Number, e.substr(i, j - i)});
            i = j;
        } else if (std::isalpha(c) || c == '_' || c >= 0x80) {
            size_t j = i;
            while (j < e.size() && (std::isalnum(static_cast<unsigned char>(e[j])) || e[j] == '_' ||
                                    static_cast<unsigned char>(e[j]) >= 0x80))
                ++j;
            out.push_back({Tok::Word, e.substr(i, j - i)});
            i = j;
        } else {
            throw EngineError(e, std::string("unexpected character '") + static_cast<char>(c) + "' in the filter");
        }
    }
    out.push_back({Tok::End, ""});
    return out;
}

class Parser {
public:
    Parser(const std::string &e, const TableFile &t) : expr_(e), table_(t), toks_(lex(e)) {}

    std::unique_ptr<Filter::Node> parse()
    {
        auto n = parseOr();
        if (peek().kind != Tok::End) fail("unexpected '" + peek().text + "'");
        return n;
    }

private:
    const Tok &peek() const { return toks_[pos_]; }
    Tok take() { return toks_[pos_++]; }
    bool isWord(const char *w) const { return peek().kind == Tok::Word && cp::foldCase(peek().text) == w; }
    [[noreturn]] void fail(const std::string &why) const { throw EngineError(expr_, why); }

    // Parses terms joined by `word` into one flat node (or the single term itself).
    template <typename Term>
    std::unique_ptr<Filter::Node> chain(Filter::Node::Type type, const char *word, Term term)
    {
        auto first = term();
        if (!isWord(word)) return first;
        auto n = std::make_unique<Filter::Node>();
        n->type = type;
        n->items.push_back(std::move(first));
        while (isWord(word)) {
            take();
            n->items.push_back(term());
        }
        return n;
    }

    std::unique_ptr<Filter::Node> parseOr()
    {
        return chain(Filter::Node::Or, "or", [this] { return parseAnd(); });
    }

    std::unique_ptr<Filter::Node> parseAnd()
    {
        return chain(Filter::Node::And, "and", [this] { return parseNot(); });
    }

    std::unique_ptr<Filter::Node> parseNot()
    {
        if (isWord("not") || peek().kind == Tok::LParen) {
            // Each "not" and "(" nests one level deeper in the parser and the tree.
            if (++depth_ > kMaxDepth)
                fail("the filter nests more than " + std::to_string(kMaxDepth) + " levels deep");
            std::unique_ptr<Filter::Node> n;
            if (isWord("not")) {
                take();
                n = std::make_unique<Filter::Node>();
                n->type = Filter::Node::Not;
                n->items.push_back(parseNot());
            } else {
                take();
                n = parseOr();
                if (peek().kind != Tok::RParen) fail("a parenthesis is not closed");
                take();
            }
            --depth_;
            return n;
        }
        return parseCompare();
    }

    Filter::Node::Operand operand()
    {
        Tok t = take();
        Filter::Node::Operand o;
        switch (t.kind) {
        case Tok::Word: {
            o.field = table_.fieldIndex(t.text);
            if (o.field < 0) fail("no field " + t.text + " in " + table_.path());
            break;
        }
        case Tok::Number: {
            o.constant = Value::fromText(t.text);
            bool ok = false;
            double d = o.constant.toReal(&ok);
            if (!ok) fail("'" + t.text + "' is not a number");
            o.constant = Value::fromReal(d);
            o.numericConstant = true;
            break;
        }
        case Tok::Text: o.constant = Value::fromText(t.text); break;
        default: fail(t.kind == Tok::End ? "the filter ends too early" : "unexpected '" + t.text + "'");
        }
        return o;
    }

    std::unique_ptr<Filter::Node> parseCompare()
    {
        auto n = std::make_unique<Filter::Node>();
        n->type = Filter::Node::Compare;
        n->a = operand();
        if (peek().kind != Tok::Op) fail("a comparison is expected after the first operand");
        n->op = take().text;
        n->b = operand();
        return n;
    }

    const std::string &expr_;
    const TableFile &table_;
    std::vector<Tok> toks_;
    size_t pos_ = 0;
    static constexpr int kMaxDepth = 200;
    int depth_ = 0;
};

bool isNumericField(const TableFile &t, int field)
{
    if (field < 0) return false;
    FieldType ft = t.fields()[field].type;
    return ft == FieldType::Integer || ft == FieldType::Real || ft == FieldType::Logical;
}

bool applyOrder(int cmp, const std::string &op)
{
    if (op == "=") return cmp == 0;
    if (op == "<>") return cmp != 0;
    if (op == "<") return cmp < 0;
    if (op == ">") return cmp > 0;
    if (op == "<=") return cmp <= 0;
    if (op == ">=") return cmp >= 0;
    return false;
}

// One cell as the evaluator sees it, read in place from a decoded column (text not
// copied) or from a constant.
struct Cell {
    Value::Kind kind = Value::Null;
    int64_t i = 0;
    double d = 0;
    std::string_view s;

    Value value() const
    {
        switch (kind) {
        case Value::Int: return Value::fromInt(i);
        case Value::Bool: return Value::fromBool(i != 0);
        case Value::Real: return Value::fromReal(d);
        case Value::Text: return Value::fromText(std::string(s));
        default: return Value::null();
        }
    }
    // As Value::toReal: numbers directly, text when it is a number but for the blanks
    // around it.
    double real(bool &ok) const
    {
        ok = true;
        switch (kind) {
        case Value::Int:
        case Value::Bool: return static_cast<double>(i);
        case Value::Real: return d;
        case Value::Text: return value().toReal(&ok);
        default: ok = false; return 0;
        }
    }
    // As Value::toText; `scratch` holds a text that had to be made.
    std::string_view text(std::string &scratch) const
    {
        if (kind == Value::Text) return s;
        if (kind == Value::Null) return {};
        scratch = value().toText();
        return scratch;
    }
};

// The operand's cell in `row`: its constant, or the cell of `column` (the decoded column
// of the operand's field).
Cell cellOf(const Filter::Node::Operand &o, const DecodedColumn *column, size_t row)
{
    Cell c;
    if (o.field < 0) {
        const Value &v = o.constant;
        c.kind = v.kind;
        c.i = v.i;
        c.d = v.d;
        c.s = v.s;
        return c;
    }
    const DecodedColumn &col = *column;
    if (row >= col.kind.size()) return c;
    c.kind = static_cast<Value::Kind>(col.kind[row]);
    switch (c.kind) {
    case Value::Int:
    case Value::Bool: c.i = col.number[row]; break;
    case Value::Real: c.d = col.realAt(row); break;
    case Value::Text: c.s = col.textAt(row); break;
    default: break;
    }
    return c;
}

// The expression on one row; `cellAt(operand)` gives an operand's cell in that row.
template <class CellAt>
bool evaluate(const Filter::Node &n, const TableFile &t, const CellAt &cellAt)
{
    switch (n.type) {
    case Filter::Node::Or:
        for (const auto &item : n.items)
            if (evaluate(*item, t, cellAt)) return true;
        return false;
    case Filter::Node::And:
        for (const auto &item : n.items)
            if (!evaluate(*item, t, cellAt)) return false;
        return true;
    case Filter::Node::Not: return !evaluate(*n.items.front(), t, cellAt);
    case Filter::Node::Compare: break;
    }
    const Cell va = cellAt(n.a), vb = cellAt(n.b);
    bool numeric = isNumericField(t, n.a.field) || isNumericField(t, n.b.field) ||
                   (n.a.numericConstant && n.b.numericConstant);
    if (!numeric && (n.a.numericConstant || n.b.numericConstant)) {
        // A text field against a bare number: numbers if the text is one.
        bool okA = false, okB = false;
        va.real(okA);
        vb.real(okB);
        numeric = okA && okB;
    }
    if (numeric) {
        if (va.kind == Value::Null || vb.kind == Value::Null) return n.op == "<>";
        bool okA = false, okB = false;
        const double x = va.real(okA), y = vb.real(okB);
        if (!okA || !okB) return n.op == "<>";
        return applyOrder(x < y ? -1 : (x > y ? 1 : 0), n.op);
    }
    std::string sa, sb;
    const int cmp = va.text(sa).compare(vb.text(sb));
    return applyOrder(cmp < 0 ? -1 : (cmp > 0 ? 1 : 0), n.op);
}

void fieldsOf(const Filter::Node &n, const TableFile &t, std::vector<const DecodedColumn *> &columns)
{
    for (const auto &item : n.items) fieldsOf(*item, t, columns);
    if (n.type != Filter::Node::Compare) return;
    for (int f : {n.a.field, n.b.field})
        if (f >= 0 && !columns[size_t(f)]) columns[size_t(f)] = &t.column(size_t(f));
}

const std::vector<uint32_t> kNoRows;

// The key index lookup for one "field = constant" term: the rows whose cell has the
// text form every matching cell must have. Null when the term cannot be looked up so.
const std::vector<uint32_t> *keyedRows(const Filter::Node &n, const TableFile &t)
{
    if (n.type != Filter::Node::Compare || n.op != "=") return nullptr;
    const bool fieldFirst = n.a.field >= 0 && n.b.field < 0;
    if (!fieldFirst && !(n.b.field >= 0 && n.a.field < 0)) return nullptr;
    const size_t field = size_t(fieldFirst ? n.a.field : n.b.field);
    const Filter::Node::Operand &c = fieldFirst ? n.b : n.a;
    switch (t.fields()[field].type) {
    case FieldType::Text:
        // Text against text compares exactly; a bare number may compare as a number.
        if (c.numericConstant || c.constant.kind != Value::Text) return nullptr;
        return &t.rowsWithKey(field, c.constant.s);
    case FieldType::Integer:
    case FieldType::Real: {
        bool ok = false;
        const double d = c.constant.toReal(&ok);
        if (!ok) return &kNoRows; // a number field never equals what is no number
        // -0 and 0 have two text forms; past 15 digits a whole number may be written
        // with an exponent.
        if (d == 0 || !(std::fabs(d) < 1e15)) return nullptr;
        if (t.fields()[field].type == FieldType::Real) return &t.rowsWithKey(field, formatReal(d));
        if (d != std::floor(d)) return &kNoRows;
        return &t.rowsWithKey(field, std::to_string(static_cast<long long>(d)));
    }
    default: return nullptr;
    }
}

} // namespace

const std::vector<uint32_t> *Filter::candidates(const TableFile &table) const
{
    if (!root_) return nullptr;
    if (root_->type == Node::Compare) return keyedRows(*root_, table);
    if (root_->type != Node::And) return nullptr;
    for (const auto &item : root_->items)
        if (const auto *rows = keyedRows(*item, table)) return rows;
    return nullptr;
}

Filter::Filter() = default;
Filter::~Filter() = default;
Filter::Filter(Filter &&) noexcept = default;
Filter &Filter::operator=(Filter &&) noexcept = default;

Filter Filter::compile(const std::string &expression, const TableFile &table)
{
    Filter f;
    bool blank = expression.find_first_not_of(" \t\r\n") == std::string::npos;
    if (!blank) f.root_ = Parser(expression, table).parse();
    return f;
}

bool Filter::matches(const TableFile &table, size_t row) const
{
    if (!root_) return true;
    return evaluate(*root_, table, [&](const Node::Operand &o) {
        return cellOf(o, o.field >= 0 ? &table.column(size_t(o.field)) : nullptr, row);
    });
}

std::vector<size_t> Filter::matchingRows(const TableFile &table) const
{
    std::vector<size_t> out;
    const size_t n = table.rowCount();
    if (!root_) {
        out.resize(n);
        for (size_t r = 0; r < n; ++r) out[r] = r;
        return out;
    }
    std::vector<const DecodedColumn *> columns(table.fields().size(), nullptr);
    fieldsOf(*root_, table, columns);
    // Each field's column is taken once for the pass, its cells compared in place.
    auto matchesRow = [&](size_t r) {
        return evaluate(*root_, table, [&](const Node::Operand &o) {
            return cellOf(o, o.field >= 0 ? columns[size_t(o.field)] : nullptr, r);
        });
    };
    if (const std::vector<uint32_t> *rows = candidates(table)) {
        for (uint32_t r : *rows)
            if (matchesRow(r)) out.push_back(r);
        return out;
    }
    for (size_t r = 0; r < n; ++r)
        if (matchesRow(r)) out.push_back(r);
    return out;
}

} // namespace dx
