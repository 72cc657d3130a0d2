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
void rename(const form::Control& control, std::string_view caption)
{
    if (const auto attribute = nameAttribute(control, caption))
        dom::setAttribute(focusElementId(control), attribute->name, attribute->value);
}

} // namespace

std::string DomBoard::seatCaption(Int16 index) const { return dom::text(partId(seat(index), kCaptionPart)); }

void DomBoard::setSeatCaption(Int16 index, std::string_view caption)
{
    dom::setText(partId(seat(index), kCaptionPart), caption);
    rename(form::control(ControlArray::Check1, index), caption);
}

Int16 DomBoard::seatTick(Int16 index) const
{
    return dom::checked(partId(seat(index), kTickPart)) ? kTicked : kUnticked;
}

void DomBoard::setSeatTick(Int16 index, Int16 tick)
{
    dom::setChecked(partId(seat(index), kTickPart), tick == kTicked);
}

void DomBoard::clearKnights(Int16 bank) { dom::removeAllOptions(elementId(knightList(bank))); }

void DomBoard::appendKnight(Int16 bank, std::string_view entry)
{
    dom::appendOption(elementId(knightList(bank)), entry);
}

void DomBoard::removeFirstKnight(Int16 bank) { dom::removeFirstOption(elementId(knightList(bank))); }

Int16 DomBoard::knightCount(Int16 bank) const
{
    return static_cast<Int16>(dom::optionCount(elementId(knightList(bank))));
}

void DomBoard::setBankEnabled(Int16 bank, bool enabled)
{
    dom::setDisabled(partId({ControlArray::Frame1, bank}, kGroupPart), !enabled);
}

void DomBoard::setLabelCaption(Int16 index, std::string_view caption)
{
    dom::setText(elementId(label(index)), caption);
    rename(form::control(ControlArray::Label1, index), caption);
}

std::string DomBoard::labelCaption(Int16 index) const { return dom::text(elementId(label(index))); }

} // namespace crossing::web
