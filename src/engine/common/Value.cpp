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

static std::string trimmed(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

int64_t Value::toInt(bool *ok) const
{
    if (ok) *ok = true;
    switch (kind) {
    case Int:
    case Bool: return i;
    case Real: return static_cast<int64_t>(d);
    case Text: {
        std::string t = trimmed(s);
        int64_t v = 0;
        auto res = std::from_chars(t.data(), t.data() + t.size(), v);
        if (!t.empty() && res.ec == std::errc() && res.ptr == t.data() + t.size()) return v;
        if (ok) *ok = false;
        return 0;
    }
    case Null: break;
    }
    if (ok) *ok = false;
    return 0;
}

double Value::toReal(bool *ok) const
{
    if (ok) *ok = true;
    switch (kind) {
    case Int:
    case Bool: return static_cast<double>(i);
    case Real: return d;
    case Text: {
        std::string t = trimmed(s);
        double v = 0;
        auto res = std::from_chars(t.data(), t.data() + t.size(), v);
        if (!t.empty() && res.ec == std::errc() && res.ptr == t.data() + t.size()) return v;
        if (ok) *ok = false;
        return 0;
    }
    case Null: break;
    }
    if (ok) *ok = false;
    return 0;
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
