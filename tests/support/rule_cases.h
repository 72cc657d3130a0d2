// Situations of the rules written once: the rule tests check them on the
// in-memory board, and the web page's browser test plays the same scripts
// on the page (as JSON, written by tests/web/rule_cases_json). Boards and
// scripts use the notation of board_notation.h.
#pragma once

#include <array>
#include <string_view>

namespace crossing::testing {

inline constexpr std::string_view kStartBoard = "BBK|___ 3:0 +- L 0 .";

// The shortest game: both boys over, the first back, a knight over, the second
// back; three rounds, the last one ending with the knight's crossing. Each
// move's script, and the board after it.
struct Move {
    std::string_view script;
    std::string_view after;
};
inline constexpr std::array<Move, 11> kSolution{{
    {"01M", "__K|BB_ 3:0 -+ R 1 >"},
    {"3M", "B_K|_B_ 3:0 +- L 2 <"},
    {"2M", "B_K|_BK 2:1 -+ R 3 >"},
    {"4M", "BBK|__K 2:1 +- L 4 <"},
    {"01M", "__K|BBK 2:1 -+ R 5 >"},
    {"3M", "B_K|_BK 2:1 +- L 6 <"},
    {"2M", "B_K|_BK 1:2 -+ R 7 >"},
    {"4M", "BBK|__K 1:2 +- L 8 <"},
    {"01M", "__K|BBK 1:2 -+ R 9 >"},
    {"3M", "B_K|_BK 1:2 +- L 10 <"},
    {"2M", "B__|_BK 0:3 -- R 11 >"},
}};

// A game that starts with the first moves of the solution, then a script.
struct Opening {
    int solutionMoves = 0;
    std::string_view script;
};

// Clear from a situation, and the board it leaves.
struct ClearCase {
    std::string_view name;
    Opening before;
    std::string_view after;
};
inline constexpr std::array<ClearCase, 6> kClears{{
    {"in the start", {0, ""}, "BBK|___ 3:0 +- L 0 ."},
    {"after moves, keeps the direction", {0, "01M 3M 2M"}, "BBK|___ 3:0 +- L 0 >"},
    {"after a move back", {0, "01M 3M"}, "BBK|___ 3:0 +- L 0 <"},
    {"after the lock", {11, ""}, "BBK|___ 3:0 +- L 0 >"},
    {"keeps left ticks", {0, "02"}, "bBk|___ 3:0 +- L 0 ."},
    // The tick outlives the boy who stood there, inside the disabled frame.
    {"keeps a right tick", {0, "01M 3"}, "BBK|*__ 3:0 +- L 0 >"},
}};

// Moves the rules refuse: after the opening, these ticks and Move change
// nothing at all.
struct Refusal {
    std::string_view name;
    Opening before;
    std::string_view ticks;
};
inline constexpr std::array<Refusal, 14> kRefusals{{
    {"left: first boy with the knight", {0, ""}, "02"},
    {"left: second boy with the knight", {0, ""}, "12"},
    {"left: both boys with the knight", {0, ""}, "012"},
    {"left: nobody", {0, ""}, ""},
    {"left: nobody, a right tick kept by Clear", {0, "01M 3C"}, ""},
    {"left: empty boy seat with the knight", {0, "01M 4M"}, "02"},
    {"left: only an empty seat", {0, "01M 4M"}, "0"},
    // Would lock after 9 moves with both boys left behind.
    {"left: last knight, no boy across", {8, ""}, "2"},
    {"right: boy with the knight", {0, "01M 3M 2M"}, "45"},
    {"right: empty boy seat with the knight", {0, "01M 3M 2M"}, "35"},
    {"right: boy with the empty knight seat", {0, "01M"}, "35"},
    {"right: nobody", {0, "01M"}, ""},
    // Knight over, boat back empty, three times, would lock after 5 moves.
    {"right: only an empty boy seat", {0, "2M"}, "3"},
    {"right: only the empty knight seat", {0, "01M"}, "5"},
}};

} // namespace crossing::testing
