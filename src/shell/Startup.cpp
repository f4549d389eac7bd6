// The loading sequence. Ending the program is only requested here: the remaining steps
// still run and may show their own messages, as the user sees them when the request
// takes effect only on return to the event loop.
#include "shell/Startup.h"

#include "core/DataPassword.h"
#include "core/Paths.h"
#include "core/ProfileFile.h"
#include "core/QtText.h"
#include "description/ProjectRecord.h"
#include "engine/common/EngineError.h"
#include "shell/InfoStatus.h"
#include "shell/Navigation.h"

#include <QDir>

#include <stdexcept>

namespace dx {

void StartupUi::showDescription(int otd, const QString &podotd)
{
    if (state) selectDescription(*state, otd, podotd);
}

namespace {

using Icon = UserMessage::Icon;

const QString kMissingFileCaption = QStringLiteral("Липсващ файл!");

QString missingFileText(const QString &path)
{
    return QStringLiteral("Липсва файл %1! Възтановете файла и опитайте отново.").arg(path);
}

class Sequence {
public:
    Sequence(AppState &state, StartupUi &ui) : st_(state), ui_(ui) { ui_.state = &state; }

    StartupOutcome run()
    {
        ui_.showLoading();
        st_.version = QStringLiteral("1.8 ");
        if (st_.programDir.isEmpty()) st_.programDir = QDir::currentPath();
        while (st_.programDir.size() > 1 && (st_.programDir.endsWith(QLatin1Char('/')) ||
                                             st_.programDir.endsWith(QLatin1Char('\\'))))
            st_.programDir.chop(1);
        st_.db.setProgramDir(ss(st_.programDir));

        checkNomenclature();
        if (!openReference(st_.siteClass, st_.path(QStringLiteral("bon.dbf")))) return stop();
        if (!openReference(st_.branchWood, st_.path(QStringLiteral("kloni.dbf")))) return stop();
        if (!makeTablesFolder()) return stop();
        if (!readSettings()) return stop();
        checkProjectTable();
        openLandArea(st_);
        warnIfDamaged(st_.landArea);
        loadCatalogue();
        try {
            loadProject();
        } catch (const std::exception &e) {
            say(QStringLiteral("Error"), QStringLiteral("Грешка в базата данни!"), Icon::Error,
                projectTableNote_.isEmpty() ? qs(e.what()) : projectTableNote_);
            return stop();
        }
        return out_;
    }

private:
    void say(const QString &caption, const QString &text, Icon icon, const QString &detail = {})
    {
        ui_.message({caption, text, icon, detail});
    }
    // The loading window is closed on an early stop too: the main window stays usable.
    StartupOutcome stop()
    {
        ui_.closeLoading();
        out_.stopped = true;
        return out_;
    }

    void checkNomenclature()
    {
        ui_.status(QStringLiteral("Loading nomenclature..."));
        const QString path = st_.nomenclaturePath();
        if (!pathPresent(path)) {
            say(kMissingFileCaption,
                QStringLiteral("Липсва номенклатурен файл NAMES.DBF! Възтановете файла и опитайте отново. "),
                Icon::None);
            out_.endRequested = true;
            return;
        }
        st_.nomenclature.close();
        st_.nomenclature.setPath(ss(diskPath(path)));
        try {
            st_.nomenclature.open();
        } catch (const std::exception &e) {
            if (!st_.nomenclature.active()) {
                say(plainCaption(), QStringLiteral("Cannot open table names.dbf!"), Icon::None, qs(e.what()));
                out_.endRequested = true;
            }
        }
        warnIfDamaged(st_.nomenclature);
        // Opened only to prove the file opens; the measures reopen it for their lists.
        st_.nomenclature.close();
    }

    // The site-class and branch-wood tables stay open, filtered, for the whole run.
    bool openReference(Table &table, const QString &path)
    {
        if (!pathPresent(path)) {
            say(kMissingFileCaption, missingFileText(path), Icon::None);
            out_.endRequested = true;
        }
        table.close();
        table.setPath(ss(diskPath(path)));
        try {
            table.open();
            table.setFiltered(true);
            warnIfDamaged(table);
            return true;
        } catch (const std::exception &e) {
            table.close();
            say(QStringLiteral("Номенклатурен файл"),
                QStringLiteral("Файл %1 неможе да бъде отворен! Рестартирайте програмата и опитайте отново.").arg(path),
                Icon::None, qs(e.what()));
            return false;
        }
    }

    // A table read only in part still shows the records that could be trusted, but the
    // user must know that the counts and lists are not the whole table.
    void warnIfDamaged(const Table &table)
    {
        for (const std::string &what : table.damage()) {
            say(QStringLiteral("Повреден файл"),
                QStringLiteral("Файлът %1 е повреден: %2. Прочетени са само здравите записи.")
                    .arg(qs(table.path()), qs(what)),
                Icon::Warning);
            out_.damaged = true;
        }
    }

    // The physico-geographic tables write their result tables into "Tables".
    bool makeTablesFolder()
    {
        const QString path = st_.path(QStringLiteral("Tables"));
        // Several programs may start together: a folder another one made meanwhile is
        // as good as our own, so the check comes after the attempt.
        if (QDir().mkdir(path) || directoryExists(path)) return true;
        say(plainCaption(), QStringLiteral("Неможе да бъде създадена директория %1.").arg(path), Icon::Error);
        return false;
    }

