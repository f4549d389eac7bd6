// The shared state's derived values.
#include "core/AppState.h"

#include "core/Paths.h"

namespace dx {

AppState::AppState()
    : contactLine(QStringLiteral("Dendrix, горска инвентаризация - поддръжка и въпроси: dendrix@example.bg")),
      projectTable(db), nomenclature(db), branchWood(db), landArea(db), siteClass(db), cuttings(db), afforestation(db)
{
}

QString AppState::path(const QString &relative) const
{
    return joinPath(programDir, relative);
}

QString AppState::caption() const
{
    return QStringLiteral("Dendrix ") + version + QStringLiteral(" - ") + title + QLatin1Char(' ') + year;
}

} // namespace dx
