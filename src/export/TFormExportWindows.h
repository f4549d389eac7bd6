// The export window. Its contents come with the export work; until then it is an empty
// window with its caption.
#pragma once

#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"

namespace dx {

class TFormExport : public TFormWindow {
public:
    explicit TFormExport(WindowContext &c) : TFormWindow(QStringLiteral("Експорт на описания"), c.owner()) {}
};

} // namespace dx
