// A long random session with the real window: mouse clicks, double clicks,
// drags and key presses land anywhere on any control, disabled ones and the
// statement included. After every event the widgets, read back as a board,
// must equal what the reference model expects and satisfy the board
// invariants. The model hears only what really happened: a seat whose clicked
// signal fired, a button that was really pressed.
//
// CROSSING_SOAK_EVENTS sets the number of events (default 100000) and
// CROSSING_SOAK_SEED the seed (default fixed); both are printed, and a failure
// names the event number and what it was, so a run can be replayed.
#include "application_look.h"
#include "crossing_form.h"
#include "reference_model.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <array>
#include <cstdlib>
#include <random>
#include <vector>

using crossing::CrossingForm;
using crossing::MemoryBoard;
using crossing::testing::ReferenceModel;

namespace {

constexpr unsigned kDefaultSeed = 20240605;
constexpr long kDefaultEvents = 100000;

long fromEnvironment(const char* name, long fallback)
{
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const long parsed = value.toLong(&ok);
    return ok && parsed > 0 ? parsed : fallback;
}

// The board exactly as the widgets show it, in the terms the model speaks.
// Only the two labels the rules write are copied; the model leaves the others
// empty, and they are checked against their captions separately.
MemoryBoard boardOf(const CrossingForm& form)
{
    MemoryBoard board;
    for (int i = 0; i < crossing::kSeatCount; ++i) {
        auto& seat = board.seats[std::size_t(i)];
        seat.caption = form.Check1(i)->text().toStdString();
        seat.tick = form.Check1(i)->isChecked() ? crossing::kTicked : crossing::kUnticked;
    }
    for (int bank = 0; bank < 2; ++bank) {
        const QListWidget* list = form.List1(bank);
        auto& entries = board.lists[std::size_t(bank)];
        for (int row = 0; row < list->count(); ++row)
            entries.push_back(list->item(row)->text().toStdString());
        board.frames[std::size_t(bank)] = form.Frame1(bank)->isEnabled();
    }
    for (const crossing::Int16 label : {crossing::kMoveCountLabel, crossing::kDirectionLabel})
        board.labels[std::size_t(label)] = form.Label1(label)->text().toStdString();
    return board;
}

// Every control a user can point at, the hidden aphorism's place included:
// a click there reaches whatever shows through.
std::vector<QWidget*> targetsOf(const CrossingForm& form)
{
    std::vector<QWidget*> targets;
    for (int i = 0; i < crossing::kSeatCount; ++i)
        targets.push_back(form.Check1(i));
    for (int i = 0; i < 2; ++i)
        targets.insert(targets.end(), {form.Frame1(i), form.List1(i), form.Command1(i), form.Text1(i)});
    for (int i = 0; i < crossing::kLabelCount; ++i)
        targets.push_back(form.Label1(i));
    return targets;
}

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};

