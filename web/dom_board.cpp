#include "dom_board.h"

#include "dom.h"

namespace crossing::web {

namespace {

using form::ControlArray;

form::ControlId seatId(Int16 seat) { return {ControlArray::Check1, seat}; }
form::ControlId knightListId(Int16 bank) { return {ControlArray::List1, bank}; }
form::ControlId labelId(Int16 label) { return {ControlArray::Label1, label}; }

// Keeps a control's name in step with the caption the rules just wrote.
void rename(dom::Element element, form::ControlArray array, Int16 index, std::string_view caption)
{
    if (const auto attribute = nameAttribute(form::control(array, index), caption))
        dom::setAttribute(element, attribute->name, attribute->value);
}

} // namespace

void DomBoard::attach()
{
    for (Int16 seat = 0; seat < kSeatCount; ++seat)
        seats_.at(slot(seat)) = {dom::find(partId(seatId(seat), kTickPart)),
                                 dom::find(partId(seatId(seat), kCaptionPart))};
    for (Int16 bank = 0; bank < kBankCount; ++bank) {
        knightLists_.at(slot(bank)) = dom::find(elementId(knightListId(bank)));
        banks_.at(slot(bank)) = dom::find(partId({ControlArray::Frame1, bank}, kGroupPart));
    }
    for (Int16 label = 0; label < kLabelCount; ++label)
        labels_.at(slot(label)) = dom::find(elementId(labelId(label)));
}

std::string DomBoard::seatCaption(Int16 seat) const { return dom::text(seats_.at(slot(seat)).caption); }

void DomBoard::setSeatCaption(Int16 seat, std::string_view caption)
{
    const Seat& elements = seats_.at(slot(seat));
    dom::setText(elements.caption, caption);
    rename(elements.tick, ControlArray::Check1, seat, caption);
}

Int16 DomBoard::seatTick(Int16 seat) const
{
    return dom::checked(seats_.at(slot(seat)).tick) ? kTicked : kUnticked;
}

void DomBoard::setSeatTick(Int16 seat, Int16 tick)
{
    dom::setChecked(seats_.at(slot(seat)).tick, tick == kTicked);
}

void DomBoard::clearKnights(Int16 bank) { dom::removeAllOptions(knightLists_.at(slot(bank))); }

void DomBoard::appendKnight(Int16 bank, std::string_view entry)
{
    dom::appendOption(knightLists_.at(slot(bank)), entry);
}

void DomBoard::removeFirstKnight(Int16 bank) { dom::removeFirstOption(knightLists_.at(slot(bank))); }

Int16 DomBoard::knightCount(Int16 bank) const
{
    return static_cast<Int16>(dom::optionCount(knightLists_.at(slot(bank))));
}

void DomBoard::setBankEnabled(Int16 bank, bool enabled) { dom::setDisabled(banks_.at(slot(bank)), !enabled); }

void DomBoard::setLabelCaption(Int16 label, std::string_view caption)
{
    dom::setText(labels_.at(slot(label)), caption);
    rename(labels_.at(slot(label)), ControlArray::Label1, label, caption);
}

} // namespace crossing::web
