// The reset and the move, one situation at a time. Every board is reached from
// the start by the user's own clicks and button presses, written as a script
// (see play()), and checked against the board written out by hand.
#include "board_notation.h"

#include <QTest>

using namespace crossing;
using namespace crossing::testing;

namespace {

// Both boys over, the first back, a knight over, the second back; three
// rounds, the last one ending with the knight's crossing.
const QStringList kSolution{"01M", "3M", "2M", "4M", "01M", "3M", "2M", "4M", "01M", "3M", "2M"};
const QString kStart = "BBK|___ 3:0 +- L 0 .";

// The first `moves` moves of the solution as one script.
QString solutionPrefix(int moves) { return kSolution.mid(0, moves).join(' '); }

QString state(const Playthrough& game)
{
    return QString::fromStdString(notation(game.board(), game.puzzle()));
}

void perform(Playthrough& game, const QString& script) { play(game, script.toStdString()); }

// A table row of two strings, the shape of most tables here.
void row(const char* name, const QString& first, const QString& second)
{
    QTest::newRow(name) << first << second;
}

} // namespace

class TestPuzzleRules : public QObject {
    Q_OBJECT

private slots:
    void startingPosition();
    void clear_data();
    void clear();
    void solution();
    void crossing_data();
    void crossing();
    void rejected_data();
    void rejected();
    void lockedBoardRefusesAllButClear();
    void countStopsAtCeiling_data();
    void countStopsAtCeiling();
};

void TestPuzzleRules::startingPosition()
{
    // Before the load handler nothing is set up, and a stray Move must not
    // touch the board.
    MemoryBoard board;
    CrossingPuzzle puzzle(board);
    QVERIFY(!puzzle.BoatSide());
    puzzle.OnCommandClick(kMoveButton);
    QVERIFY(boardDifference(board, MemoryBoard{}).empty());

    puzzle.OnLoad();
    QCOMPARE(QString::fromStdString(notation(board, puzzle)), kStart);
    QCOMPARE(puzzle.MoveCount(), Int16(0));
}

void TestPuzzleRules::clear_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("after");

    row("in the start", "", kStart);
    row("after moves, keeps the direction", "01M 3M 2M", "BBK|___ 3:0 +- L 0 >");
    row("after a move back", "01M 3M", "BBK|___ 3:0 +- L 0 <");
    row("after the lock", solutionPrefix(11), "BBK|___ 3:0 +- L 0 >");
    row("keeps left ticks", "02", "bBk|___ 3:0 +- L 0 .");
    // The tick outlives the boy who stood there, inside the disabled frame.
    row("keeps a right tick", "01M 3", "BBK|*__ 3:0 +- L 0 >");
}

void TestPuzzleRules::clear()
{
    QFETCH(QString, script);
    QFETCH(QString, after);
    Playthrough game;
    perform(game, script);
    perform(game, "C");
    QCOMPARE(state(game), after);
    QCOMPARE(game.puzzle().MoveCount(), Int16(0));
}

void TestPuzzleRules::solution()
{
    const QStringList boards{
        "__K|BB_ 3:0 -+ R 1 >", "B_K|_B_ 3:0 +- L 2 <",  "B_K|_BK 2:1 -+ R 3 >",  "BBK|__K 2:1 +- L 4 <",
        "__K|BBK 2:1 -+ R 5 >", "B_K|_BK 2:1 +- L 6 <",  "B_K|_BK 1:2 -+ R 7 >",  "BBK|__K 1:2 +- L 8 <",
        "__K|BBK 1:2 -+ R 9 >", "B_K|_BK 1:2 +- L 10 <", "B__|_BK 0:3 -- R 11 >",
    };
    Playthrough game;
    for (qsizetype move = 0; move < kSolution.size(); ++move) {
        perform(game, kSolution[move]);
        QCOMPARE(state(game), boards[move]);
        QCOMPARE(game.puzzle().MoveCount(), Int16(move + 1));
    }
}

