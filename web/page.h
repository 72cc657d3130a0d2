// The page: built by walking the window's description, its elements holding
// the board, and the two command buttons driving the rules.
#pragma once

#include "dom_board.h"
#include "play_session.h"

namespace crossing::web {

class Page {
public:
    // Finds the form's elements, written into the page when it was built,
    // then runs the load handler, so the page is in the starting position
    // before the first move can be made.
    Page();

    // A click on Command1(index).
    void OnCommandClick(Int16 index);

private:
    DomBoard board_;
    form::PlaySession session_{board_};
    dom::Element announcer_ = 0;
};

} // namespace crossing::web
