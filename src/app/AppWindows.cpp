// Creating the windows and registering each under its type.
#include "app/AppWindows.h"

#include "export/TFormExportWindows.h"
#include "lists/TFormListWindows.h"
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
    add("TFormSitoSechi", new TFormSitoSechi(c));
    auto *sieve = add("TFormSitoRabotno", new TFormSitoRabotno(c));
    QObject::connect(sieve, &TFormSitoRabotno::subCompartmentChosen, main, &TFormDendrix::goToSubCompartment);
    add("TFormPrintProgress", new TFormPrintProgress(c));
    add("TFormStatistics", new TFormStatistics(c));
    add("TFormSitoRabotnoSechi", new TFormSitoRabotnoSechi(c));
    w->wait = add("TFormSitoRabotnoWait", new TFormSitoRabotnoWait(main));
    auto *obs = add("TFormSitoOBS", new TFormSitoOBS(c));
    QObject::connect(obs, &TFormSitoOBS::subCompartmentChosen, main, &TFormDendrix::goToSubCompartment);
    add("TFormSpisatzi", new TFormSpisatzi(c));
    add("TFormSpisatziSubInfo", new TFormSpisatziSubInfo(c));
    w->loading = add("TFormLoading", new TFormLoading(main));
    w->about = add("TFormAbout", new TFormAbout(c));
    add("TFormSitoRabotnoPrint", new TFormSitoRabotnoPrint(c));
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
    add("TFormSpisatziSechi", new TFormSpisatziSechi(c));
    add("TFormPrintListFromFile", new TFormPrintListFromFile(c));
    add("TFormTableSelect", new TFormTableSelect(c));
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
