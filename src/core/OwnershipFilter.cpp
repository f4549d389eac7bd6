// The ownership filter texts.
#include "core/OwnershipFilter.h"

#include "core/Quoting.h"
#include "engine/common/Codepage.h"

namespace dx {
namespace {

QString purposeText(Purpose p)
{
    switch (p) {
    case Purpose::Economic: return QStringLiteral(", предназначение: стопанско");
    case Purpose::Special: return QStringLiteral(", предназначение: специално");
    case Purpose::General: break;
    }
    return QStringLiteral(", предназначение: стопанско+специално");
}

// " NZN1=c" / " NZN1<>c" with the constant quoted by `quote`; empty for the general purpose.
QString purposeCondition(Purpose p, QString (*quote)(const QString &))
{
    switch (p) {
    case Purpose::Economic: return QStringLiteral(" NZN1=") + quote(kEconomicDesignation);
    case Purpose::Special: return QStringLiteral(" NZN1<>") + quote(kEconomicDesignation);
    case Purpose::General: break;
    }
    return QString();
}

} // namespace

OwnershipFilter buildOwnershipFilter(const OwnershipChoice &choice, const QString &unitName, const QString &year)
{
    OwnershipFilter f;
    if (choice.byKind) {
        f.recordFilter = QStringLiteral(" and NZN2=") + filterQuoted(choice.kind);
        f.sqlFilter = QStringLiteral(" and NZN2=") + sqlQuoted(choice.kind);
        f.description = QStringLiteral(" собственост: ") + choice.kind;
    } else {
        f.description = QStringLiteral(" собственост: всички видове");
    }
    const QString recordPurpose = purposeCondition(choice.purpose, filterQuoted);
    if (!recordPurpose.isEmpty()) {
        f.recordFilter += QStringLiteral(" and") + recordPurpose;
        f.sqlFilter += QStringLiteral(" and") + purposeCondition(choice.purpose, sqlQuoted);
    }
    f.description += purposeText(choice.purpose);
    f.projectHeading = unitName + QLatin1Char(' ') + year + QStringLiteral("г.");
    return f;
}

QString ownershipRecordCondition(const OwnershipChoice &choice)
{
    return buildOwnershipFilter(choice, QString(), QString()).recordFilter.mid(5);
}

QString ownershipWhere(const OwnershipChoice &choice)
{
    const QString purpose = purposeCondition(choice.purpose, sqlQuoted);
    if (!choice.byKind) return purpose.isEmpty() ? QString() : QStringLiteral(" WHERE") + purpose;
    QString out = QStringLiteral(" WHERE NZN2=") + sqlQuoted(choice.kind);
    if (!purpose.isEmpty()) out += QStringLiteral(" and") + purpose;
    return out;
}

QString ownershipAnd(const OwnershipChoice &choice)
{
    QString out;
    if (choice.byKind) out = QStringLiteral(" and NZN2=") + sqlQuoted(choice.kind);
    const QString purpose = purposeCondition(choice.purpose, sqlQuoted);
    if (!purpose.isEmpty()) out += QStringLiteral(" and") + purpose;
    return out;
}

std::optional<Purpose> purposeFromName(const QString &name)
{
    if (name == QLatin1String("general")) return Purpose::General;
    if (name == QLatin1String("economic")) return Purpose::Economic;
    if (name == QLatin1String("special")) return Purpose::Special;
    return std::nullopt;
}

QString ownershipKindProblem(const QString &kind)
{
    bool lossless = true;
    cp::utf8ToCp1251(kind.toStdString(), &lossless);
    if (!lossless) return QStringLiteral("the ownership kind holds letters outside code page 1251");
    if (!kind.isEmpty() && kind.back().isSpace())
        return QStringLiteral("the ownership kind ends with blanks, which no stored value keeps");
    if (kind.isEmpty()) return QStringLiteral("the ownership kind is empty");
    return QString();
}

} // namespace dx
