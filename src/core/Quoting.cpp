// Quoting of constants and the reading of whole numbers from texts.
#include "core/Quoting.h"

#include "engine/sql/SqlTranslate.h"

namespace dx {

QString filterQuoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString sqlQuoted(const QString &text)
{
    return QString::fromStdString(sql::quoteText(text.toStdString()));
}

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return n;
}

} // namespace dx
