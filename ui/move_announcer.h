// What a screen reader says after the player presses Move or Clear, so that
// a player who cannot see the board hears what a sighted player sees change,
// without the focus leaving the button. A refused move changes nothing on
// screen and is not spoken either.
#pragma once

#include "board_controls.h"

#include <QString>

#include <optional>

class QWidget;

namespace crossing {

class CrossingPuzzle;
class SpokenNotice;

// What a command may change, taken before it runs.
struct CommandSnapshot {
    std::optional<Int16> boatSide;
    Int16 moveCount = 0;

    static CommandSnapshot of(const CrossingPuzzle& puzzle);
};

// The sentence for a command that has just run, or an empty string when
// there is nothing to say (a refused move).
QString spokenAfterCommand(Int16 index, const CommandSnapshot& before, const CrossingPuzzle& puzzle,
                           const BoardControls& board);

class MoveAnnouncer {
public:
    // The announcements belong to the window; nothing is added to its looks.
    explicit MoveAnnouncer(QWidget* window);

    void announceCommand(Int16 index, const CommandSnapshot& before, const CrossingPuzzle& puzzle,
                         const BoardControls& board);

private:
    void say(const QString& sentence);

    SpokenNotice* notice_; // owned by the window
};

} // namespace crossing
