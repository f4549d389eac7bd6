// Damage codes in words: the three-degree form and the state-and-percentage form.
#include "description/DamageDecoding.h"

#include "description/DamageWordingMemo.h"

#include <QStringList>

#include <optional>

namespace dx {
namespace {

// A character that is a number 0 to 9 on its own; -1 for anything else.
int digitValue(const QString &ch)
{
    if (ch.size() != 1) return -1;
    const QChar c = ch.at(0);
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : -1;
}

// The code's characters one by one; a character outside the basic plane stays whole.
QStringList characters(const QString &code)
{
    QStringList out;
    for (char32_t c : code.trimmed().toUcs4()) out << QString::fromUcs4(&c, 1);
    return out;
}

void appendListed(QString &text, const QString &part)
{
    if (!text.isEmpty()) text += QStringLiteral(", ");
    text += part;
}

QString unknownDamage(const QString &letter)
{
    return QStringLiteral("неизвестна повреда (%1)").arg(letter);
}

// The letter's wording, "неизвестна повреда (...)" when it is not listed, nothing
// when the lookup could not run (the failure has been passed on).
struct Letter {
    bool ok = false;
    bool found = false;
    QString wording;
};

class LetterLookup {
public:
    LetterLookup(const std::function<DamageWording(const QString &)> &lookup,
                 const std::function<void(const DamageWording &)> &onFailure)
        : lookup_(lookup), onFailure_(onFailure) {}

    Letter operator()(const QString &letter) const
    {
        Letter out;
        if (!lookup_) return out;
        DamageWording w = lookup_(letter);
        if (w.failed) {
            if (onFailure_) onFailure_(w);
            return out;
        }
        out.ok = true;
        out.found = w.found;
        out.wording = w.found ? w.wording : unknownDamage(letter);
        return out;
    }

private:
    const std::function<DamageWording(const QString &)> &lookup_;
    const std::function<void(const DamageWording &)> &onFailure_;
};

// Kinds of damage from the letters, degrees from the digits in the first three places.
QString threeDegrees(const QStringList &chars, const LetterLookup &lookup)
{
    static const char *const kDegree[] = {"леко", "силно", "загиващи"};
    QString kinds, degrees;
    for (int i = 0; i < chars.size(); ++i) {
        const int v = digitValue(chars[i]);
        if (v < 0) {
            Letter l = lookup(chars[i]);
            if (l.ok) appendListed(kinds, l.wording);
        } else if (v > 0 && i < 3) {
            appendListed(degrees, QStringLiteral("%1 %2%").arg(QString::fromUtf8(kDegree[i])).arg(v * 10));
        }
    }
    if (kinds.isEmpty()) kinds = QStringLiteral("обезлистване");
    return degrees.isEmpty() ? kinds : kinds + QStringLiteral(", ") + degrees;
}

QString treeState(const QString &first)
{
    if (first == QStringLiteral("л")) return QStringLiteral("леко повредени");
    if (first == QStringLiteral("с")) return QStringLiteral("силно повредени");
    if (first == QStringLiteral("з") || first == QStringLiteral("н")) return QStringLiteral("загинали");
    if (first == QStringLiteral("/")) return QStringLiteral("неповредени");
    return {};
}

// The state of the trees, the percentages and the kinds in the order written. The
// second kind of damage is introduced with "освен това": it stands in place 4, or in
// place 5 when a "100" took one more digit.
QString statesAndPercentages(const QStringList &chars, const LetterLookup &lookup)
{
    QString text;
    bool hundred = false;
    for (int i = 0; i < chars.size(); ++i) {
        const int position = i + 1;
        const int v = digitValue(chars[i]);
        if (v < 0) {
            if (position == 1) {
                QString state = treeState(chars[i]);
                if (!state.isEmpty()) appendListed(text, state);
                continue;
            }
            Letter l = lookup(chars[i]);
            if (!l.ok) continue;
            if (!l.found) {
                appendListed(text, l.wording);
                continue;
            }
            const bool besides = (position == 4 && !hundred) || (position == 5 && hundred);
            appendListed(text, besides ? QStringLiteral("освен това ") + l.wording : l.wording);
        } else if (v == 1 && i + 1 < chars.size() && digitValue(chars[i + 1]) == 0) {
            appendListed(text, QStringLiteral("100%"));
            hundred = true;
        } else if (v != 0) {
            appendListed(text, QStringLiteral("%1%").arg(v * 10));
        }
    }
    return text;
}

} // namespace

QString decodeDamage(const QString &code, const std::function<DamageWording(const QString &letter)> &lookup,
                     const std::function<void(const DamageWording &)> &onFailure)
{
    const QStringList chars = characters(code);
    int digits = 0;
    for (const QString &c : chars)
        if (digitValue(c) >= 0) ++digits;
    const LetterLookup letters(lookup, onFailure);
    return digits == 3 ? threeDegrees(chars, letters) : statesAndPercentages(chars, letters);
}

QString decodeDamage(AppState &state, const QString &code, const std::function<void(const UserMessage &)> &report)
{
    // A letter written many times in one code (a long code in a table made elsewhere) is
    // looked up once; a run that keeps its own memo keeps the letters there instead.
    std::optional<DamageWordingMemo> memo;
    if (!DamageWordingMemo::current()) memo.emplace();
    const QString names = state.nomenclaturePath();
    return decodeDamage(
        code, [&](const QString &letter) { return damageWording(state.db, names, letter); },
        [&](const DamageWording &failure) {
            if (!report) return;
            UserMessage m;
            m.caption = QString::fromUtf8(kDamageLookupFailedCaption);
            m.text = damageLookupFailedText(names);
            m.icon = UserMessage::Icon::Error;
            m.detail = failure.error;
            report(m);
        });
}

} // namespace dx
