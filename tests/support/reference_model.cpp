#include "reference_model.h"

#include <algorithm>
#include <sstream>

namespace crossing::testing {

namespace {

constexpr int kKnights = 3;
constexpr int kMaxCount = 32767;

std::string caption(const MemoryBoard& board, int seat) { return board.seats.at(std::size_t(seat)).caption; }

} // namespace

void ReferenceModel::clear()
{
    boyOnRight_ = {false, false};
    knightsLeft_ = kKnights;
    boat_ = 0;
    leftKnightShown_ = true;
    moveCount_ = 0;
    countLabel_ = "0";
}

bool ReferenceModel::bankEnabled(int bank) const
{
    if (bank == 0)
        return boat_ == 0;
    return boat_ == 1 && knightsLeft_ > 0;
}

void ReferenceModel::click(int seat, bool force)
{
    if (seat < 0 || seat >= kSeatCount)
        return;
    if (force || bankEnabled(seat / 3))
        ticks_[std::size_t(seat)] ^= 1;
}

void ReferenceModel::move()
{
    if (tryMove()) {
        moveCount_ = std::min(moveCount_ + 1, kMaxCount);
        countLabel_ = std::to_string(moveCount_);
        direction_ = boat_ == 1 ? "вдясно" : "вляво";
    }
}

// The boat carries one knight alone, one boy, or both boys, and never sails
// empty; the last knight may leave only if a boy already waits on the right.
bool ReferenceModel::tryMove()
{
    const auto base = std::size_t(boat_ * 3);
    const bool firstBoy = ticks_[base] == 1;
    const bool secondBoy = ticks_[base + 1] == 1;
    const bool knight = ticks_[base + 2] == 1;
    if ((firstBoy || secondBoy) && knight)
        return false;
    const bool fromRight = boat_ == 1;
    const bool knightHere = fromRight ? knightsLeft_ < kKnights : leftKnightShown_;
    const bool aboard = (firstBoy && boyOnRight_[0] == fromRight)
                        || (secondBoy && boyOnRight_[1] == fromRight) || (knight && knightHere);
    if (!aboard)
        return false;
    if (!fromRight && knight && knightsLeft_ == 1 && !boyOnRight_[0] && !boyOnRight_[1])
        return false;

    if (firstBoy) {
        boyOnRight_[0] = !fromRight;
        ticks_[base] = 0;
    }
    if (secondBoy) {
        boyOnRight_[1] = !fromRight;
        ticks_[base + 1] = 0;
    }
    if (knight && knightHere) {
        knightsLeft_ += fromRight ? 1 : -1;
        ticks_[base + 2] = 0;
    }
    if (knightsLeft_ == 0)
        leftKnightShown_ = false;
    boat_ = fromRight ? 0 : 1;
    return true;
}

MemoryBoard ReferenceModel::expectedBoard() const
{
    MemoryBoard board;
    const std::string boy(kBoyCaption);
    const std::string knight(kKnightCaption);
    board.seats[0].caption = boyOnRight_[0] ? "" : boy;
    board.seats[1].caption = boyOnRight_[1] ? "" : boy;
    board.seats[2].caption = leftKnightShown_ ? knight : "";
    board.seats[3].caption = boyOnRight_[0] ? boy : "";
    board.seats[4].caption = boyOnRight_[1] ? boy : "";
    board.seats[5].caption = knightsLeft_ < kKnights ? knight : "";
    for (std::size_t seat = 0; seat < board.seats.size(); ++seat)
        board.seats[seat].tick = ticks_[seat];
    board.lists[0].assign(std::size_t(knightsLeft_), std::string(kKnightEntry));
    board.lists[1].assign(std::size_t(kKnights - knightsLeft_), std::string(kKnightEntry));
    board.frames = {bankEnabled(0), bankEnabled(1)};
    board.labels[std::size_t(kMoveCountLabel)] = countLabel_;
    board.labels[std::size_t(kDirectionLabel)] = direction_;
    return board;
}

std::string invariantViolation(const MemoryBoard& board, const CrossingPuzzle& puzzle)
{
    const auto left = board.knightCount(kLeftBank);
    const auto right = board.knightCount(kRightBank);
    if (left + right != kKnights)
        return "knight lists hold " + std::to_string(left) + " + " + std::to_string(right);
    for (const auto& list : board.lists) {
        if (std::any_of(list.begin(), list.end(), [](const std::string& e) { return e != kKnightEntry; }))
            return "a knight list entry is not \"1\"";
    }
    for (int boy = 0; boy < 2; ++boy) {
        const bool onLeft = caption(board, boy) == kBoyCaption;
        const bool onRight = caption(board, boy + 3) == kBoyCaption;
        if (onLeft == onRight)
            return "boy " + std::to_string(boy + 1) + " stands on both banks or on neither";
        if (!caption(board, onLeft ? boy + 3 : boy).empty())
            return "boy " + std::to_string(boy + 1) + "'s empty seat shows text";
    }
    if ((caption(board, kLeftKnight) == kKnightCaption) != (left > 0)
        || (caption(board, kRightKnight) == kKnightCaption) != (right > 0))
        return "a knight seat does not match its bank's list";
    if (!caption(board, kLeftKnight).empty() && caption(board, kLeftKnight) != kKnightCaption)
        return "the left knight seat shows other text";
    if (!caption(board, kRightKnight).empty() && caption(board, kRightKnight) != kKnightCaption)
        return "the right knight seat shows other text";
    for (const auto& seat : board.seats) {
        if (seat.tick != kTicked && seat.tick != kUnticked)
            return "a tick is neither 0 nor 1";
    }
    const auto boat = puzzle.BoatSide();
    if (!boat || (*boat != kLeftBank && *boat != kRightBank))
        return "the boat lies on no bank";
    if (left == 0) {
        if (board.bankEnabled(kLeftBank) || board.bankEnabled(kRightBank))
            return "a bank is open after the last knight left";
        if (caption(board, kRightFirstBoy) != kBoyCaption && caption(board, kRightSecondBoy) != kBoyCaption)
            return "the puzzle locked with no boy beside the boat";
    } else if (board.bankEnabled(kLeftBank) != (*boat == kLeftBank)
               || board.bankEnabled(kRightBank) != (*boat == kRightBank)) {
        return "the open bank is not the boat's bank";
    }
    if (puzzle.MoveCount() < 0)
        return "the move count is negative";
    return {};
}

std::string boardDifference(const MemoryBoard& actual, const MemoryBoard& expected)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < actual.seats.size(); ++i) {
        const auto& a = actual.seats[i];
        const auto& e = expected.seats[i];
        if (a != e) {
            out << "Check1(" << i << ") is \"" << a.caption << "\"/" << a.tick << ", expected \"" << e.caption
                << "\"/" << e.tick;
            return out.str();
        }
    }
    for (std::size_t bank = 0; bank < 2; ++bank) {
        if (actual.lists[bank] != expected.lists[bank]) {
            out << "List1(" << bank << ") has " << actual.lists[bank].size() << " entries, expected "
                << expected.lists[bank].size();
            return out.str();
        }
        if (actual.frames[bank] != expected.frames[bank]) {
            out << "Frame1(" << bank << ") enabled is " << actual.frames[bank] << ", expected "
                << expected.frames[bank];
            return out.str();
        }
    }
    for (std::size_t label = 0; label < actual.labels.size(); ++label) {
        if (actual.labels[label] != expected.labels[label]) {
            out << "Label1(" << label << ") is \"" << actual.labels[label] << "\", expected \""
                << expected.labels[label] << "\"";
            return out.str();
        }
    }
    return {};
}

