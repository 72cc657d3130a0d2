// The reset and the move, one situation at a time. Every board is reached from
// the start by the user's own clicks and button presses, written as a script
// (see play()), and checked against the board written out by hand.
#include "board_notation.h"
#include "rule_cases.h"

#include <QTest>

using namespace crossing;
using namespace crossing::testing;

namespace {

const QString kStart = QString::fromUtf8(kStartBoard);

QString text(std::string_view view) { return QString::fromUtf8(view.data(), qsizetype(view.size())); }

// The first `moves` moves of the solution as one script.
QString solutionPrefix(int moves)
{
    QStringList scripts;
    for (int move = 0; move < moves; ++move)
        scripts << text(kSolution.at(std::size_t(move)).script);
    return scripts.join(' ');
}

QString script(const Opening& opening)
{
    return (solutionPrefix(opening.solutionMoves) + ' ' + text(opening.script)).trimmed();
}

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

    for (const ClearCase& clear : kClears)
        row(clear.name.data(), script(clear.before), text(clear.after));
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
    Playthrough game;
    for (std::size_t move = 0; move < kSolution.size(); ++move) {
        perform(game, text(kSolution[move].script));
        QCOMPARE(state(game), text(kSolution[move].after));
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

    for (const Refusal& refusal : kRefusals)
        row(refusal.name.data(), script(refusal.before), text(refusal.ticks));
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
