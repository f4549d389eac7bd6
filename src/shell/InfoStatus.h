// The project counts of the main window's status bar.
#pragma once

#include "engine/sql/Database.h"

#include <QString>

namespace dx {

// "отдели:%d, подотдели:%d, площ:%.1f xa" for the project table, or an empty text when
// any of its statements fails.
QString InfoStatus(Database &db, const QString &tablePath);

} // namespace dx
