// Creating the windows and registering each under its type.
#include "app/AppWindows.h"

#include "export/TFormExportWindows.h"
#include "lists/TFormSpisatziSechi.h"
#include "lists/TFormSpisatzi.h"
#include "lists/TFormSpisatziQuery.h"
#include "lists/TFormSpisatziSubInfo.h"
#include "lists/TFormTableSelect.h"
#include "maintenance/TFormMaintenanceWindows.h"
#include "printing/TFormPrintingWindows.h"
#include "reports/TFormReportWindows.h"
#include "shell/TFormAbout.h"
#include "shell/TFormDendrix.h"
#include "shell/TFormLoading.h"
#include "shell/TFormShellWindows.h"
#include "sieves/TFormSieveWindows.h"
#include "widgets/TFormSitoRabotnoWait.h"

#include <cstring>

namespace dx {

QWidget *AppWindows::find(const char *className) const
{
    for (const Entry &e : all)
        if (std::strcmp(e.className, className) == 0) return e.window;
    return nullptr;
}

std::unique_ptr<AppWindows> createWindows()
{
    auto w = std::make_unique<AppWindows>();
    WindowContext &c = w->context;
    auto add = [&]<class W>(const char *name, W *window) {
        w->registry.add(window);
        w->all.push_back({name, window});
        return window;
    };
    auto *main = add("TFormDendrix", new TFormDendrix(c));
    main->setAttribute(Qt::WA_DeleteOnClose, false);
    w->dendrix = main;
    c.setOwner(main);
    w->messages.setParent(main);
    add("TFormReport", new TFormReport(c));
    add("TFormPrintEdin", new TFormPrintEdin(c));
    add("TFormPrintPList", new TFormPrintPList(c));
    add("TFormReportPList", new TFormReportPList(c));
    add("TFormPrintOtDo", new TFormPrintOtDo(c));
    add("TFormPrintOtDoList", new TFormPrintOtDoList(c));
    add("TFormPrintSet", new TFormPrintSet(c));
    auto *cuttings = add("TFormSitoSechi", new TFormSitoSechi(c));
    QObject::connect(cuttings, &TFormSitoSechi::subCompartmentChosen, main, &TFormDendrix::goToSubCompartment);
    auto *sieve = add("TFormSitoRabotno", new TFormSitoRabotno(c));
    QObject::connect(sieve, &TFormSitoRabotno::subCompartmentChosen, main, &TFormDendrix::goToSubCompartment);
    add("TFormPrintProgress", new TFormPrintProgress(c));
    add("TFormStatistics", new TFormStatistics(c));
    add("TFormSitoRabotnoSechi", new TFormSitoRabotnoSechi(c));
    w->wait = add("TFormSitoRabotnoWait", new TFormSitoRabotnoWait(main));
    auto *obs = add("TFormSitoOBS", new TFormSitoOBS(c));
    QObject::connect(obs, &TFormSitoOBS::subCompartmentChosen, main, &TFormDendrix::goToSubCompartment);
    auto *lists = add("TFormSpisatzi", new TFormSpisatzi(c));
    QObject::connect(main, &TFormDendrix::builtTablesCleared, lists, &TFormSpisatzi::clearTableMenu);
    QObject::connect(main, &TFormDendrix::areasByCompartmentRequested, lists, &TFormSpisatzi::ViewOtd);
    QObject::connect(main, &TFormDendrix::areasBySpeciesRequested, lists, &TFormSpisatzi::ViewSpecies);
    add("TFormSpisatziSubInfo", new TFormSpisatziSubInfo(c));
    w->loading = add("TFormLoading", new TFormLoading(main));
    w->about = add("TFormAbout", new TFormAbout(c));
    auto *printChoice = add("TFormSitoRabotnoPrint", new TFormSitoRabotnoPrint(c));
    // The print-choice window's "Експорт" ends in the working sieve's one hand-over.
    QObject::connect(printChoice, &TFormSitoRabotnoPrint::exportChosen, sieve, &TFormSitoRabotno::SpeedItem11Click);
    if (auto *progress = w->registry.get<TFormPrintProgress>())
        printChoice->setProgress(
            {[progress](int total, bool *stop) {
                 progress->start(printProgressLabel(0, total), printProgressTitle(0, total), total, stop);
             },
             [progress](int done, int total) {
                 progress->step(printProgressLabel(done, total), printProgressTitle(done, total), done);
             },
             [progress] { progress->finish(); }});
    add("TFormSob", new TFormSob(c));
    add("TFormGF1", new TFormGF1(c));
    add("TFormGF1Print", new TFormGF1Print(c));
    add("TFormGF2", new TFormGF2(c));
    add("TFormSitoRabotnoAge", new TFormSitoRabotnoAge(c));
    add("TFormSpisatziQuery", new TFormSpisatziQuery(c));
    w->selPrj = add("TFormSelPrj", new TFormSelPrj(c));
    auto *exportWindow = add("TFormExport", new TFormExport(c));
    // The export window runs under the print progress window and takes the working
    // sieve's result.
    if (auto *progress = w->registry.get<TFormPrintProgress>())
        exportWindow->setProgress(
            {[progress](const QString &label, const QString &title, int total, bool *stop) {
                 progress->start(label, title, total, stop);
             },
             [progress](const QString &label, const QString &title, int done) { progress->step(label, title, done); },
             [progress] { progress->finish(); }});
    QObject::connect(sieve, &TFormSitoRabotno::exportRequested, exportWindow,
                     [exportWindow](const SieveHandOver &h) { exportWindow->receiveList(h.subCompartments); });
    // "виж всички подотдели за отдела": the compartment detail window at the export window's right edge.
    if (auto *detail = w->registry.get<TFormSpisatziSubInfo>())
        QObject::connect(exportWindow, &TFormExport::compartmentDetailRequested, detail,
                         [detail, exportWindow](int otd) {
                             detail->showCompartment(otd);
                             detail->placeBeside(exportWindow);
                         });
    // Ranges are shared between printing and export: the range list window shows the last one.
    if (auto *rangeList = w->registry.get<TFormPrintOtDoList>())
        QObject::connect(exportWindow, &TFormExport::rangeResolved, rangeList, &TFormPrintOtDoList::setEntries);
    add("TFormSpisatziSechi", new TFormSpisatziSechi(c));
    add("TFormPrintListFromFile", new TFormPrintListFromFile(c));
    auto *tableSelect = add("TFormTableSelect", new TFormTableSelect(c));
    // A built table is shown in the Lists window and, the first time in this project,
    // offered again from its menu "Таблици", read back from its file.
    QObject::connect(tableSelect, &TFormTableSelect::tableBuilt, lists,
                     [lists, tableSelect](const PhysGeoTable &t, bool firstBuild) {
                         if (const PhysGeoEntry *e = physGeoEntry(t.number))
                             lists->setTableEntry(e->shortName, e->description);
                         lists->showList(t.content);
                         if (firstBuild) lists->addTableMenuEntry(t.menuText, tableSelect->loader(t.number));
                     });
    add("TFormEditDB", new TFormEditDB(c));
    add("TFormEditDBUnArch", new TFormEditDBUnArch(c));
    add("TFormDBSearch", new TFormDBSearch(c));
    add("TFormEditZemName", new TFormEditZemName(c));
    add("TFormTestZemName", new TFormTestZemName(c));
    add("TFormStatus", new TFormStatus(c));
    add("TFormEditName", new TFormEditName(c));
    add("TFormSitoRabotnoSetting", new TFormSitoRabotnoSetting(c));
    return w;
}

} // namespace dx