// The keys that move the focus, press buttons, toggle seats, walk lists and
// try to edit the statement.
const std::array<Key, 26> kKeys{{
    {Qt::Key_Tab, Qt::NoModifier, "Tab"},
    {Qt::Key_Tab, Qt::ShiftModifier, "Shift+Tab"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Backtab"},
    {Qt::Key_Space, Qt::NoModifier, "Space"},
    {Qt::Key_Space, Qt::NoModifier, "Space"},
    {Qt::Key_Return, Qt::NoModifier, "Return"},
    {Qt::Key_Enter, Qt::KeypadModifier, "Enter"},
    {Qt::Key_Escape, Qt::NoModifier, "Escape"},
    {Qt::Key_Up, Qt::NoModifier, "Up"},
    {Qt::Key_Down, Qt::NoModifier, "Down"},
    {Qt::Key_Left, Qt::NoModifier, "Left"},
    {Qt::Key_Right, Qt::NoModifier, "Right"},
    {Qt::Key_Home, Qt::NoModifier, "Home"},
    {Qt::Key_End, Qt::ControlModifier, "Ctrl+End"},
    {Qt::Key_PageDown, Qt::NoModifier, "PageDown"},
    {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
    {Qt::Key_Delete, Qt::NoModifier, "Delete"},
    {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
    {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
    {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
    {Qt::Key_X, Qt::ControlModifier, "Ctrl+X"},
    {Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"},
    {Qt::Key_M, Qt::NoModifier, "m"},
    {Qt::Key_Q, Qt::NoModifier, "q"},
    {Qt::Key_1, Qt::NoModifier, "1"},
    {Qt::Key_unknown, Qt::NoModifier, "Cyrillic letter"},
}};

// What the user did, in the order the widgets reported it.
struct Heard {
    enum class Kind { Seat, Move, Clear } kind;
    int seat = 0;
};

class Session {
public:
    Session(CrossingForm& form, unsigned seed) : form_(form), random_(seed), targets_(targetsOf(form))
    {
        for (int i = 0; i < crossing::kSeatCount; ++i)
            QObject::connect(form.Check1(i), &QCheckBox::clicked, [this, i] {
                heard_.push_back({Heard::Kind::Seat, i});
            });
        QObject::connect(form.Command1(crossing::kMoveButton), &QPushButton::clicked,
                         [this] { heard_.push_back({Heard::Kind::Move}); });
        QObject::connect(form.Command1(crossing::kClearButton), &QPushButton::clicked,
                         [this] { heard_.push_back({Heard::Kind::Clear}); });
        for (int i = 0; i < crossing::kLabelCount; ++i)
            captions_[std::size_t(i)] = form.Label1(i)->text();
        statement_ = form.Text1(0)->toPlainText();
    }

    // Sends one random event; returns a description for the failure message.
    QString step()
    {
        const int roll = pick(100);
        if (roll < 55)
            return click(Qt::LeftButton, false);
        if (roll < 60)
            return click(Qt::LeftButton, true);
        if (roll < 63)
            return click(Qt::MiddleButton, false);
        if (roll < 68)
            return drag();
        return key();
    }

    // Hands what the widgets reported to the model; returns "" or the first
    // thing in which the window and the model disagree.
    QString check()
    {
        for (const Heard& heard : heard_) {
            switch (heard.kind) {
            case Heard::Kind::Seat:
                // The model refuses a click on a locked bank, so a seat that
                // toggled inside a disabled frame shows up as a difference.
                model_.click(heard.seat);
                break;
            case Heard::Kind::Move: {
                const int boat = model_.boat();
                model_.move();
                if (model_.boat() != boat)
                    ++moves_;
                break;
            }
            case Heard::Kind::Clear:
                model_.clear();
                break;
            }
        }
        heard_.clear();

        const MemoryBoard board = boardOf(form_);
        if (const std::string diff = crossing::testing::boardDifference(board, model_.expectedBoard());
            !diff.empty())
            return QString::fromStdString(diff);
        if (const std::string broken = crossing::testing::invariantViolation(board, form_.puzzle());
            !broken.empty())
            return QString::fromStdString(broken);
        if (form_.puzzle().BoatSide() != model_.boat() || form_.puzzle().MoveCount() != model_.moveCount())
            return QStringLiteral("BoatSide or MoveCount differ from the model");
        for (int i = 0; i < crossing::kLabelCount; ++i) {
            if (i != crossing::kMoveCountLabel && i != crossing::kDirectionLabel
                && form_.Label1(i)->text() != captions_[std::size_t(i)])
                return QStringLiteral("Label1(%1) changed its caption").arg(i);
        }
        if (form_.Text1(0)->toPlainText() != statement_)
            return QStringLiteral("the statement was edited");
        const QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && !focus->isEnabled())
            return QStringLiteral("a disabled %1 holds the focus").arg(focus->metaObject()->className());
        if (model_.locked() && !wasLocked_)
            ++locks_;
        wasLocked_ = model_.locked();
        return {};
    }

    int moves() const { return moves_; }
    int locks() const { return locks_; }

private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    // Aimed like a player who knows the way but fumbles: often the next click
    // of the shortest game from wherever the board stands, otherwise any
    // control at all. Clear is rare among the random clicks, or no game would
    // get far.
    QWidget* target()
    {
        const int roll = pick(100);
        if (roll < 45)
            return plannedClick();
        if (roll < 55)
            return form_.Command1(crossing::kMoveButton);
        QWidget* control = targets_[std::size_t(pick(int(targets_.size())))];
        if (control == form_.Command1(crossing::kClearButton) && pick(4) != 0)
            control = form_.Command1(crossing::kMoveButton);
        return control;
    }

    // Both boys over, one back, a knight over, the other boy back: ticks the
    // open bank's seats for that, one click at a time, then presses Move.
    // Once locked, starts again.
    QWidget* plannedClick()
    {
        const bool leftOpen = form_.Frame1(crossing::kLeftBank)->isEnabled();
        if (!leftOpen && !form_.Frame1(crossing::kRightBank)->isEnabled())
            return form_.Command1(crossing::kClearButton);
        const int first = leftOpen ? 0 : crossing::kSeatsPerBank;
        const QString boy = QString::fromUtf8(crossing::kBoyCaption);
        const std::array<bool, 2> boyHere{form_.Check1(first)->text() == boy,
                                          form_.Check1(first + 1)->text() == boy};
        std::array<bool, 3> wanted{false, false, true}; // the knight alone
        if (boyHere[0] && boyHere[1])
            wanted = {true, leftOpen, false}; // both over, or the first back
        else if (!leftOpen && (boyHere[0] || boyHere[1]))
            wanted = {boyHere[0], boyHere[1], false}; // the lone boy back
        for (int role = 0; role < crossing::kSeatsPerBank; ++role) {
            QCheckBox* seat = form_.Check1(first + role);
            if (seat->isChecked() != wanted[std::size_t(role)])
                return seat;
        }
        return form_.Command1(crossing::kMoveButton);
    }

    // A random point of the control's visible part, in window coordinates.
    QPoint pointIn(const QWidget* control)
    {
        const QRect area =
            QRect(control->mapTo(&form_, QPoint(0, 0)), control->size()).intersected(form_.rect());
        return area.topLeft() + QPoint(pick(area.width()), pick(area.height()));
    }

    static QString nameOf(const QWidget* control)
    {
        return QString::fromLatin1(control->metaObject()->className());
    }

    QString click(Qt::MouseButton button, bool twice)
    {
        QWidget* control = target();
        const QPoint at = pointIn(control);
        if (twice)
            QTest::mouseDClick(form_.windowHandle(), button, Qt::NoModifier, at);
        else
            QTest::mouseClick(form_.windowHandle(), button, Qt::NoModifier, at);
        return QStringLiteral("%1 click %2 at %3,%4 on %5")
            .arg(twice ? "double" : "single")
            .arg(int(button))
            .arg(at.x())
            .arg(at.y())
            .arg(nameOf(control));
    }

    // Pressed on one control and released over another (or the same one).
    QString drag()
    {
        const QPoint from = pointIn(target());
        const QPoint to = pointIn(target());
        QWindow* window = form_.windowHandle();
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(window, to);
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, to);
        return QStringLiteral("drag %1,%2 to %3,%4").arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y());
    }

    QString key()
    {
        const Key& key = kKeys[std::size_t(pick(int(kKeys.size())))];
        QWindow* window = form_.windowHandle();
        if (key.key == Qt::Key_unknown) {
            const QString letter(QChar(0x0430 + pick(32)));
            QTest::sendKeyEvent(QTest::Press, window, key.key, letter, key.modifiers);
            QTest::sendKeyEvent(QTest::Release, window, key.key, letter, key.modifiers);
        } else {
            QTest::keyClick(window, key.key, key.modifiers);
        }
        const QWidget* focus = QApplication::focusWidget();
        return QStringLiteral("key %1 (focus then on %2)")
            .arg(QLatin1String(key.name), focus ? nameOf(focus) : QStringLiteral("nothing"));
    }

    CrossingForm& form_;
    std::mt19937 random_;
    std::vector<QWidget*> targets_;
    ReferenceModel model_;
    std::vector<Heard> heard_;
    std::array<QString, crossing::kLabelCount> captions_;
    QString statement_;
    int moves_ = 0;
    int locks_ = 0;
    bool wasLocked_ = false;
};

} // namespace

class WidgetSoakTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { crossing::applyApplicationLook(); }
    void randomSessionKeepsTheRules();
};

void WidgetSoakTest::randomSessionKeepsTheRules()
{
    const auto seed = static_cast<unsigned>(fromEnvironment("CROSSING_SOAK_SEED", kDefaultSeed));
    const long events = fromEnvironment("CROSSING_SOAK_EVENTS", kDefaultEvents);
    qInfo("%ld events, seed %u (CROSSING_SOAK_SEED)", events, seed);

    CrossingForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    Session session(form, seed);
    QString problem = session.check();
    QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("at start: ") + problem));
    for (long n = 1; n <= events; ++n) {
        const QString event = session.step();
        // Let repaints and deferred focus changes run as they would between
        // a user's key strokes.
        if (n % 8 == 0)
            QCoreApplication::processEvents();
        problem = session.check();
        QVERIFY2(
            problem.isEmpty(),
            qPrintable(QStringLiteral("event %1 of seed %2 (%3): %4").arg(n).arg(seed).arg(event, problem)));
        QVERIFY2(form.isVisible(), qPrintable(QStringLiteral("the window closed at event %1").arg(n)));
    }

    // A session that never got a game going would prove little.
    qInfo("%d moves carried out, %d games played to the lock", session.moves(), session.locks());
    QVERIFY(session.moves() > int(events / 100));
    QVERIFY(session.locks() > 0 || events < 10000);
}

QTEST_MAIN(WidgetSoakTest)
#include "tst_widget_soak.moc"