// Crossings the solution does not make. The script's last Move is the one
// under test.
void TestPuzzleRules::crossing_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("after");

    row("first boy alone", "0M", "_BK|B__ 3:0 -+ R 1 >");
    row("second boy alone", "1M", "B_K|_B_ 3:0 -+ R 1 >");
    row("knight from the start", "2M", "BBK|__K 2:1 -+ R 1 >");
    row("both boys back", "01M 34M", "BBK|___ 3:0 +- L 2 <");
    row("only knight across comes back", "2M 5M", "BBK|___ 3:0 +- L 2 <");
    row("knight back, one stays across", solutionPrefix(9) + " 5M", "__K|BBK 2:1 +- L 10 <");
    // An empty seat ticked beside a real passenger rides along: it is unticked
    // and the boy's seat on his own bank is written again, unchanged.
    row("boy with an empty seat, left", "01M 4M 01M", "__K|BB_ 3:0 -+ R 3 >");
    row("boy with an empty seat, right", "1M 34M", "BBK|___ 3:0 +- L 2 <");
    // A right tick kept by Clear is not consumed by a crossing from the left.
    row("tick kept by Clear stays", "01M 3C 01M", "__K|bB_ 3:0 -+ R 1 >");
}

void TestPuzzleRules::crossing()
{
    QFETCH(QString, script);
    QFETCH(QString, after);
    Playthrough game;
    perform(game, script);
    QCOMPARE(state(game), after);
}

void TestPuzzleRules::rejected_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("ticks");

    row("left: first boy with the knight", "", "02");
    row("left: second boy with the knight", "", "12");
    row("left: both boys with the knight", "", "012");
    row("left: nobody", "", "");
    row("left: nobody, a right tick kept by Clear", "01M 3C", "");
    row("left: empty boy seat with the knight", "01M 4M", "02");
    row("left: only an empty seat", "01M 4M", "0");
    // Would lock after 9 moves with both boys left behind.
    row("left: last knight, no boy across", solutionPrefix(8), "2");
    row("right: boy with the knight", "01M 3M 2M", "45");
    row("right: empty boy seat with the knight", "01M 3M 2M", "35");
    row("right: boy with the empty knight seat", "01M", "35");
    row("right: nobody", "01M", "");
    // Knight over, boat back empty, three times, would lock after 5 moves.
    row("right: only an empty boy seat", "2M", "3");
    row("right: only the empty knight seat", "01M", "5");
}

void TestPuzzleRules::rejected()
{
    QFETCH(QString, setup);
    QFETCH(QString, ticks);
    Playthrough game;
    perform(game, setup + ' ' + ticks);
    const MemoryBoard before = game.board();
    const auto boat = game.puzzle().BoatSide();
    const auto count = game.puzzle().MoveCount();

    perform(game, "M");
    const std::string change = boardDifference(game.board(), before);
    QVERIFY2(change.empty(), change.c_str());
    QCOMPARE(game.puzzle().BoatSide(), boat);
    QCOMPARE(game.puzzle().MoveCount(), count);
}

// Clear leaving the lock is a row of the clear() table.
void TestPuzzleRules::lockedBoardRefusesAllButClear()
{
    Playthrough game;
    perform(game, solutionPrefix(11));
    const MemoryBoard locked = game.board();
    perform(game, "012345M");
    QVERIFY(game.board() == locked);
    QCOMPARE(game.puzzle().MoveCount(), Int16(11));
}

void TestPuzzleRules::countStopsAtCeiling_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<QString>("after");

    QTest::newRow("reaching it") << 32766 << "__K|BB_ 3:0 -+ R 32767 >";
    // The crossing itself is still made in full.
    QTest::newRow("crossing at it") << 32767 << "__K|BB_ 3:0 -+ R 32767 >";
}

void TestPuzzleRules::countStopsAtCeiling()
{
    QFETCH(int, preset);
    QFETCH(QString, after);
    Playthrough game;
    game.apply({Action::Kind::PresetCount, preset});
    perform(game, "01M");
    QCOMPARE(state(game), after);
    QCOMPARE(game.puzzle().MoveCount(), Int16(32767));
}

QTEST_APPLESS_MAIN(TestPuzzleRules)
#include "tst_puzzle_rules.moc"
