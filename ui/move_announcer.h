// Speaks to a screen reader after the player presses Move or Clear, so that
// a player who cannot see the board hears what a sighted player sees change,
// without the focus leaving the button. The words are the form's
// (form::spokenAfterCommand).
#pragma once

#include <string_view>

class QWidget;

namespace crossing {

class SpokenNotice;

class MoveAnnouncer {
public:
    // The announcements belong to the window; nothing is added to its looks.
    explicit MoveAnnouncer(QWidget* window);

    // Says the sentence (the form's description words it); an empty one is
    // not said.
    void say(std::string_view sentence);

private:
    SpokenNotice* notice_; // owned by the window
};

} // namespace crossing
