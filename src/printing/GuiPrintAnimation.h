// The animation of the print progress window: a sheet flying from the document folder
// into the printer, over and over, while the window is shown. A long run keeps the
// program's thread busy between its items, so the run also moves it on by a frame
// after each item.
#pragma once

#include <QTimer>
#include <QWidget>

namespace dx {

class GuiPrintAnimation : public QWidget {
public:
    explicit GuiPrintAnimation(QWidget *parent = nullptr);

    static constexpr int kFrames = 20;
    static constexpr int kFrameMs = 70;

    int frame() const { return frame_; }
    bool isRunning() const { return timer_.isActive(); }
    // The next frame (after the last, the first again).
    void advance();

    QSize sizeHint() const override { return {240, 64}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer timer_;
    int frame_ = 0;
};

} // namespace dx
