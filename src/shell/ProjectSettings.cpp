// The project settings' checks and saving.
#include "shell/ProjectSettings.h"

#include "core/Paths.h"
#include "core/ProfileFile.h"
#include "core/Settings.h"

#include <QFileInfo>

namespace dx {
namespace {

using Icon = UserMessage::Icon;
const QString kCaption = QStringLiteral("Настройки");

} // namespace

SettingsCheck checkProjectSettings(const ProjectSettingsInput &in, const QString &workDir)
{
    SettingsCheck r;
    auto error = [&](const QString &text) {
        r.messages.push_back({kCaption, text, Icon::Error});
        r.ok = false;
        return r;
    };
    auto warn = [&](const QString &text) { r.messages.push_back({kCaption, text, Icon::Warning}); };
    // "Невалиднo" ends in a Latin o, as the program has always written it.
    if (in.vid.isEmpty()) return error(QStringLiteral("Невалиднo поле \"Вид\"."));
    if (in.vid.size() == 1) warn(QStringLiteral("Проверете поле \"Вид\"."));
    if (in.bgname.isEmpty()) return error(QStringLiteral("Невалиднo поле \"Име\"."));
    if (in.bgname.size() < 3) warn(QStringLiteral("Проверете поле \"Име\"."));
    bool number = false;
    const int year = in.godina.toInt(&number);
    if (in.godina.size() != 4 || !number || year < 1980 || year >= 2100)
        return error(QStringLiteral("Невалидна година."));
    if (in.direkcia.isEmpty()) return error(QStringLiteral("Невалиднo поле \"РУГ\"."));
    if (in.direkcia.size() < 3) warn(QStringLiteral("Проверете поле \"РУГ\"."));
    if (in.tableFile.isEmpty() || !fileExists(joinPath(workDir, in.tableFile)))
        return error(QStringLiteral("Невалиднo име на файл за \"Лесоустройствени данни\". Проверете дали файла с базата "
                                    "данни е копиран в директория \"\\database\"."));
    if (!in.landAreaFile.isEmpty() && !fileExists(joinPath(workDir, in.landAreaFile)))
        return error(QStringLiteral("Невалиднo име на файл за \"Номенклатура землища\". Проверете дали файла с базата "
                                    "данни е копиран в директория \"\\zemnom\"."));
    return r;
}

SwitchRequest saveProjectSettings(AppState &st, const ProjectSettingsInput &in)
{
    QVector<ProjectEntry> &list = st.catalogue;
    sortCatalogue(list, CatalogueField::Direkcia, true);
    const int i = findEntry(list, st.title, st.year);
    ProjectEntry edited;
    if (i >= 0) {
        ProjectEntry &e = list[i];
        e.activ = in.active ? QStringLiteral("1") : QStringLiteral("0");
        e.direkcia = in.direkcia;
        e.vid = in.vid;
        e.bgname = in.bgname;
        e.godina = in.godina;
        // Only the file's name is recorded: the files live in the program's folders.
        e.tabl = QStringLiteral("database\\") + QFileInfo(QString(in.tableFile).replace('\\', '/')).fileName();
        const QString zem = QFileInfo(QString(in.landAreaFile).replace('\\', '/')).fileName();
        if (!zem.isEmpty()) e.zemnom = QStringLiteral("zemnom\\") + zem;
        edited = e;
    }
    ProjectIdentity p;
    p.bgname = entryTitle(edited);
    p.year = edited.godina;
    p.database = edited.tabl;
    p.zemnom = edited.zemnom;
    if (i >= 0) {
        writeProjectIdentity(st.settingsPath(), p);
        st.settings.project = p;
    }
    writeProjectCatalogue(st.path(QStringLiteral("project.conf")), list);
    return {edited.tabl, i >= 0 ? entryTitle(edited) : QString(), edited.zemnom, edited.godina, std::nullopt};
}

} // namespace dx
