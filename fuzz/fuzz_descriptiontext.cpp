// Fuzzes the text layouts with a project record made from the input: every text field any
// bytes of code page 1251, every number any value (NaN, infinities, huge, negative, cut
// fractions), in a Paradox table, whose numbers are doubles. The record is laid out as
// the whole description (with and without the record grids), the partial description
// (the first bytes tick its blocks) and its compartment's sheet. Each text is code page
// 1251 without loss and breaks its lines with CR LF only, and a line break inside a field
// breaks no line: the layouts of the record with those breaks made blanks have as many
// lines.
//
// Input: flags (bit 0: record grids; bit 1: the compartment is 1, so the sheet has it;
// bit 2: numbers held as texts, NaN and infinities included, else non-finite ones are
// the largest doubles),
// two bytes of ticked blocks, then the fields in the project record's order. A text is a
// length byte and that many bytes; a number is a selector byte (NaN, infinities, huge
// values, a raw double, a 32-bit whole number, or a small one). Fields the input does not
// reach hold "-" and 0.
#include "FuzzCommon.h"

#include "core/AppState.h"
#include "description/ProjectRecord.h"
#include "engine/common/Codepage.h"
#include "engine/dbf/DbfFile.h"
#include "engine/paradox/ParadoxFile.h"
#include "engine/sql/Table.h"
#include "export/DescriptionText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kTextWidth = 60;

struct Setup {
    std::string dir, table;
    dx::AppState state;
    std::vector<dx::FieldDef> fields, textFields;
};

// The branch-wood table and the damage names the layouts look up, made once.
Setup &setup()
{
    static Setup *s = [] {
        auto *p = new Setup;
        // Every input writes the table, and the writer syncs it: on a disk that takes most
        // of a second, so the tables live in memory (/dev/shm) where there is one.
        p->dir = dxfuzz::scratchPath(".layout");
        if (std::filesystem::is_directory("/dev/shm"))
            p->dir = "/dev/shm/" + std::filesystem::path(p->dir).filename().string();
        std::filesystem::remove_all(p->dir);
        std::filesystem::create_directories(p->dir);
        static std::string made = p->dir;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        using dx::FieldType;
        using dx::makeField;
        std::vector<dx::FieldDef> kf = {makeField("NAME", FieldType::Text, 10), makeField("PR", FieldType::Text, 4),
                                        makeField("LINK", FieldType::Text, 6), makeField("SHORT", FieldType::Text, 6),
                                        makeField("COUNT", FieldType::Integer, 4)};
        for (int h = 3; h <= 30; ++h) kf.push_back(makeField("H" + std::to_string(h), FieldType::Integer, 4));
        auto branch = [](const char *name, const char *pr, int percent) {
            dx::Row r = {dx::Value::fromText(name), dx::Value::fromText(pr), dx::Value::fromText(""),
                         dx::Value::fromText(""), dx::Value::fromInt(0)};
            r.resize(r.size() + 28, dx::Value::fromInt(percent));
            return r;
        };
        dx::dbf::create(p->dir + "/kloni.dbf", kf, {branch("бб", "1234", 9), branch("бк", "12", 10), branch("пр", "1234", 30)});
        auto pov = [](const char *print, const char *in2) {
            return dx::Row{dx::Value::fromText("pov"), dx::Value::fromInt(1), dx::Value::fromText(print),
                           dx::Value::fromText(in2)};
        };
        dx::dbf::create(p->dir + "/names.dbf",
                        {makeField("TYPE", FieldType::Text, 4), makeField("CODE", FieldType::Integer, 4),
                         makeField("PRINT", FieldType::Text, 40), makeField("IN2", FieldType::Text, 2)},
                        {pov("корояди", "к"), pov("повреди от дивеч", "д"), pov("гъбни болести", "г")});
        p->state.programDir = QString::fromStdString(p->dir);
        p->state.title = QStringLiteral("ДГС Тест");
        p->state.year = QStringLiteral("2020");
        p->state.branchWood.setPath(p->dir + "/kloni.dbf");
        p->state.branchWood.open();
        p->state.branchWood.setFiltered(true);
        // Every number a Paradox Number (a double), so that any value reaches the layouts.
        for (const dx::ProjectField &f : dx::projectRecordFields())
            p->fields.push_back(f.type == dx::ProjectFieldType::Text
                                    ? makeField(f.name.toStdString(), FieldType::Text, kTextWidth)
                                    : makeField(f.name.toStdString(), FieldType::Real));
        // The same with numbers held as texts, the way a table made elsewhere may hold
        // them: the only way NaN and the infinities reach the layouts, since a Paradox
        // Number refuses them.
        for (const dx::ProjectField &f : dx::projectRecordFields())
            p->textFields.push_back(makeField(f.name.toStdString(), FieldType::Text,
                                              f.type == dx::ProjectFieldType::Text ? kTextWidth : 24));
        p->table = p->dir + "/proj.db";
        p->state.projectTable.setPath(p->table);
        return p;
    }();
    return *s;
}

