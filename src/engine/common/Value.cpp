// Cell values: conversions between numbers and text in the engine's own text form.
#include "engine/common/Value.h"

#include "engine/common/Codepage.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace dx {

std::string formatReal(double v)
{
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    if (v == 0) return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    // to_chars picks scientific form for large/small magnitudes; keep plain decimals
    // for the range that tables hold.
    if (s.find('e') != std::string::npos && std::fabs(v) < 1e15 && std::fabs(v) >= 1e-6) {
        res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
        s.assign(buf, res.ptr);
    }
    return s;
}

std::string Value::toText() const
{
    switch (kind) {
    case Null: return {};
    case Int: return std::to_string(i);
    case Real: return formatReal(d);
    case Text: return s;
    case Bool: return i ? "True" : "False";
    }
    return {};
}

namespace {

std::string trimmed(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// A number of type T from any value: numbers and logicals convert directly (a real
// loses its fraction toward zero when T is whole), text when all of it but the blanks
// around it is a number of that type. Anything else is 0 with `ok` false.
template <class T>
T toNumber(const Value &v, bool *ok)
{
    if (ok) *ok = true;
    switch (v.kind) {
    case Value::Int:
    case Value::Bool: return static_cast<T>(v.i);
    case Value::Real: return static_cast<T>(v.d);
    case Value::Text: {
        std::string t = trimmed(v.s);
        T n = 0;
        auto res = std::from_chars(t.data(), t.data() + t.size(), n);
        if (!t.empty() && res.ec == std::errc() && res.ptr == t.data() + t.size()) return n;
        if (ok) *ok = false;
        return 0;
    }
    case Value::Null: break;
    }
    if (ok) *ok = false;
    return 0;
}

} // namespace

int64_t Value::toInt(bool *ok) const
{
    return toNumber<int64_t>(*this, ok);
}

double Value::toReal(bool *ok) const
{
    return toNumber<double>(*this, ok);
}

bool sameFieldName(const std::string &a, const std::string &b)
{
    if (a.size() != b.size()) {
        // Cyrillic letters keep their byte length when folded, so sizes must match.
        return false;
    }
    return cp::foldCase(a) == cp::foldCase(b);
}

} // namespace dx
