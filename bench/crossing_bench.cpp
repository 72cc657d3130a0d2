// How fast the rules run without a window: single crossings, and whole games
// played the shortest way to the lock. Each benchmark checks that its moves
// were really carried out, so a change in the rules cannot turn it into a
// measurement of refused moves; the program then exits with an error.
#include "crossing_puzzle.h"
#include "memory_board.h"

#include <benchmark/benchmark.h>

#include <initializer_list>

namespace {

using namespace crossing;

bool gMovesRefused = false;

void fail(benchmark::State& state, const char* what)
{
    gMovesRefused = true;
    state.SkipWithError(what);
}

// The user's part of one move: tick the passengers, press Move.
void move(MemoryBoard& board, CrossingPuzzle& puzzle, std::initializer_list<Int16> seats)
{
    for (const Int16 seat : seats)
        board.clickSeat(seat);
    puzzle.OnCommandClick(kMoveButton);
}

// Both boys over and back again: two moves per round.
void crossing(benchmark::State& state)
{
    MemoryBoard board;
    CrossingPuzzle puzzle(board);
    puzzle.OnLoad();
    for (auto _ : state) {
        move(board, puzzle, {kLeftFirstBoy, kLeftSecondBoy});
        move(board, puzzle, {kRightFirstBoy, kRightSecondBoy});
        if (board.seatCaption(kLeftFirstBoy) != kBoyCaption || puzzle.BoatSide() != kLeftBank) {
            fail(state, "a crossing was refused");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel("items = moves");
}
BENCHMARK(crossing);

// Clear, then the 11 moves that lock the board.
void fullGame(benchmark::State& state)
{
    MemoryBoard board;
    CrossingPuzzle puzzle(board);
    puzzle.OnLoad();
    for (auto _ : state) {
        puzzle.OnCommandClick(kClearButton);
        for (int round = 0; round < 3; ++round) {
            move(board, puzzle, {kLeftFirstBoy, kLeftSecondBoy});
            move(board, puzzle, {kRightFirstBoy});
            move(board, puzzle, {kLeftKnight});
            if (round < 2)
                move(board, puzzle, {kRightSecondBoy});
        }
        if (puzzle.MoveCount() != 11 || board.knightCount(kLeftBank) != 0) {
            fail(state, "the game did not lock after 11 moves");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * 11);
    state.counters["games"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel("items = moves");
}
BENCHMARK(fullGame);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return gMovesRefused ? 1 : 0;
}
