// Loading of Qt's Bulgarian catalogue for the standard dialogs.
#include "shell/GuiTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace dx {

QString qtTranslationsDir()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool installQtBulgarian(QCoreApplication &app, const QString &dir)
{
    // One translator for the life of the application: a second call finds it installed.
    const QString name = QStringLiteral("qtbase_bg");
    if (app.findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly)) return true;
    auto *translator = new QTranslator(&app);
    translator->setObjectName(name);
    if (!translator->load(QLocale(QLocale::Bulgarian, QLocale::Bulgaria), QStringLiteral("qtbase"),
                          QStringLiteral("_"), dir.isEmpty() ? qtTranslationsDir() : dir) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace dx
