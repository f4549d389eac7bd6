// The about window: the program's picture (a click on it closes the window), the
// version and the maker's contact details.
#pragma once

#include "shell/TFormWindow.h"

class QLabel;

namespace dx {

class TFormAbout : public TFormWindow {
public:
    explicit TFormAbout(QWidget *parent);
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
