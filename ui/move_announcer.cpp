#include "move_announcer.h"

#include "qt_conversions.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QWidget>

namespace crossing {

// The sentence being spoken. It is a QObject only so that the accessibility
// bus can address it.
class SpokenNotice final : public QObject {
public:
    using QObject::QObject;
    QString sentence;
};

namespace {

// Orca speaks a notification as soon as it is shown, whatever has the focus.
// Qt 6.4 has no announcement of its own, and its name- and description-change
// events carry no text, so Orca says nothing for those. The notice never
// takes a place on screen, so it is not among the window's children.
class SpokenNoticeAccessible final : public QAccessibleObject {
public:
    explicit SpokenNoticeAccessible(SpokenNotice* notice) : QAccessibleObject(notice) {}

    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(notice()->parent());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? notice()->sentence : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }

private:
    SpokenNotice* notice() const { return static_cast<SpokenNotice*>(object()); }
};

QAccessibleInterface* interfaceOf(SpokenNotice* notice)
{
    if (QAccessibleInterface* known = QAccessible::queryAccessibleInterface(notice))
        return known;
    auto* made = new SpokenNoticeAccessible(notice);
    QAccessible::registerAccessibleInterface(made); // deleted by Qt with the notice
    return made;
}

} // namespace

MoveAnnouncer::MoveAnnouncer(QWidget* window) : notice_(new SpokenNotice(window)) {}

// Shown and at once hidden again: to a screen reader the notice pops up, to
// the eye nothing happens.
void MoveAnnouncer::say(std::string_view sentence)
{
    if (sentence.empty() || !QAccessible::isActive())
        return; // nothing to say, or no assistive tool listening
    notice_->sentence = toQString(sentence);
    QAccessibleInterface* notice = interfaceOf(notice_);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    QAccessibleEvent hidden(notice, QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
}

} // namespace crossing
