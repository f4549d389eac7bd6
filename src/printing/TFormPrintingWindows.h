// Windows of description printing. Their contents come with the printing work; until
// then they are empty windows with their captions.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormReport : public TFormWindow {
public:
    explicit TFormReport(WindowContext &c) : TFormWindow(QStringLiteral("Печат на таксационни описания"), c.owner()) {}
};
class TFormPrintEdin : public TFormWindow {
public:
    explicit TFormPrintEdin(WindowContext &c) : TFormWindow(QStringLiteral("Единичен печат на описания"), c.owner()) {}
};
class TFormPrintPList : public TFormWindow {
public:
    explicit TFormPrintPList(WindowContext &c) : TFormWindow(QStringLiteral("Печат на предотделен лист"), c.owner()) {}
};
class TFormReportPList : public TFormWindow {
public:
    explicit TFormReportPList(WindowContext &c) : TFormWindow(QString(), c.owner()) {}
};
class TFormPrintOtDo : public TFormWindow {
public:
    explicit TFormPrintOtDo(WindowContext &c) : TFormWindow(QStringLiteral("Поточен печат на описания"), c.owner()) {}
};
class TFormPrintOtDoList : public TFormWindow {
public:
    explicit TFormPrintOtDoList(WindowContext &c) : TFormWindow(QStringLiteral("Списък подотдели"), c.owner()) {}
};
class TFormPrintSet : public TFormWindow {
public:
    explicit TFormPrintSet(WindowContext &c) : TFormWindow(QStringLiteral("Настройки печат"), c.owner()) {}
};
class TFormPrintProgress : public TFormWindow {
public:
    explicit TFormPrintProgress(WindowContext &c) : TFormWindow(QStringLiteral("Отпечатване..."), c.owner()) {}
};
class TFormPrintListFromFile : public TFormWindow {
public:
    explicit TFormPrintListFromFile(WindowContext &c)
        : TFormWindow(QStringLiteral("Поточен печат на описания от списък"), c.owner())
    {
    }
};

} // namespace dx
