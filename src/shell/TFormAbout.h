// The about window: the program's picture (a click on it closes the window), the
// version and the maker's contact details.
#pragma once

#include "widgets/TFormWindow.h"

class QLabel;

namespace dx {

class WindowContext;

class TFormAbout : public TFormWindow {
public:
    explicit TFormAbout(WindowContext &context);
    // "Version %s" with the version text.
    void setVersion(const QString &version);
    QString versionText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *picture_;
    QLabel *version_;
};

} // namespace dx