class Input {
public:
    Input(const uint8_t *d, size_t n) : d_(d), n_(n) {}
    bool done() const { return at_ >= n_; }
    uint8_t byte() { return at_ < n_ ? d_[at_++] : 0; }
    std::string bytes(size_t n)
    {
        n = std::min(n, n_ - std::min(at_, n_));
        std::string s(reinterpret_cast<const char *>(d_ + at_), n);
        at_ += n;
        return s;
    }

private:
    const uint8_t *d_;
    size_t n_, at_ = 0;
};

double number(Input &in)
{
    const uint8_t s = in.byte();
    switch (s) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return std::numeric_limits<double>::infinity();
    case 2: return -std::numeric_limits<double>::infinity();
    case 3: return 1e300;
    case 4: return -1e300;
    case 5: return 9.3e18;
    case 6: return -9.3e18;
    case 7: return -0.0;
    case 8: {
        const std::string b = in.bytes(8);
        double d = 0;
        std::memcpy(&d, b.data(), std::min(b.size(), sizeof d));
        return d;
    }
    case 9: {
        const std::string b = in.bytes(4);
        int32_t i = 0;
        std::memcpy(&i, b.data(), std::min(b.size(), sizeof i));
        return i;
    }
    case 10: return double(in.byte()) / 8 - 16; // fractions and negatives
    default: return s - 11;
    }
}

bool breaksLine(char c) { return c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Code page 1251 without loss, line breaks CR LF and nothing else; the number of lines.
int checkText(const QString &text, const char *layout)
{
    const std::string utf8 = text.toStdString();
    bool lossless = true; // only ever set false
    const std::string bytes = dx::cp::utf8ToCp1251(utf8, &lossless);
    if (!lossless) dxfuzz::fail("a layout is not code page 1251 text", std::string(layout) + "\n" + utf8);
    int lines = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++lines;
            ++i;
        } else if (breaksLine(c) || c == '\0') {
            dxfuzz::fail("a layout breaks a line other than with CR LF", std::string(layout) + "\n" + utf8);
        }
    }
    return lines;
}

struct Layouts {
    int whole = -1, partial = -1, sheet = -1;
    bool operator==(const Layouts &) const = default;
};

Layouts layOut(Setup &s, bool numbersAsTexts, const std::vector<dx::Row> &rows, bool grids,
               const dx::DescriptionParts &parts)
{
    s.state.projectTable.close();
    dx::px::CreateOptions o;
    o.blockSizeKb = 32;
    dx::px::create(s.table, numbersAsTexts ? s.textFields : s.fields, rows, o);
    s.state.db.invalidate(s.table);
    const dx::TextReport report = [](const dx::UserMessage &m) { (void)m.text.size(); };
    Layouts l;
    {
        dx::Table t(s.state.db);
        t.setPath(s.table);
        t.open();
        l.whole = checkText(dx::wholeDescriptionTextAt(s.state, t, grids, report), "whole");
        l.partial = checkText(dx::partialDescriptionTextAt(s.state, t, parts, report), "partial");
    }
    if (const std::optional<QString> sheet = dx::sheetText(s.state, 1, report)) l.sheet = checkText(*sheet, "sheet");
    return l;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 16384) return 0;
    Setup &s = setup();
    Input in(data, size);
    const uint8_t flags = in.byte();
    const bool numbersAsTexts = flags & 4;
    const unsigned ticks = unsigned(in.byte()) | unsigned(in.byte()) << 8;
    dx::DescriptionParts parts{};
    for (size_t i = 0; i < parts.size(); ++i) parts[i] = ticks >> i & 1;

    dx::Row row, plain;
    bool hasBreak = false;
    for (const dx::ProjectField &f : dx::projectRecordFields()) {
        if (f.type == dx::ProjectFieldType::Text) {
            std::string b = in.done() ? std::string("-") : in.bytes(in.byte() % (kTextWidth + 1));
            // Paradox cuts a text at its first NUL; blanks at the end are padding.
            b = b.substr(0, b.find('\0'));
            // 0x98 is no character of code page 1251, so no table can be written with it
            // (the readers' own harnesses feed it to the readers).
            std::replace(b.begin(), b.end(), '\x98', '?');
            row.push_back(dx::Value::fromText(dx::cp::cp1251ToUtf8(b)));
            for (char &c : b)
                if (breaksLine(c)) {
                    c = ' ';
                    hasBreak = true;
                }
            plain.push_back(dx::Value::fromText(dx::cp::cp1251ToUtf8(b)));
        } else {
            double v = in.done() ? 0 : number(in);
            if (f.name == QLatin1String("OTD") && (flags & 2)) v = 1;
            if (numbersAsTexts) {
                char text[32];
                std::snprintf(text, sizeof text, "%.17g", v);
                row.push_back(dx::Value::fromText(text));
            } else {
                row.push_back(dx::Value::fromReal(std::isfinite(v) ? v : std::copysign(1.7e308, v)));
            }
            plain.push_back(row.back());
        }
    }
    const bool grids = flags & 1;
    try {
        const Layouts l = layOut(s, numbersAsTexts, {row}, grids, parts);
        if (hasBreak && !(layOut(s, numbersAsTexts, {plain}, grids, parts) == l))
            dxfuzz::fail("a line break inside a field breaks a line of a layout");
    } catch (const dx::EngineError &e) {
        dxfuzz::fail("the project table could not be made or read", e.what());
    }
    return 0;
}
