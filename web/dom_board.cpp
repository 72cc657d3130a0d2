#include "dom_board.h"

#include "dom.h"

namespace crossing::web {

namespace {

using form::ControlArray;

form::ControlId seat(Int16 index) { return {ControlArray::Check1, index}; }
form::ControlId knightList(Int16 bank) { return {ControlArray::List1, bank}; }
form::ControlId label(Int16 index) { return {ControlArray::Label1, index}; }

} // namespace

std::string elementId(form::ControlId control) { return form::controlName(control); }

std::string partId(form::ControlId control, std::string_view part)
{
    return form::controlName(control) + "/" + std::string(part);
}

std::string focusElementId(const form::Control& control)
{
    return control.kind == form::ControlKind::TickBox ? partId(control.id, kTickPart) : elementId(control.id);
}

bool showsValue(const form::Control& control)
{
    return control.kind == form::ControlKind::Label && !control.accessibleDescription.empty();
}

std::optional<Attribute> nameAttribute(const form::Control& control, std::string_view caption)
{
    const bool namedByCaption = control.kind == form::ControlKind::TickBox || showsValue(control);
    if (namedByCaption || !control.accessibleName.empty())
        return Attribute{"aria-label", form::accessibleName(control, caption)};
    if (control.labelledBy)
        return Attribute{"aria-labelledby", elementId(*control.labelledBy)};
    return std::nullopt;
}

namespace {

// Keeps a control's name in step with the caption the rules just wrote.
void rename(dom::Element element, form::ControlArray array, Int16 index, std::string_view caption)
{
    if (const auto attribute = nameAttribute(form::control(array, index), caption))
        dom::setAttribute(element, attribute->name, attribute->value);
}

} // namespace

void DomBoard::attach()
{
    for (Int16 index = 0; index < kSeatCount; ++index)
        seats_.at(slot(index)) = {dom::find(partId(seat(index), kTickPart)),
                                  dom::find(partId(seat(index), kCaptionPart))};
    for (Int16 bank : {kLeftBank, kRightBank}) {
        knightLists_.at(slot(bank)) = dom::find(elementId(knightList(bank)));
        banks_.at(slot(bank)) = dom::find(partId({ControlArray::Frame1, bank}, kGroupPart));
    }
    for (Int16 index = 0; index < kLabelCount; ++index)
        labels_.at(slot(index)) = dom::find(elementId(label(index)));
}

std::string DomBoard::seatCaption(Int16 index) const { return dom::text(seats_.at(slot(index)).caption); }

void DomBoard::setSeatCaption(Int16 index, std::string_view caption)
{
    const Seat& seat = seats_.at(slot(index));
    dom::setText(seat.caption, caption);
    rename(seat.tick, ControlArray::Check1, index, caption);
}

Int16 DomBoard::seatTick(Int16 index) const
{
    return dom::checked(seats_.at(slot(index)).tick) ? kTicked : kUnticked;
}

void DomBoard::setSeatTick(Int16 index, Int16 tick)
{
    dom::setChecked(seats_.at(slot(index)).tick, tick == kTicked);
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

void DomBoard::setLabelCaption(Int16 index, std::string_view caption)
{
    dom::setText(labels_.at(slot(index)), caption);
    rename(labels_.at(slot(index)), ControlArray::Label1, index, caption);
}

std::string DomBoard::labelCaption(Int16 index) const { return dom::text(labels_.at(slot(index))); }

} // namespace crossing::web
