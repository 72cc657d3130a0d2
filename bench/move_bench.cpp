// The cost of one Move in the real window: Command1(0) clicked on the shown
// form, running the rules against the widgets, on Qt's offscreen platform.
// The two boys cross and come back, so every timed click carries passengers;
// ticking the seats and repainting between clicks are not timed.
//
// Usage: move_bench [ROUNDS [MOVES_PER_ROUND]]
// Prints one line: <median microseconds per move> <fastest round's microseconds per move>
#include "application_look.h"
#include "crossing_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using crossing::CrossingForm;

// Ticks the bank's two boy seats and presses Move; false if nobody crossed.
bool boysCross(CrossingForm& form, crossing::Int16 fromBank, Clock::duration& timed)
{
    const int first = fromBank * crossing::kSeatsPerBank;
    form.Check1(first)->setChecked(true);
    form.Check1(first + 1)->setChecked(true);
    const auto start = Clock::now();
    form.Command1(crossing::kMoveButton)->click();
    timed += Clock::now() - start;
    return form.puzzle().BoatSide() != fromBank;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    crossing::applyApplicationLook();
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 21;
    const int moves = argc > 2 ? std::atoi(argv[2]) : 2000;

    CrossingForm form;
    form.show();
    QCoreApplication::processEvents();

    std::vector<double> perMove;
    for (int round = 0; round < rounds; ++round) {
        Clock::duration timed{};
        for (int i = 0; i < moves; i += 2) {
            if (!boysCross(form, crossing::kLeftBank, timed)
                || !boysCross(form, crossing::kRightBank, timed)) {
                std::fputs("move_bench: a move was refused\n", stderr);
                return 1;
            }
            // The repaint a user would see after each pair of clicks.
            QCoreApplication::processEvents();
        }
        perMove.push_back(std::chrono::duration<double, std::micro>(timed).count() / moves);
    }
    std::sort(perMove.begin(), perMove.end());
    std::printf("%.2f %.2f\n", perMove[perMove.size() / 2], perMove.front());
    return 0;
}
