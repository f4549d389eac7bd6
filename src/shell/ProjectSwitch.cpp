// The project switch, step by step as the loading sequence does them for the first
// project, but only the steps that depend on the project.
#include "shell/ProjectSwitch.h"

#include "core/DataPassword.h"
#include "core/Paths.h"
#include "core/QtText.h"
#include "core/Settings.h"
#include "engine/common/FileIO.h"
#include "shell/InfoStatus.h"
#include "shell/Navigation.h"

namespace dx {
namespace {

using Icon = UserMessage::Icon;
const QString kCaption = QStringLiteral("Избор на проект");

void remember(AppState &st, StartupUi &ui, const SwitchRequest &r)
{
    if (!r.remember) return;
    const QString path = st.settingsPath();
    try {
        if (*r.remember) {
            ProjectIdentity p;
            p.bgname = r.title;
            p.year = r.year;
            p.database = r.table;
            p.zemnom = r.landArea;
            writeProjectIdentity(path, p);
            st.settings.project = p;
        }
        writeSaveLastOpen(path, *r.remember);
        st.settings.saveLastOpen = *r.remember;
    } catch (const std::exception &e) {
        ui.message({kCaption, QStringLiteral("Файлът %1 не може да бъде записан.").arg(path), Icon::Error,
                    qs(e.what())});
    }
}

} // namespace

SwitchRequest requestFor(const ProjectEntry &entry, std::optional<bool> rememberIt)
{
    return {entry.tabl, entryTitle(entry), entry.zemnom, entry.godina, rememberIt};
}

SwitchResult switchProject(AppState &st, StartupUi &ui, const SwitchRequest &r)
{
    ui.state = &st;
    const QString tablePath = st.path(r.table);
    // A folder, a pipe or a device is no table either: refused before the open project is
    // given up, with what stands there as the box's detail.
    const std::string why = r.table.isEmpty() ? std::string() : io::notARegularFile(io::resolve(".", ss(tablePath)));
    if (r.table.isEmpty() || !fileExists(tablePath) || !why.empty()) {
        ui.message({kCaption,
                    QStringLiteral("Липсва файл %1! Възтановете файла и опитайте отново.").arg(tablePath),
                    Icon::Warning, pathPresent(tablePath) ? qs(why) : QString()});
        return SwitchResult::MissingTable;
    }
    st.projectTableName = r.table;
    st.builtTables.clear();
    ui.clearBuiltTables();
    try {
        st.projectTablePath = tablePath;
        ui.showLoading();
        st.workingSieveLoaded = false;
        st.obsSieveLoaded = false;

        ui.status(QStringLiteral("Loading nomenclature..."));
        st.zemFileName = r.landArea;
        openLandArea(st);

        ui.status(QStringLiteral("Loading settings..."));
        st.title = r.title;
        st.year = r.year;
        ui.captionChanged();

        ui.status(QStringLiteral("Loading database..."));
        Table &t = st.projectTable;
        t.close();
        t.setPath(ss(diskPath(tablePath)));
        st.db.addPassword(dataPassword());
        st.hasCurrent = false;
        try {
            t.open();
        } catch (const std::exception &e) {
            ui.message({plainCaption(), QStringLiteral("Cannot open table %1!").arg(tablePath), Icon::None,
                        qs(e.what())});
            ui.closeLoading();
            return SwitchResult::EndRequested;
        }

        ui.status(QStringLiteral("Loading filters..."));
        st.lists = NavigationLists{};
        fillCompartments(st);
        reloadSubCompartments(st, st.lists.compartmentText);
        ui.listsChanged();

        ui.status(QStringLiteral("Initializing view..."));
        const ListSelection sel = listSelection(st.lists);
        if (sel.ok && st.lists.subCompartment >= 0) ui.showDescription(sel.otd, sel.podotd);
        ui.countsChanged(InfoStatus(st.db, st.projectTablePath));
        ui.setupMeasures();
        ui.closeLoading();
    } catch (const std::exception &e) {
        ui.message({QStringLiteral("Error"), QStringLiteral("Грешка в базата данни!"), Icon::Error, qs(e.what())});
        ui.closeLoading();
        return SwitchResult::Failed;
    }
    remember(st, ui, r);
    return SwitchResult::Switched;
}

} // namespace dx
