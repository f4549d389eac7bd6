// The borderless loading window shown while the project loads: a picture and one
// status line that each loading step sets and repaints at once.
#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;

namespace dx {

// The program's picture, shared by the loading and the about window.
QPixmap dendrixPicture(QSize size);

class TFormLoading : public QWidget {
public:
    explicit TFormLoading(QWidget *parent = nullptr);
    void setStatus(const QString &text);
    QString status() const;
    // Shows the window centred on the screen and paints it before returning.
    void showNow();

private:
    QLabel *label_;
};

} // namespace dx
