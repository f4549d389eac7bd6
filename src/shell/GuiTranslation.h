// Qt's own texts (the buttons and captions of the file, print and message dialogs) in
// Bulgarian, to match the program's windows, whatever language the system speaks.
#pragma once

#include <QString>

class QCoreApplication;

namespace dx {

// The folder of Qt's translation catalogues, as the Qt installation reports it.
QString qtTranslationsDir();

// Installs Qt's Bulgarian catalogue (qtbase_bg.qm) from `dir` (empty: qtTranslationsDir())
// on the application, once. Returns false when the catalogue is missing or unreadable;
// the dialogs then stay in English and the program works on.
bool installQtBulgarian(QCoreApplication &app, const QString &dir = QString());

} // namespace dx
