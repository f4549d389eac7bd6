// Windows of description printing.
#pragma once

#include "printing/TFormPrintEdin.h"
#include "printing/TFormPrintListFromFile.h"
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
} // namespace dx
