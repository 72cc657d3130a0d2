// Speaking to a screen reader after the player presses Move or Clear, so that
// a player who cannot see the board hears what a sighted player sees change,
// without the focus leaving the button.
//
// What breaks: Qt before 6.8 has no announcement, and its name- and
// description-change events carry no text, so a screen reader says nothing
// for them. There the sentence is a notification that assistive tools see
// shown and at once hidden again, which Orca 43 reads (after the word
// "notification"). How to see it: play a move with Orca running, or read
// the accessibility bus as tests/desktop/accessibility_check.py does.
// When it may go: from Qt 6.8 the toolkit's announcement is used instead
// (QAccessibleAnnouncementEvent); the notification goes with the last
// supported Qt before 6.8, and with it the accessibility test's listening
// for notifications, which must then listen for announcements.
#pragma once

#include <QtGlobal>

#include <string_view>

class QObject;
class QWidget;

namespace crossing::platform {

class MoveAnnouncer {
public:
    // The announcements belong to the window; nothing is added to its looks.
    explicit MoveAnnouncer(QWidget* window);

    // Says the sentence; an empty one is not said.
    void say(std::string_view sentence);

private:
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QWidget* window_;
#else
    QObject* notice_; // owned by the window
#endif
};

} // namespace crossing::platform
