#include "element_names.h"

namespace crossing::web {

std::string elementId(form::ControlId control) { return form::controlName(control); }

std::string partId(form::ControlId control, std::string_view part)
{
    return form::controlName(control) + "/" + std::string(part);
}

std::string focusElementId(const form::Control& control)
{
    return control.kind() == form::ControlKind::TickBox ? partId(control.id, kTickPart)
                                                        : elementId(control.id);
}

std::optional<Attribute> nameAttribute(const form::Control& control, std::string_view caption)
{
    if (control.role == form::Role::Seat || !control.accessibleName.empty())
        return Attribute{"aria-label", form::accessibleName(control, caption)};
    if (control.labelledBy)
        return Attribute{"aria-labelledby", elementId(*control.labelledBy)};
    return std::nullopt;
}

} // namespace crossing::web
