#include "accessibility.h"

#include "crossing_form.h"
#include "form_widgets.h"
#include "platform/text_box_accessible.h"
#include "qt_conversions.h"

#include <QAccessibleWidget>
#include <QPlainTextEdit>

#include <string>

namespace crossing {

namespace {

// A seat is announced by who stands there, and an empty seat as such: a tick
// box without a name tells a listener nothing. The name is worked out on every
// query, so it follows the caption whenever the rules write it, and the
// toolkit's name-changed notice for the caption carries the new name.
class SeatAccessible final : public QAccessibleWidget {
public:
    explicit SeatAccessible(SeatBox* seat) : QAccessibleWidget(seat, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        return toQString(form::accessibleName(seat()->description(), seat()->text().toStdString()));
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = seat()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }

    // Acts as a click would: nothing happens while the seat's bank is locked.
    void doAction(const QString& action) override
    {
        if (action == toggleAction() || action == pressAction()) {
            if (seat()->isEnabled())
                seat()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == toggleAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    SeatBox* seat() const { return static_cast<SeatBox*>(widget()); }
};

// The window is presented as a window, titled by its title bar (or, inside
// a frame of the program's own, as a pane of that frame), and what the
// player never sees is left out for the listener too: controls the window
// keeps hidden are not among its children. No control of this window changes
// visibility while it runs, so the list of children never needs announcing.
class FormAccessible final : public QAccessibleWidget {
public:
    explicit FormAccessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

    QAccessible::Role role() const override
    {
        return widget()->isWindow() ? QAccessible::Window : QAccessible::Client;
    }

    int childCount() const override { return static_cast<int>(shownChildren().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> children = shownChildren();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child == nullptr || !child->object() || !child->object()->isWidgetType())
            return -1;
        return static_cast<int>(shownChildren().indexOf(static_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> shownChildren() const
    {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() && !child->isHidden())
                shown.append(child);
        }
        return shown;
    }
};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(SeatBox::staticMetaObject.className()))
        return new SeatAccessible(static_cast<SeatBox*>(object));
    if (className == QLatin1String(CrossingForm::staticMetaObject.className()))
        return new FormAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String(QPlainTextEdit::staticMetaObject.className()))
        return new platform::TextBoxAccessible(static_cast<QPlainTextEdit*>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::removeFactory(interfaceFor); // installing twice would do no harm, but no good either
    QAccessible::installFactory(interfaceFor);
}

void describeControl(QWidget& widget, const form::Control& control)
{
    const std::string description = form::accessibleDescription(control);
    if (!description.empty())
        widget.setAccessibleDescription(toQString(description));
    // A seat's name follows its caption (SeatAccessible); other controls are
    // named once, unless their own caption names them.
    if (!control.accessibleName.empty() || control.labelledBy)
        widget.setAccessibleName(toQString(form::accessibleName(control, {})));
}

} // namespace crossing