Playthrough::Playthrough() { puzzle_.OnLoad(); }

void Playthrough::apply(const Action& action)
{
    switch (action.kind) {
    case Action::Kind::Click:
        board_.clickSeat(static_cast<Int16>(action.value));
        model_.click(action.value);
        break;
    case Action::Kind::ForceClick:
        if (action.value >= 0 && action.value < kSeatCount) {
            auto& seat = board_.seats[std::size_t(action.value)];
            seat.tick = seat.tick == kTicked ? kUnticked : kTicked;
            forcedSinceClear_ = true;
        }
        model_.click(action.value, true);
        break;
    case Action::Kind::Move:
        puzzle_.OnCommandClick(kMoveButton);
        model_.move();
        break;
    case Action::Kind::Clear:
        puzzle_.OnCommandClick(kClearButton);
        model_.clear();
        forcedSinceClear_ = false;
        break;
    case Action::Kind::PresetCount:
        puzzle_.presetMoveCount(static_cast<Int16>(action.value));
        model_.presetCount(action.value);
        break;
    }
}

std::string Playthrough::problem() const
{
    if (auto diff = boardDifference(board_, model_.expectedBoard()); !diff.empty())
        return diff;
    if (puzzle_.BoatSide() != model_.boat() || puzzle_.MoveCount() != model_.moveCount())
        return "BoatSide or MoveCount differ from the model";
    if (forcedSinceClear_)
        return {};
    return invariantViolation(board_, puzzle_);
}

} // namespace crossing::testing
