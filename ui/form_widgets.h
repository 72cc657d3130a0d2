// The kinds of control whose look or feel the stock widgets do not give.
#pragma once

#include "form_description.h"

#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QPushButton>

namespace crossing {

// Paints a widget's whole background in one colour.
void fillBackground(QWidget* widget, const QColor& colour);

// A seat: a two-state tick box filled with its colour. Like the tick boxes
// users know from Windows, a click anywhere on it toggles it, not only a click
// on the square or the caption, which for an empty seat is just the square.
class SeatBox final : public QCheckBox {
    Q_OBJECT
public:
    // The description must outlive the seat (the form's table lives as long
    // as the program).
    SeatBox(const form::Control& description, const QColor& fill, QWidget* parent);

    const form::Control& description() const { return description_; }

protected:
    bool hitButton(const QPoint& pos) const override;

private:
    const form::Control& description_;
};

// A bank: a group box in the classic look, its caption set into the top
// border. The whole box, behind the caption too, is its own colour; an etched
// line runs round it with its top edge through the middle of the caption and
// is broken near the left where the caption stands. A disabled bank greys its
// caption as the toolkit greys any disabled text.
class BankFrame final : public QGroupBox {
    Q_OBJECT
public:
    BankFrame(const QString& caption, const QColor& fill, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
};

// A push button whose whole face is painted in its colour, inside a classic
// raised bevel that sinks while the button is held down. Enter presses it
// while it has the focus, as Space does; no button is the window's default,
// so Enter anywhere else presses nothing.
class ColourButton final : public QPushButton {
    Q_OBJECT
public:
    ColourButton(const QString& caption, const QColor& face, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor face_;
};

} // namespace crossing
