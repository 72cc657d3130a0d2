// Fuzz target for the puzzle's rules. Every input byte is one user action,
// played on the real core and on the reference model at once; after each
// action the two boards must agree and, unless a disabled seat was forced
// since the last Clear, the board must keep its invariants.
//
// A byte's low four bits choose the action, its high four bits refine it:
//   0x0-0x5  click seat 0-5, ignored while the seat's bank is disabled
//   0x6-0x9  Move
//   0xA      Clear
//   0xB      set the move count to 32767 minus the high bits, near the ceiling
//   0xC-0xD  click seat (high bits mod 6) even inside a disabled frame
//   0xE-0xF  Move
// so 0x00 0x01 0x06 sends both boys over, and 0x3C ticks Check1(3) whatever
// its frame says.
#include "reference_model.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using crossing::testing::Action;

Action decode(std::uint8_t byte)
{
    const int low = byte & 0x0F;
    const int high = byte >> 4;
    switch (low) {
    case 0x0:
    case 0x1:
    case 0x2:
    case 0x3:
    case 0x4:
    case 0x5:
        return {Action::Kind::Click, low};
    case 0xA:
        return {Action::Kind::Clear};
    case 0xB:
        return {Action::Kind::PresetCount, 32767 - high};
    case 0xC:
    case 0xD:
        return {Action::Kind::ForceClick, high % 6};
    default:
        return {Action::Kind::Move};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    crossing::testing::Playthrough play;
    if (const std::string problem = play.problem(); !problem.empty()) {
        std::fprintf(stderr, "after start-up: %s\n", problem.c_str());
        std::abort();
    }
    for (std::size_t i = 0; i < size; ++i) {
        play.apply(decode(data[i]));
        if (const std::string problem = play.problem(); !problem.empty()) {
            std::fprintf(stderr, "after action %zu (byte 0x%02X): %s\n", i, unsigned{data[i]},
                         problem.c_str());
            std::abort();
        }
    }
    return 0;
}
