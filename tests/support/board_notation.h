// Short written forms for test tables and failure messages: a whole board on
// one line, and a run of user actions as a string.
#pragma once

#include "reference_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace crossing::testing {

// The board and the puzzle's two values on one line, for example the start:
//
//     BBK|___ 3:0 +- L 0 .
//
// The six seats, left bank then right: B a boy, K a knight, _ nobody; a ticked
// seat is written in lower case, a ticked empty seat as *. Then the knights on
// each bank, each bank's frame enabled (+) or disabled (-), where the boat lies
// (L or R), the move count label, and the direction label (> to the right,
// < to the left, . not yet written). Anything the rules never write shows as ?.
[[nodiscard]] std::string notation(const MemoryBoard& board, const CrossingPuzzle& puzzle);

// User actions written as a string: a digit clicks that seat, M presses
// Move, C presses Clear. Spaces only group the actions for the reader.
[[nodiscard]] std::vector<Action> actionsOf(std::string_view script);

// Plays a script on the core and the model together; a click is ignored
// while its seat's bank is disabled.
void play(Playthrough& game, std::string_view script);

} // namespace crossing::testing
