// Range texts, range conditions and the range window's behaviour.
#include "sieves/SieveRange.h"

#include <QStringList>

namespace dx {

namespace {

const QString kFrom = QStringLiteral("от");
const QString kTo = QStringLiteral("до");
const QString kOver = QStringLiteral("над");
const QString kEqual = QStringLiteral("равно");
const QString kOn = QStringLiteral("на");

// A whole number as the number fields hold it: ASCII digits only.
bool isWholeNumber(const QString &text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits) return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

QStringList words(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

const QString &keyword(RangeKind kind)
{
    switch (kind) {
    case RangeKind::Between: return kFrom;
    case RangeKind::UpTo: return kTo;
    case RangeKind::Over: return kOver;
    case RangeKind::Equal: return kEqual;
    }
    return kFrom;
}

std::optional<RangeKind> kindOfWord(const QString &word)
{
    for (RangeKind k : {RangeKind::Between, RangeKind::UpTo, RangeKind::Over, RangeKind::Equal})
        if (word == keyword(k)) return k;
    return std::nullopt;
}

// Orders a Between range; equal values keep their order.
RangeValue ordered(RangeValue r)
{
    if (r.kind == RangeKind::Between && r.low.toLongLong() > r.high.toLongLong()) std::swap(r.low, r.high);
    return r;
}

// The comparison of one field: "(A1>=20 and A1<=40)", "(A1<=40)", ...
QString term(const QString &field, const RangeValue &r)
{
    switch (r.kind) {
    case RangeKind::Between:
        return QStringLiteral("(%1>=%2 and %1<=%3)").arg(field, r.low, r.high);
    case RangeKind::UpTo:
        return QStringLiteral("(%1<=%2)").arg(field, r.low);
    case RangeKind::Over:
        return QStringLiteral("(%1>=%2)").arg(field, r.low);
    case RangeKind::Equal:
        return QStringLiteral("(%1=%2)").arg(field, r.low);
    }
    return {};
}

} // namespace

const RangeModeInfo &rangeModeInfo(RangeMode mode)
{
    static const RangeModeInfo modes[6] = {
        {RangeMode::Age, QStringLiteral("Сито работно - избор Възраст"), QStringLiteral("A"), true},
        {RangeMode::Fullness, QStringLiteral("Сито работно - избор Пълнота"), QStringLiteral("PYLN"), true},
        {RangeMode::SiteClass, QStringLiteral("Сито работно - избор Бонитет"), QStringLiteral("B"), true},
        {RangeMode::Stock, QStringLiteral("Сито работно - избор Запас"), QStringLiteral("V"), true},
        {RangeMode::PredominantSiteClass, QStringLiteral("Сито работно - избор Бонитет(преобладаващ)"),
         QStringLiteral("B1"), false},
        {RangeMode::Area, QStringLiteral("Сито работно - избор Площ"), QStringLiteral("PL"), false},
    };
    const int i = int(mode) - 1;
    return modes[i >= 0 && i < 6 ? i : 0];
}

QString rangeKindCaption(RangeKind kind)
{
    switch (kind) {
    case RangeKind::Between: return QStringLiteral("от - до");
    case RangeKind::UpTo: return QStringLiteral("до");
    case RangeKind::Over: return QStringLiteral("над");
    case RangeKind::Equal: return QStringLiteral("равно");
    }
    return {};
}

QString rangeText(const RangeValue &range)
{
    switch (range.kind) {
    case RangeKind::Between: return QStringLiteral("от %1 до %2").arg(range.low, range.high);
    case RangeKind::UpTo: return QStringLiteral("до %1").arg(range.low);
    case RangeKind::Over: return QStringLiteral("над %1").arg(range.low);
    case RangeKind::Equal: return QStringLiteral("равно на %1").arg(range.low);
    }
    return {};
}

QString rangeClause(RangeMode mode, const RangeValue &range)
{
    const RangeModeInfo &info = rangeModeInfo(mode);
    if (!info.storeys) return QLatin1Char(' ') + term(info.prefix, range) + QLatin1Char(' ');
    QStringList terms;
    for (int i = 1; i <= 11; ++i) terms << term(info.prefix + QString::number(i), range);
    return QLatin1Char('(') + terms.join(QStringLiteral(" or ")) + QLatin1Char(')');
}

std::optional<RangeValue> parseRangeText(const QString &text)
{
    constexpr int kDigits = 9;
    const QStringList w = words(text);
    if (w.isEmpty()) return std::nullopt;
    const std::optional<RangeKind> kind = kindOfWord(w[0]);
    if (!kind) return std::nullopt;
    RangeValue r;
    r.kind = *kind;
    switch (*kind) {
    case RangeKind::Between:
        if (w.size() != 4 || w[2] != kTo) return std::nullopt;
        r.low = w[1];
        r.high = w[3];
        if (!isWholeNumber(r.high, kDigits)) return std::nullopt;
        break;
    case RangeKind::Equal:
        if (w.size() != 3 || w[1] != kOn) return std::nullopt;
        r.low = w[2];
        break;
    default:
        if (w.size() != 2) return std::nullopt;
        r.low = w[1];
        break;
    }
    if (!isWholeNumber(r.low, kDigits)) return std::nullopt;
    return ordered(r);
}

QString normalisedRangeText(const QString &text)
{
    const std::optional<RangeValue> r = parseRangeText(text);
    return r ? rangeText(*r) : text;
}

// --- the range window -----------------------------------------------------------------

bool rangeKeyAccepted(QChar key)
{
    return (key >= u'0' && key <= u'9') || key == u'\b';
}

QPoint rangeWindowPosition(const QPoint &sieveTopLeft, const QRect &fieldInGroup)
{
    return {sieveTopLeft.x() + fieldInGroup.left() + 5, sieveTopLeft.y() + fieldInGroup.top() + fieldInGroup.height() + 70};
}

void RangeWindow::open(RangeMode mode, const QString &fieldText)
{
    mode_ = mode;
    for (QString &v : values_) v.clear();
    const QStringList w = words(fieldText);
    if (w.isEmpty()) return;
    const std::optional<RangeKind> kind = kindOfWord(w[0]);
    if (!kind) return;
    ticked_ = *kind;
    // The value after the keyword (and after "до" / "на" where the form has one).
    auto rest = [&](int from) { return w.mid(from).join(QLatin1Char(' ')); };
    auto take = [&](Field f, const QString &v) {
        if (isWholeNumber(v, kRangeFieldLength)) setValue(f, v);
    };
    switch (*kind) {
    case RangeKind::Between:
        take(Field::From, w.value(1));
        take(Field::To, rest(3));
        break;
    case RangeKind::UpTo: take(Field::UpTo, rest(1)); break;
    case RangeKind::Over: take(Field::Over, rest(1)); break;
    case RangeKind::Equal: take(Field::Equal, rest(2)); break;
    }
}

bool RangeWindow::isEnabled(Field field) const
{
    switch (ticked_) {
    case RangeKind::Between: return field == Field::From || field == Field::To;
    case RangeKind::UpTo: return field == Field::UpTo;
    case RangeKind::Over: return field == Field::Over;
    case RangeKind::Equal: return field == Field::Equal;
    }
    return false;
}

RangeWindow::Field RangeWindow::focusField() const
{
    switch (ticked_) {
    case RangeKind::Between: return Field::From;
    case RangeKind::UpTo: return Field::UpTo;
    case RangeKind::Over: return Field::Over;
    case RangeKind::Equal: return Field::Equal;
    }
    return Field::From;
}

RangeWindow::Outcome RangeWindow::ok() const
{
    auto refuse = [](const QString &text) {
        Outcome o;
        o.message = UserMessage{QStringLiteral("Внимание!"), text, UserMessage::Icon::Error, {}};
        return o;
    };
    // Only digits can be typed; anything else counts as not entered.
    auto filled = [&](Field f) { return isWholeNumber(value(f), 9); };
    RangeValue r;
    r.kind = ticked_;
    switch (ticked_) {
    case RangeKind::Between:
        if (!filled(Field::From) || !filled(Field::To))
            return refuse(QStringLiteral("Не са въведени стойности за критерия \"ОТ-ДО\"."));
        r.low = value(Field::From);
        r.high = value(Field::To);
        r = ordered(r);
        break;
    // The "e" after "Не" and the last letter of "въведенa" are Latin in these three texts.
    case RangeKind::UpTo:
        if (!filled(Field::UpTo)) return refuse(QStringLiteral("Не e въведенa стойност за критерии \"ДО\"."));
        r.low = value(Field::UpTo);
        break;
    case RangeKind::Over:
        if (!filled(Field::Over)) return refuse(QStringLiteral("Не e въведенa стойност за критерии \"НАД\"."));
        r.low = value(Field::Over);
        break;
    case RangeKind::Equal:
        if (!filled(Field::Equal)) return refuse(QStringLiteral("Не e въведенa стойност за критерии \"РАВНО\"."));
        r.low = value(Field::Equal);
        break;
    }
    Outcome o;
    o.closes = true;
    o.fieldText = rangeText(r);
    return o;
}

RangeWindow::Outcome RangeWindow::clear()
{
    for (QString &v : values_) v.clear();
    ticked_ = RangeKind::Between;
    Outcome o;
    o.closes = true;
    o.fieldText = QString();
    return o;
}

RangeWindow::Outcome RangeWindow::cancel() const
{
    Outcome o;
    o.closes = true;
    return o;
}

} // namespace dx
