// Cell values: numbers from every kind of value, the text forms tables and grids show,
// and field names that match without regard to case.
#include "engine/common/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using dx::Value;

namespace {

// The number and whether it converted, for one value.
template <class T>
struct Converted {
    T value;
    bool ok;
};
Converted<int64_t> asInt(const Value &v)
{
    bool ok = false;
    const int64_t n = v.toInt(&ok);
    return {n, ok};
}
Converted<double> asReal(const Value &v)
{
    bool ok = false;
    const double d = v.toReal(&ok);
    return {d, ok};
}

} // namespace

TEST(Value, NumbersFromNumbersAndLogicals)
{
    EXPECT_EQ(asInt(Value::fromInt(-42)).value, -42);
    EXPECT_TRUE(asInt(Value::fromInt(-42)).ok);
    EXPECT_EQ(asInt(Value::fromInt(INT64_MAX)).value, INT64_MAX);
    EXPECT_EQ(asInt(Value::fromBool(true)).value, 1);
    EXPECT_EQ(asInt(Value::fromBool(false)).value, 0);
    EXPECT_TRUE(asInt(Value::fromBool(false)).ok);
    // A real loses its fraction toward zero.
    EXPECT_EQ(asInt(Value::fromReal(2.7)).value, 2);
    EXPECT_EQ(asInt(Value::fromReal(-2.7)).value, -2);
    EXPECT_TRUE(asInt(Value::fromReal(-2.7)).ok);

    EXPECT_EQ(asReal(Value::fromReal(-0.0625)).value, -0.0625);
    EXPECT_EQ(asReal(Value::fromInt(123456789012345678LL)).value, 123456789012345678.0);
    EXPECT_EQ(asReal(Value::fromBool(true)).value, 1.0);
    EXPECT_TRUE(asReal(Value::fromBool(true)).ok);
}

TEST(Value, NumbersFromText)
{
    // Blanks and tabs around the number are dropped.
    EXPECT_EQ(asInt(Value::fromText("  42\t")).value, 42);
    EXPECT_TRUE(asInt(Value::fromText("  42\t")).ok);
    EXPECT_EQ(asInt(Value::fromText("\t-7")).value, -7);
    EXPECT_EQ(asReal(Value::fromText(" 12.5 ")).value, 12.5);
    EXPECT_TRUE(asReal(Value::fromText(" 12.5 ")).ok);
    EXPECT_EQ(asReal(Value::fromText("1e3")).value, 1000.0);
    EXPECT_EQ(asReal(Value::fromText("-.5")).value, -0.5);

    // A whole number is only a whole number; a real reads any decimal form.
    for (const char *text : {"12.0", "1e3", "12abc", "abc", "", "   ", "+5", "0x10", "1 2", "\n5"}) {
        SCOPED_TRACE(text);
        const Converted<int64_t> n = asInt(Value::fromText(text));
        EXPECT_FALSE(n.ok);
        EXPECT_EQ(n.value, 0);
    }
    for (const char *text : {"12.5x", "abc", "", " \t ", "+5", "1,5", "1e999"}) {
        SCOPED_TRACE(text);
        const Converted<double> d = asReal(Value::fromText(text));
        EXPECT_FALSE(d.ok);
        EXPECT_EQ(d.value, 0.0);
    }
    // Out of range for a whole number: no number, not a wrapped one.
    EXPECT_FALSE(asInt(Value::fromText("9223372036854775808")).ok);
    EXPECT_EQ(asInt(Value::fromText("9223372036854775807")).value, INT64_MAX);
}

TEST(Value, NullIsNoNumber)
{
    EXPECT_FALSE(asInt(Value::null()).ok);
    EXPECT_EQ(asInt(Value::null()).value, 0);
    EXPECT_FALSE(asReal(Value::null()).ok);
    EXPECT_EQ(asReal(Value::null()).value, 0.0);
    // Without a flag to set, a failed conversion is still 0.
    EXPECT_EQ(Value::null().toInt(), 0);
    EXPECT_EQ(Value::fromText("x").toReal(), 0.0);
}

TEST(Value, TextForms)
{
    EXPECT_EQ(Value::null().toText(), "");
    EXPECT_EQ(Value::fromInt(-12).toText(), "-12");
    EXPECT_EQ(Value::fromBool(true).toText(), "True");
    EXPECT_EQ(Value::fromBool(false).toText(), "False");
    EXPECT_EQ(Value::fromText(" a ").toText(), " a ");
    // Reals: shortest round trip, plain decimals in the range tables hold.
    EXPECT_EQ(dx::formatReal(12.5), "12.5");
    EXPECT_EQ(dx::formatReal(12.0), "12");
    EXPECT_EQ(dx::formatReal(-0.0), "0");
    EXPECT_EQ(dx::formatReal(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(dx::formatReal(123456789012345.0), "123456789012345");
    EXPECT_EQ(dx::formatReal(0.000001), "0.000001");
    EXPECT_EQ(dx::formatReal(1e15), "1e+15");
    EXPECT_EQ(dx::formatReal(1e-7), "1e-07");
    EXPECT_EQ(dx::formatReal(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(dx::formatReal(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(dx::formatReal(std::nan("")), "nan");
}

TEST(Value, FieldNamesMatchWithoutRegardToCase)
{
    EXPECT_TRUE(dx::sameFieldName("podotd", "PODOTD"));
    EXPECT_TRUE(dx::sameFieldName("Площ", "ПЛОЩ"));
    EXPECT_FALSE(dx::sameFieldName("PL", "PL1"));
    EXPECT_FALSE(dx::sameFieldName("ПЛОЩ", "ПЛОЖ"));
}
