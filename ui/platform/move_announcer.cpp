#include "move_announcer.h"

#include "qt_conversions.h"

#include <QAccessible>
#include <QWidget>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QAccessibleAnnouncementEvent>
#else
#include <QAccessibleObject>
#endif

namespace crossing::platform {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

MoveAnnouncer::MoveAnnouncer(QWidget* window) : window_(window) {}

// Polite: said once the screen reader has finished what it is saying.
void MoveAnnouncer::say(std::string_view sentence)
{
    if (sentence.empty() || !QAccessible::isActive())
        return;
    QAccessibleAnnouncementEvent announcement(window_, toQString(sentence));
    QAccessible::updateAccessibility(&announcement);
}

#else

namespace {

// The sentence being spoken. It is a QObject only so that the accessibility
// bus can address it.
class SpokenNotice final : public QObject {
public:
    using QObject::QObject;
    QString sentence;
};

// Orca speaks a notification as soon as it is shown, whatever has the focus.
// The notice never takes a place on screen, so it is not among the window's
// children.
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
    auto* notice = static_cast<SpokenNotice*>(notice_);
    notice->sentence = toQString(sentence);
    QAccessibleInterface* accessible = interfaceOf(notice);
    QAccessibleEvent shown(accessible, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    QAccessibleEvent hidden(accessible, QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
}

#endif

} // namespace crossing::platform
