#include "form_widgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace crossing {

void fillBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    // Buttons fill with the Button role, other widgets with Window. Every colour
    // group gets it, so a disabled seat keeps its colour.
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

SeatBox::SeatBox(const form::Control& description, const QColor& fill, QWidget* parent)
    : QCheckBox(parent), description_(description)
{
    fillBackground(this, fill);
}

bool SeatBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

BankFrame::BankFrame(const QString& caption, const QColor& fill, QWidget* parent)
    : QGroupBox(caption, parent), fill_(fill)
{
    fillBackground(this, fill);
}

void BankFrame::paintEvent(QPaintEvent* /*event*/)
{
    constexpr int kCaptionIndent = 8;  // where the caption breaks the line
    constexpr int kCaptionPadding = 2; // clear line on either side of it
    QPainter painter(this);
    painter.fillRect(rect(), fill_);

    const QFontMetrics metrics = fontMetrics();
    const int lineTop = metrics.height() / 2;
    qDrawShadeRect(&painter, QRect(0, lineTop, width(), height() - lineTop), palette(), true, 1);

    const QRect caption(kCaptionIndent, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding,
                        metrics.height());
    painter.fillRect(caption, fill_);
    style()->drawItemText(&painter, caption, Qt::AlignCenter, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

ColourButton::ColourButton(const QString& caption, const QColor& face, QWidget* parent)
    : QPushButton(caption, parent), face_(face)
{
    setAutoDefault(false);
    setDefault(false);
}

// The toolkit presses a button on Enter only when it is a default button,
// and an auto-default one turns default whenever it takes the focus, which
// assistive tools would then announce. So Enter is handled here.
void ColourButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void ColourButton::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QBrush faceBrush(face_);
    const bool sunken = isDown();
    qDrawWinButton(&painter, rect(), palette(), sunken, &faceBrush);

    // The caption moves with the face while the button is held down.
    const QRect captionRect = sunken ? rect().translated(1, 1) : rect();
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(captionRect, Qt::AlignCenter, text());

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(4, 4, -4, -4);
        focus.backgroundColor = face_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace crossing
