// The print progress window's animation.
#include "printing/GuiPrintAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace dx {
namespace {

// A sheet of paper with a few lines of text, its top left corner at the origin.
void drawSheet(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(120, 120, 160), 1));
    for (double y = r.top() + 4; y < r.bottom() - 2; y += 3)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - (int(y) % 2 ? 5 : 3), y));
}

void drawFolder(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(140, 110, 30), 1));
    p.setBrush(QColor(238, 200, 90));
    QPainterPath back;
    back.moveTo(r.left(), r.top() + 4);
    back.lineTo(r.left() + r.width() * 0.35, r.top() + 4);
    back.lineTo(r.left() + r.width() * 0.42, r.top());
    back.lineTo(r.right(), r.top());
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.drawPath(back);
    drawSheet(p, QRectF(r.left() + 5, r.top() + 3, r.width() - 12, r.height() - 8));
    p.setPen(QPen(QColor(140, 110, 30), 1));
    p.setBrush(QColor(250, 215, 110));
    p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.45, r.width(), r.height() * 0.55));
}

void drawPrinter(QPainter &p, const QRectF &r)
{
    // The paper tray behind, the body, the slot the printed sheets come out of.
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(QColor(225, 225, 225));
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top(), r.width() * 0.6, r.height() * 0.3));
    p.setBrush(QColor(175, 178, 185));
    p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.28, r.width(), r.height() * 0.5), 3, 3);
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.62, r.width() * 0.7, 3));
    p.setBrush(QColor(80, 200, 90));
    p.drawEllipse(QPointF(r.right() - 6, r.top() + r.height() * 0.4), 2, 2);
}

} // namespace

GuiPrintAnimation::GuiPrintAnimation(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] { advance(); });
}

void GuiPrintAnimation::advance()
{
    frame_ = (frame_ + 1) % kFrames;
    update();
}

void GuiPrintAnimation::showEvent(QShowEvent *event)
{
    frame_ = 0;
    timer_.start();
    QWidget::showEvent(event);
}

void GuiPrintAnimation::hideEvent(QHideEvent *event)
{
    timer_.stop();
    QWidget::hideEvent(event);
}

void GuiPrintAnimation::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double w = width(), h = height();
    const QRectF folder(8, h - 34, 38, 28);
    const QRectF printer(w - 66, h - 44, 58, 40);
    drawFolder(p, folder);
    drawPrinter(p, printer);
    // The flying sheet: from the folder up over an arc into the printer's tray, a little
    // smaller as it goes away; the last frames show it leaving the slot printed.
    const double t = double(frame_) / (kFrames - 1);
    const double x0 = folder.center().x(), x1 = printer.center().x();
    const double x = x0 + (x1 - x0) * t;
    const double y0 = folder.top() - 2, y1 = printer.top() + 2;
    const double sw = 16 - 4 * t, sh = 20 - 5 * t;
    // The top of the arc keeps the whole sheet inside the picture.
    const double lift = std::max(0.0, std::min(y0, y1) - sh / 2 - 2);
    const double y = y0 + (y1 - y0) * t - std::sin(M_PI * t) * lift;
    p.save();
    p.translate(x, y);
    p.rotate(-25 + 50 * t);
    drawSheet(p, QRectF(-sw / 2, -sh / 2, sw, sh));
    p.restore();
    // The printed sheet coming out of the slot grows frame by frame.
    const double out = std::fmod(t * 2, 1.0);
    drawSheet(p, QRectF(printer.left() + printer.width() * 0.25, printer.top() + printer.height() * 0.64,
                        printer.width() * 0.5, 2 + out * (h - printer.top() - printer.height() * 0.64 - 3)));
}

} // namespace dx
