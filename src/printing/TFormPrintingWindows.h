// Windows of description printing. Those whose contents come with the range and list
// printing are empty windows with their captions until then.
#pragma once

#include "printing/TFormPrintEdin.h"
#include "printing/TFormPrintOtDo.h"
#include "printing/TFormPrintPList.h"
#include "printing/TFormPrintProgress.h"
#include "printing/TFormPrintSet.h"
#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormReport : public TFormWindow {
public:
    explicit TFormReport(WindowContext &c) : TFormWindow(QStringLiteral("Печат на таксационни описания"), c.owner()) {}
};
class TFormReportPList : public TFormWindow {
public:
    explicit TFormReportPList(WindowContext &c) : TFormWindow(QString(), c.owner()) {}
};
class TFormPrintListFromFile : public TFormWindow {
public:
    explicit TFormPrintListFromFile(WindowContext &c)
        : TFormWindow(QStringLiteral("Поточен печат на описания от списък"), c.owner())
    {
    }
};

} // namespace dx
