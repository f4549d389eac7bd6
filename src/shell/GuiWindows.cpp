#include "shell/GuiWindows.h"

#include "export/TFormExportWindows.h"
#include "lists/TFormListWindows.h"
#include "lists/TFormSitoRabotnoWait.h"
#include "maintenance/TFormMaintenanceWindows.h"
#include "printing/TFormPrintingWindows.h"
#include "reports/TFormReportWindows.h"
#include "shell/TFormAbout.h"
#include "shell/TFormDendrix.h"
#include "shell/TFormLoading.h"
#include "shell/TFormShellWindows.h"
#include "sieves/TFormSieveWindows.h"

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
    auto *main = new TFormDendrix;
    main->setAttribute(Qt::WA_DeleteOnClose, false);
    w->dendrix = main;
    w->all.push_back({"TFormDendrix", main});
    auto add = [&](const char *name, QWidget *window) {
        w->all.push_back({name, window});
        return window;
    };
    add("TFormReport", new TFormReport(main));
    add("TFormPrintEdin", new TFormPrintEdin(main));
    add("TFormPrintPList", new TFormPrintPList(main));
    add("TFormReportPList", new TFormReportPList(main));
    add("TFormPrintOtDo", new TFormPrintOtDo(main));
    add("TFormPrintOtDoList", new TFormPrintOtDoList(main));
    add("TFormPrintSet", new TFormPrintSet(main));
    add("TFormSitoSechi", new TFormSitoSechi(main));
    add("TFormSitoRabotno", new TFormSitoRabotno(*main));
    add("TFormPrintProgress", new TFormPrintProgress(main));
    add("TFormStatistics", new TFormStatistics(main));
    add("TFormSitoRabotnoSechi", new TFormSitoRabotnoSechi(*main));
    w->wait = new TFormSitoRabotnoWait(main);
    add("TFormSitoRabotnoWait", w->wait);
    add("TFormSitoOBS", new TFormSitoOBS(main));
    add("TFormSpisatzi", new TFormSpisatzi(main));
    add("TFormSpisatziSubInfo", new TFormSpisatziSubInfo(main));
    w->loading = new TFormLoading(main);
    add("TFormLoading", w->loading);
    w->about = new TFormAbout(main);
    add("TFormAbout", w->about);
    add("TFormSitoRabotnoPrint", new TFormSitoRabotnoPrint(main));
    add("TFormSob", new TFormSob(main));
    add("TFormGF1", new TFormGF1(main));
    add("TFormGF1Print", new TFormGF1Print(main));
    add("TFormGF2", new TFormGF2(main));
    add("TFormSitoRabotnoAge", new TFormSitoRabotnoAge(*main));
    add("TFormSpisatziQuery", new TFormSpisatziQuery(main));
    w->selPrj = new TFormSelPrj(main);
    add("TFormSelPrj", w->selPrj);
    add("TFormExport", new TFormExport(main));
    add("TFormSpisatziSechi", new TFormSpisatziSechi(main));
    add("TFormPrintListFromFile", new TFormPrintListFromFile(main));
    add("TFormTableSelect", new TFormTableSelect(main));
    add("TFormEditDB", new TFormEditDB(main));
    add("TFormEditDBUnArch", new TFormEditDBUnArch(main));
    add("TFormDBSearch", new TFormDBSearch(main));
    add("TFormEditZemName", new TFormEditZemName(main));
    add("TFormTestZemName", new TFormTestZemName(main));
    add("TFormStatus", new TFormStatus(main));
    add("TFormEditName", new TFormEditName(main));
    add("TFormSitoRabotnoSetting", new TFormSitoRabotnoSetting(*main));
    main->setWindows(w.get());
    return w;
}

} // namespace dx
