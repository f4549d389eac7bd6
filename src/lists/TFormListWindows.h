// Windows of the lists and area tables. Their contents come with the lists work; until
// then they are empty windows with their captions.
#pragma once

#include "shell/TFormWindow.h"

namespace dx {

class TFormSpisatzi : public TFormWindow {
public:
    explicit TFormSpisatzi(QWidget *p) : TFormWindow(QStringLiteral("Списъци"), p) {}
};
class TFormSpisatziSubInfo : public TFormWindow {
public:
    explicit TFormSpisatziSubInfo(QWidget *p) : TFormWindow(QString(), p) {}
};
class TFormSpisatziQuery : public TFormWindow {
public:
    explicit TFormSpisatziQuery(QWidget *p) : TFormWindow(QStringLiteral("Площи по ..."), p) {}
};
class TFormSpisatziSechi : public TFormWindow {
public:
    explicit TFormSpisatziSechi(QWidget *p) : TFormWindow(QStringLiteral("Списък на сечите"), p) {}
};
class TFormTableSelect : public TFormWindow {
public:
    explicit TFormTableSelect(QWidget *p) : TFormWindow(QString(), p) {}
};

} // namespace dx
