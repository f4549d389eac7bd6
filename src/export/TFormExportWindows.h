// The export window. Its contents come with the export work; until then it is an empty
// window with its caption.
#pragma once

#include "shell/TFormWindow.h"

namespace dx {

class TFormExport : public TFormWindow {
public:
    explicit TFormExport(QWidget *p) : TFormWindow(QStringLiteral("Експорт на описания"), p) {}
};

} // namespace dx
