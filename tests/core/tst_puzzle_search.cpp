// The rules checked over many boards at once: a long random game played by a
// pretend user, and a search through every board the puzzle can reach. Both
// run the real core beside the reference model and check the board's
// invariants after every step (Playthrough::problem).
#include "board_notation.h"

#include <QTest>

#include <cstdlib>
#include <deque>
#include <random>
#include <set>

using namespace crossing;
using namespace crossing::testing;

namespace {

constexpr long kRandomActions = 1'000'000;
constexpr unsigned kDefaultSeed = 20240611;

// CROSSING_SEED replays another game; the default keeps runs repeatable.
unsigned seed()
{
    const char* text = std::getenv("CROSSING_SEED");
    return text ? unsigned(std::strtoul(text, nullptr, 10)) : kDefaultSeed;
}

// Mostly clicks and Moves, so that games get far enough to lock; Clear is rare
// except on a locked board, where it is the only way on. Now and then the
// count jumps close to its ceiling.
Action randomAction(std::mt19937& rng, const Playthrough& game)
{
    const unsigned roll = rng() % 1000;
    const bool locked = game.model().locked();
    if (roll < (locked ? 100u : 1u))
        return {Action::Kind::Clear};
    if (roll == 999 && rng() % 100 == 0)
        return {Action::Kind::PresetCount, 32760 + int(rng() % 8)};
    if (roll < 400 || locked)
        return {Action::Kind::Move};
    const Int16 bank = game.board().bankEnabled(kLeftBank) ? kLeftBank : kRightBank;
    return {Action::Kind::Click, firstSeatOfBank(bank) + int(rng() % kSeatsPerBank)};
}

std::string describe(const Action& action)
{
    static const char* const kinds[] = {"click", "forced click", "Move", "Clear", "count set to"};
    const bool hasValue = action.kind == Action::Kind::Click || action.kind == Action::Kind::PresetCount;
    return kinds[int(action.kind)] + (hasValue ? ' ' + std::to_string(action.value) : std::string());
}

// Who stands where, the ticks and the frames, without the labels: two boards
// with the same position differ only in how they were reached.
std::string position(const Playthrough& game)
{
    const std::string full = notation(game.board(), game.puzzle());
    return full.substr(0, full.rfind(' ', full.rfind(' ') - 1));
}

} // namespace

class TestPuzzleSearch : public QObject {
    Q_OBJECT

private slots:
    void randomPlayMatchesModel();
    void everyReachableBoard();
};

void TestPuzzleSearch::randomPlayMatchesModel()
{
    const unsigned gameSeed = seed();
    std::mt19937 rng(gameSeed);
    Playthrough game;
    long crossings = 0;
    long locks = 0;
    for (long step = 0; step < kRandomActions; ++step) {
        const Action action = randomAction(rng, game);
        const bool wasLocked = game.model().locked();
        const auto count = game.puzzle().MoveCount();
        game.apply(action);
        if (const std::string problem = game.problem(); !problem.empty()) {
            QFAIL(qPrintable(QString("seed %1 (set CROSSING_SEED to replay), action %2, %3: %4\n  board %5")
                                 .arg(gameSeed)
                                 .arg(step)
                                 .arg(QString::fromStdString(describe(action)))
                                 .arg(QString::fromStdString(problem))
                                 .arg(QString::fromStdString(notation(game.board(), game.puzzle())))));
        }
        crossings += action.kind == Action::Kind::Move && game.puzzle().MoveCount() != count;
        locks += !wasLocked && game.model().locked();
    }
    // Guards the test itself: a game that never crosses or never locks would
    // pass while checking little.
    qInfo("seed %u: %ld crossings, %ld locks", gameSeed, crossings, locks);
    QVERIFY(crossings > kRandomActions / 20);
    QVERIFY(locks > 50);
}

// Breadth first from the start: each board is found again by replaying the
// script that first reached it, then every selection on the boat's bank (the
// eight ways to leave its three seats ticked) is tried with Move.
void TestPuzzleSearch::everyReachableBoard()
{
    std::set<std::string> seen{position(Playthrough())};
    std::deque<std::pair<std::string, int>> queue{{"", 0}};
    int fewestToLock = -1;
    while (!queue.empty()) {
        const auto [script, moves] = queue.front();
        queue.pop_front();
        for (int selection = 0; selection < 8; ++selection) {
            Playthrough game;
            play(game, script);
            const Int16 first = firstSeatOfBank(*game.puzzle().BoatSide());
            std::string step;
            for (int i = 0; i < kSeatsPerBank; ++i) {
                const bool wanted = (selection >> i & 1) != 0;
                if ((game.board().seats[std::size_t(first + i)].tick == kTicked) != wanted)
                    step += char('0' + first + i);
            }
            play(game, step);
            const MemoryBoard beforeMove = game.board();
            const auto count = game.puzzle().MoveCount();
            play(game, "M");
            const std::string where = script + " " + step + "M";
            QVERIFY2(game.problem().empty(), (where + ": " + game.problem()).c_str());
            if (game.puzzle().MoveCount() == count) {
                const std::string change = boardDifference(game.board(), beforeMove);
                QVERIFY2(change.empty(), (where + " was refused but changed the board: " + change).c_str());
                continue;
            }
            if (seen.insert(position(game)).second) {
                queue.emplace_back(where, moves + 1);
                if (game.board().knightCount(kLeftBank) == 0 && fewestToLock < 0)
                    fewestToLock = moves + 1;
            }
        }
    }
    qInfo("%zu positions reachable", seen.size());
    QCOMPARE(fewestToLock, 11);
}

QTEST_APPLESS_MAIN(TestPuzzleSearch)
#include "tst_puzzle_search.moc"
