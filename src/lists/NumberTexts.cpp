// Rounding and recognition of the numbers in list texts.
#include "lists/NumberTexts.h"

#include <cmath>

namespace dx {

double RoundToTenth(double x)
{
    const double whole = std::trunc(x);
    const double tenths = (x - whole) * 10.0;
    double rounded = std::floor(tenths);
    const double rest = tenths - rounded;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return whole + rounded / 10.0;
}

std::optional<PlainNumber> plainNumber(const QString &text, const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    // The C form's point, unless the locale groups thousands with it.
    const bool cPoint = locale.groupSeparator() != QStringLiteral(".");

    qsizetype at = 0;
    bool negative = false;
    if (text.startsWith(u'-')) {
        negative = true;
        at = 1;
    } else if (!minus.isEmpty() && text.startsWith(minus)) {
        negative = true;
        at = minus.size();
    }
    QString digits;   // the number in the C form
    int whole = 0, fraction = 0;
    bool seenPoint = false;
    while (at < text.size()) {
        const QChar c = text.at(at);
        if (c >= u'0' && c <= u'9') {
            digits += c;
            ++(seenPoint ? fraction : whole);
            ++at;
        } else if (!seenPoint && ((cPoint && c == u'.') || QStringView(text).mid(at).startsWith(point))) {
            seenPoint = true;
            digits += u'.';
            at += c == u'.' ? 1 : point.size();
        } else {
            return std::nullopt;
        }
    }
    if (whole + fraction == 0 || whole + fraction > 15 || (seenPoint && fraction == 0))
        return std::nullopt;
    if (whole > 1 && digits.startsWith(u'0'))  // a code such as "007"
        return std::nullopt;
    PlainNumber number;
    number.value = digits.toDouble();
    if (negative && number.value == 0)  // "-0" would come back as "0"
        return std::nullopt;
    if (negative)
        number.value = -number.value;
    number.decimals = fraction;
    number.integerPart = whole > 0;
    return number;
}

} // namespace dx
