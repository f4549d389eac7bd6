// Windows of description printing. Their contents come with the printing work; until
// then they are empty windows with their captions.
#pragma once

#include "shell/TFormWindow.h"

namespace dx {

class TFormReport : public TFormWindow {
public:
    explicit TFormReport(QWidget *p) : TFormWindow(QStringLiteral("Печат на таксационни описания"), p) {}
};
class TFormPrintEdin : public TFormWindow {
public:
    explicit TFormPrintEdin(QWidget *p) : TFormWindow(QStringLiteral("Единичен печат на описания"), p) {}
};
class TFormPrintPList : public TFormWindow {
public:
    explicit TFormPrintPList(QWidget *p) : TFormWindow(QStringLiteral("Печат на предотделен лист"), p) {}
};
class TFormReportPList : public TFormWindow {
public:
    explicit TFormReportPList(QWidget *p) : TFormWindow(QString(), p) {}
};
class TFormPrintOtDo : public TFormWindow {
public:
    explicit TFormPrintOtDo(QWidget *p) : TFormWindow(QStringLiteral("Поточен печат на описания"), p) {}
};
class TFormPrintOtDoList : public TFormWindow {
public:
    explicit TFormPrintOtDoList(QWidget *p) : TFormWindow(QStringLiteral("Списък подотдели"), p) {}
};
class TFormPrintSet : public TFormWindow {
public:
    explicit TFormPrintSet(QWidget *p) : TFormWindow(QStringLiteral("Настройки печат"), p) {}
};
class TFormPrintProgress : public TFormWindow {
public:
    explicit TFormPrintProgress(QWidget *p) : TFormWindow(QStringLiteral("Отпечатване..."), p) {}
};
class TFormPrintListFromFile : public TFormWindow {
public:
    explicit TFormPrintListFromFile(QWidget *p)
        : TFormWindow(QStringLiteral("Поточен печат на описания от списък"), p)
    {
    }
};

} // namespace dx
