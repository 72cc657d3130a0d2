#include "move_announcer.h"

#include "crossing_puzzle.h"
#include "form_description.h"
#include "qt_conversions.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QWidget>

#include <string>

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

CommandSnapshot CommandSnapshot::of(const CrossingPuzzle& puzzle)
{
    return {puzzle.BoatSide(), puzzle.MoveCount()};
}

QString spokenAfterCommand(Int16 index, const CommandSnapshot& before, const CrossingPuzzle& puzzle,
                           const BoardControls& board)
{
    if (index == kClearButton)
        return toQString(form::announcements().startAgain);
    const CommandSnapshot after = CommandSnapshot::of(puzzle);
    // A move the rules refuse changes neither; at the counter's ceiling a
    // move still turns the boat.
    if (after.boatSide == before.boatSide && after.moveCount == before.moveCount)
        return {};
    return toQString(form::moveAnnouncement(std::to_string(after.moveCount),
                                            after.boatSide == kRightBank ? kToTheRight : kToTheLeft,
                                            board.knightCount(kLeftBank) == 0));
}

MoveAnnouncer::MoveAnnouncer(QWidget* window) : notice_(new SpokenNotice(window)) {}

void MoveAnnouncer::announceCommand(Int16 index, const CommandSnapshot& before, const CrossingPuzzle& puzzle,
                                    const BoardControls& board)
{
    if (!QAccessible::isActive())
        return; // no assistive tool is listening
    const QString sentence = spokenAfterCommand(index, before, puzzle, board);
    if (!sentence.isEmpty())
        say(sentence);
}

// Shown and at once hidden again: to a screen reader the notice pops up, to
// the eye nothing happens.
void MoveAnnouncer::say(const QString& sentence)
{
    notice_->sentence = sentence;
    QAccessibleInterface* notice = interfaceOf(notice_);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    QAccessibleEvent hidden(notice, QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
}

} // namespace crossing
