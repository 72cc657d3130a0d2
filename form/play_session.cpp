#include "play_session.h"

#include "form_description.h"

#include <utility>

namespace crossing::form {

namespace {

std::string filled(std::string_view text, std::string_view count, std::string_view direction)
{
    std::string out(text);
    for (const auto& [field, value] :
         {std::pair{std::string_view("{count}"), count}, {"{direction}", direction}}) {
        for (std::size_t at = out.find(field); at != std::string::npos;
             at = out.find(field, at + value.size()))
            out.replace(at, field.size(), value);
    }
    return out;
}

} // namespace

std::string PlaySession::OnCommandClick(Int16 index)
{
    const Snapshot before = snapshot();
    puzzle_.OnCommandClick(index);
    return spoken(index, before, snapshot());
}

PlaySession::Snapshot PlaySession::snapshot() const
{
    return {puzzle_.BoatSide(), puzzle_.MoveCount(), board_.knightCount(kLeftBank)};
}

std::string PlaySession::spoken(Int16 index, const Snapshot& before, const Snapshot& after)
{
    if (index == kClearButton)
        return std::string(announcements().startAgain);
    // A move the rules refuse changes neither; at the counter's ceiling a
    // move still turns the boat.
    if (!after.boatSide || (after.boatSide == before.boatSide && after.moveCount == before.moveCount))
        return {};
    const std::string count = std::to_string(after.moveCount);
    const std::string_view direction = directionTowards(*after.boatSide);
    std::string text = filled(announcements().move, count, direction);
    if (after.knightsOnLeftBank == 0)
        text += " " + filled(announcements().everyKnightAcross, count, direction);
    return text;
}

} // namespace crossing::form
