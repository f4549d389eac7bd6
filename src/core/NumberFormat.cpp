// Number texts by the grids' display patterns.
#include "core/NumberFormat.h"

#include "engine/common/Value.h"

#include <algorithm>
#include <cmath>
#include <charconv>

namespace dx {

namespace {

bool isPatternDigit(QChar c)
{
    return c == u'0' || c == u'#' || c == u'.' || c == u',';
}

// A pattern cut into the literal text before the digits, the digit part and the text after.
struct NumberPattern {
    QString before, digits, after;
};

NumberPattern splitPattern(const QString &pattern)
{
    NumberPattern parts;
    enum { Before, Digits, After } state = Before;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {               // inside quotes everything is literal
            if (c == quote)
                quote = QChar();
            else
                (state == Before ? parts.before : parts.after) += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            if (state == Digits)
                state = After;
            quote = c;
            continue;
        }
        if (isPatternDigit(c) && state != After) {
            state = Digits;
            parts.digits += c;
            continue;
        }
        if (state == Digits)
            state = After;
        (state == Before ? parts.before : parts.after) += c;
    }
    return parts;
}

QString groupThousands(const QString &digits, const QString &separator)
{
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits.at(i);
    }
    return out;
}

} // namespace

QString computedRealText(double value)
{
    if (!std::isfinite(value)) return QString::fromStdString(formatReal(value));
    // Locale-free conversions: the program's C library locale may use a decimal comma.
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    double rounded = value;
    std::from_chars(buf, written.ptr, rounded);
    // The 15-digit value's shortest form: no exponent for the magnitudes tables hold.
    return QString::fromStdString(formatReal(rounded));
}

// Plain digits written with the locale's decimal point and minus sign.
QString localisedNumber(QString text, const QLocale &locale)
{
    text.replace(u'.', locale.decimalPoint());
    if (text.startsWith(u'-'))
        text.replace(0, 1, locale.negativeSign());
    return text;
}

QString formatNumber(double value, const QString &pattern, const QLocale &locale)
{
    if (!std::isfinite(value))
        return localisedNumber(QString::fromStdString(formatReal(value)), locale);
    const NumberPattern parts = splitPattern(pattern);
    if (parts.digits.isEmpty())
        return parts.before + parts.after;

    const int point = parts.digits.indexOf(u'.');
    const QString intPattern = point < 0 ? parts.digits : parts.digits.left(point);
    QString fracPattern = point < 0 ? QString() : parts.digits.mid(point + 1);
    fracPattern.remove(u'.').remove(u',');
    const int minIntDigits = int(intPattern.count(u'0'));
    const int maxFracDigits = int(fracPattern.size());
    const int minFracDigits = int(fracPattern.lastIndexOf(u'0')) + 1;

    const QString fixed = QString::number(std::fabs(value), 'f', maxFracDigits);
    const qsizetype dot = fixed.indexOf(u'.');
    QString intDigits = dot < 0 ? fixed : fixed.left(dot);
    QString fracDigits = dot < 0 ? QString() : fixed.mid(dot + 1);
    while (fracDigits.size() > minFracDigits && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    if (intDigits == u"0" && minIntDigits == 0)
        intDigits.clear();
    if (intDigits.size() < minIntDigits)
        intDigits.prepend(QString(minIntDigits - intDigits.size(), u'0'));
    if (intPattern.contains(u','))
        intDigits = groupThousands(intDigits, locale.groupSeparator());

    const bool nonZero = std::any_of(fixed.begin(), fixed.end(), [](QChar c) { return c > u'0' && c <= u'9'; });
    QString text = parts.before;
    if (value < 0 && nonZero)
        text += locale.negativeSign();
    text += intDigits;
    if (!fracDigits.isEmpty())
        text += locale.decimalPoint() + fracDigits;
    return text + parts.after;
}


} // namespace dx