    bool readSettings()
    {
        ui_.status(QStringLiteral("Loading settings..."));
        const QString path = st_.settingsPath();
        if (!pathPresent(path)) {
            say(QStringLiteral("Лиспващ файл"),
                QStringLiteral("Липсва инициализиращ файл Dendrix.ini! Възтановете файла и опитайте отново. "),
                Icon::Warning);
            return false;
        }
        try {
            const ProfileFile file = ProfileFile::load(diskPath(path));
            st_.settings = readStartupSettings(file);
            if (!file.hasKey(ini::kProject, ini::kDatabase))
                projectTableNote_ = QStringLiteral("Във файла %1 липсва ключът „%2“ в раздел [%3]: не е посочена таблицата на проекта.")
                                        .arg(diskPath(path), ini::kDatabase, ini::kProject);
        } catch (const std::exception &e) {
            say(plainCaption(), qs(e.what()), Icon::Warning);
            return false;
        }
        const ProjectIdentity &p = st_.settings.project;
        st_.title = p.bgname;
        st_.year = p.year;
        st_.projectTableName = p.database;
        st_.zemFileName = p.zemnom;
        ui_.captionChanged();
        ui_.applyPrintSettings();
        return true;
    }

    void checkProjectTable()
    {
        st_.projectTablePath = st_.path(st_.projectTableName);
        if (!pathPresent(st_.projectTablePath)) {
            say(kMissingFileCaption, missingFileText(st_.projectTablePath), Icon::None, projectTableNote_);
            out_.endRequested = true;
        }
    }

    void loadCatalogue()
    {
        const QString path = st_.path(QStringLiteral("project.conf"));
        st_.catalogue.clear();
        st_.catalogueLoaded = false;
        if (pathPresent(path)) {
            try {
                st_.catalogue = readProjectCatalogue(path);
                sortByName(st_.catalogue);
                st_.catalogueLoaded = true;
                return;
            } catch (const std::exception &e) {
                say(plainCaption(), QStringLiteral("Каталогът на проектите %1 не може да бъде прочетен.").arg(path),
                    Icon::Warning, qs(e.what()));
            }
        }
        ui_.disableProjectSelection();
    }

    void loadProject()
    {
        ui_.status(QStringLiteral("Loading database..."));
        Table &t = st_.projectTable;
        t.close();
        t.setPath(ss(st_.projectTablePath));
        Database &db = st_.db;
        db.setPasswordCallback([&db](const std::string &) -> std::optional<std::string> {
            db.addPassword(dataPassword());
            return std::nullopt;
        });
        try {
            t.open();
        } catch (const std::exception &e) {
            if (!t.active()) {
                say(plainCaption(), QStringLiteral("Cannot open table %1!").arg(st_.projectTablePath), Icon::None,
                    projectTableNote_.isEmpty() ? qs(e.what()) : projectTableNote_);
                out_.endRequested = true;
            }
        }
        if (t.active()) {
            warnIfDamaged(t);
            checkProjectFields(t);
        }

        ui_.status(QStringLiteral("Loading filters..."));
        fillCompartments(st_);
        reloadSubCompartments(st_, st_.lists.compartmentText);
        ui_.listsChanged();

        // An empty project table has nothing to show; that is no error.
        ListSelection sel = listSelection(st_.lists);
        if (sel.ok && st_.lists.subCompartment >= 0) ui_.showDescription(sel.otd, sel.podotd);

        ui_.status(QStringLiteral("Initializing view..."));
        ui_.countsChanged(InfoStatus(st_.db, st_.projectTablePath));
        ui_.setupMeasures();
        ui_.closeLoading();
    }

    // Without its key fields the table is no project table at all; other missing fields
    // only leave parts of the descriptions empty, and the user is told which.
    void checkProjectFields(const Table &t)
    {
        QStringList missing = missingProjectFields(t.fields());
        if (missing.contains(QStringLiteral("OTD")) || missing.contains(QStringLiteral("PODOTD")))
            throw std::runtime_error(ss(QStringLiteral("%1: липсват полетата OTD и PODOTD на таблица на проект")
                                            .arg(st_.projectTablePath)));
        if (missing.isEmpty()) return;
        QStringList shown = missing.mid(0, 12);
        if (missing.size() > shown.size()) shown << QStringLiteral("...");
        say(plainCaption(),
            QStringLiteral("В таблицата %1 липсват %2 полета: %3. Описанията ще бъдат непълни.")
                .arg(st_.projectTablePath)
                .arg(missing.size())
                .arg(shown.join(QStringLiteral(", "))),
            Icon::Warning);
    }

    AppState &st_;
    StartupUi &ui_;
    StartupOutcome out_;
    // Why the project table cannot be found when the reason is the settings file's
    // (no "database" key): the engine would only name the file "-1".
    QString projectTableNote_;
};

class CollectingUi : public StartupUi {
public:
    explicit CollectingUi(QVector<UserMessage> *sink) : sink_(sink) {}
    void message(const UserMessage &m) override
    {
        if (sink_) sink_->push_back(m);
    }

private:
    QVector<UserMessage> *sink_;
};

} // namespace

void openLandArea(AppState &state)
{
    Table &zem = state.landArea;
    zem.close();
    const QString path = state.path(state.zemFileName);
    if (state.zemFileName.isEmpty() || !fileExists(path)) return;
    zem.setPath(ss(diskPath(path)));
    try {
        zem.open();
    } catch (const std::exception &) {
        zem.close(); // a land-area table that does not open shows numbers, like none at all
    }
}

StartupOutcome runLoadingSequence(AppState &state, StartupUi &ui)
{
    return Sequence(state, ui).run();
}

StartupOutcome loadQuietly(AppState &state, QVector<UserMessage> *messages)
{
    CollectingUi ui(messages);
    return runLoadingSequence(state, ui);
}

} // namespace dx
