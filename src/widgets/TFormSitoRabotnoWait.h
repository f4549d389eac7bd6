// The small "please wait" window that long list builds, pick-list loads and the database
// editor show while they work on the UI thread: a label and a gauge in a group box.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QShowEvent;

namespace dx {

class TFormSitoRabotnoWait : public QDialog {
    Q_OBJECT
public:
    explicit TFormSitoRabotnoWait(QWidget *parent = nullptr);

    // Show the window (modeless) with `text` and an empty gauge running to `maximum`.
    void start(const QString &text, int maximum);

    // Each change is painted at once, so it shows while the caller keeps the UI thread.
    void setText(const QString &text);
    void setRange(int maximum);
    void setPosition(int position);
    void step();

    QString text() const;
    int maximum() const;
    int position() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void centreOnScreen();

    QLabel *label_;
    QProgressBar *gauge_;
};

} // namespace dx
