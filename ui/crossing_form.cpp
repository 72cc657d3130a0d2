#include "crossing_form.h"

#include "accessibility.h"
#include "application_look.h"
#include "form_widgets.h"
#include "platform/frame_centring.h"
#include "qt_conversions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>

#include <algorithm>
#include <vector>

namespace crossing {

namespace {

using form::ControlKind;

QRect toQRect(form::Twips place)
{
    const form::Pixels pixels = form::toPixels(place);
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

// A title bar with icon, system menu and close button, and nothing else: the
// window cannot be minimised or maximised.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

QLabel* makeLabel(const form::Control& control, QWidget* parent)
{
    auto* label = new QLabel(toQString(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QPlainTextEdit* makeTextBox(const form::Control& control, QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    // Read-only still lets the user move the caret and select by keyboard.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    // Last, so that the text is laid out with the settings above.
    box->setPlainText(toQString(control.text));
    return box;
}

QListWidget* makeListBox(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    return list;
}

} // namespace

QIcon programIcon()
{
#include "hamburger.xpm"
    return QIcon(QPixmap(hamburger_xpm));
}

CrossingForm::CrossingForm(QWidget* parent) : QWidget(parent, kWindowFlags)
{
    // Before the first control exists, so that none is ever presented to a
    // screen reader by the toolkit's stock interface.
    installAccessibility();

    // The fixed colours of the form are light; text takes a light scheme's
    // colours with them, whatever the desktop's scheme, so that it stays
    // readable. The lists and text boxes keep the light scheme's white.
    setPalette(windowScheme());

    const form::Window& description = form::window();
    setWindowTitle(toQString(form::fullTitle(description)));
    setWindowIcon(programIcon());
    setFont(windowFont());
    setFixedSize(toQRect(description.clientArea).size());
    // An X11 window manager can tell the frame's size while the controls are built.
    platform::FrameCentring centring(*this);

    for (const form::Control& control : form::controls()) {
        QWidget* widget =
            controls_.emplace_back(build(control, control.parent ? this->control(*control.parent) : this));
        widget->setObjectName(toQString(form::controlName(control.id)));
        widget->setGeometry(toQRect(control.place));
        widget->setVisible(control.shown);
        describeControl(*widget, control);
    }
    stackControls();
    orderTabs();
    centring.centre();
    control(form::firstFocus().id)->setFocus();
    OnLoad();
}

// Creates the widget for one control and files it under its array and index.
QWidget* CrossingForm::build(const form::Control& control, QWidget* parent)
{
    const std::size_t index = slot(control.id.index);
    const QColor colour = control.background ? toQColor(*control.background) : QColor();
    switch (control.kind()) {
    case ControlKind::Frame:
        return boardWidgets_.frames.at(index) = new BankFrame(toQString(control.text), colour, parent);
    case ControlKind::TickBox: {
        auto* seat = new SeatBox(control, colour, parent);
        seat->setText(toQString(control.text));
        return boardWidgets_.seats.at(index) = seat;
    }
    case ControlKind::PushButton: {
        auto* button = new ColourButton(toQString(control.text), colour, parent);
        connect(button, &QPushButton::clicked, this, [this, id = control.id.index] { OnCommandClick(id); });
        return buttons_.at(index) = button;
    }
    case ControlKind::ListBox:
        return boardWidgets_.knightLists.at(index) = makeListBox(parent);
    case ControlKind::Label: {
        QLabel* label = makeLabel(control, parent);
        fillBackground(label, colour);
        return boardWidgets_.labels.at(index) = label;
    }
    case ControlKind::TextBox:
        return texts_.at(index) = makeTextBox(control, parent);
    }
    return nullptr;
}

// Widgets stand in the order of the description's table.
QWidget* CrossingForm::control(form::ControlId id) const
{
    return controls_.at(slot(&form::control(id.array, id.index) - form::controls().data()));
}

// Only where controls touch does this show: each list covers the last pixel
// row of its heading, and the count and direction labels the last pixel
// column of their captions.
void CrossingForm::stackControls()
{
    std::vector<const form::Control*> bottomToTop;
    for (const form::Control& control : form::controls())
        bottomToTop.push_back(&control);
    std::stable_sort(
        bottomToTop.begin(), bottomToTop.end(),
        [](const form::Control* a, const form::Control* b) { return a->stackPlace < b->stackPlace; });
    for (const form::Control* control : bottomToTop)
        this->control(control->id)->raise();
}

// Seats in a disabled frame drop out of the cycle by themselves.
void CrossingForm::orderTabs()
{
    const std::span<const form::Control* const> cycle = form::focusOrder();
    for (std::size_t i = 1; i < cycle.size(); ++i)
        setTabOrder(control(cycle[i - 1]->id), control(cycle[i]->id));
}

// Painted rather than set in the palette, so that the lists and text boxes
// keep the system's window colours instead of inheriting this one.
void CrossingForm::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(form::window().background));
}

void CrossingForm::OnLoad() { session_.OnLoad(); }

// What the command changed is also spoken, for players who cannot see it.
void CrossingForm::OnCommandClick(Int16 index) { announcer_.say(session_.OnCommandClick(index)); }

} // namespace crossing
