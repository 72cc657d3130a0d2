// Writes the window's description as JSON, for the shell and Python test
// harnesses and the tools that look at the window from outside, so that none
// of them keeps its own copy of a place, a colour or a caption.
// Usage: form_json OUTPUT
#include "form_description.h"
#include "json_text.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

using namespace crossing;
using namespace crossing::form;

std::string_view roleName(Role role)
{
    switch (role) {
    case Role::Bank:
        return "bank";
    case Role::Seat:
        return "seat";
    case Role::Command:
        return "command";
    case Role::KnightList:
        return "knightList";
    case Role::Heading:
        return "heading";
    case Role::Caption:
        return "caption";
    case Role::Value:
        return "value";
    case Role::Statement:
        return "statement";
    case Role::Aphorism:
        return "aphorism";
    }
    return "?";
}

std::string colour(const std::optional<Colour>& c) { return c ? json::quoted(hex(*c)) : "null"; }

std::string box(const char* x, const char* y, int a, int b, int width, int height)
{
    std::ostringstream out;
    out << "{\"" << x << "\": " << a << ", \"" << y << "\": " << b << ", \"width\": " << width
        << ", \"height\": " << height << "}";
    return out.str();
}

void writeControl(std::ostream& out, const Control& c)
{
    const Pixels pixels = windowPixels(c);
    out << "    {\"name\": " << json::quoted(controlName(c.id))
        << ", \"array\": " << json::quoted(arrayName(c.id.array)) << ", \"index\": " << c.id.index
        << ", \"kind\": " << json::quoted(kindName(c.kind()))
        << ", \"role\": " << json::quoted(roleName(c.role))
        << ", \"parent\": " << (c.parent ? json::quoted(controlName(*c.parent)) : "null")
        << ",\n     \"twips\": "
        << box("left", "top", c.place.left, c.place.top, c.place.width, c.place.height)
        << ",\n     \"pixels\": " << box("x", "y", pixels.x, pixels.y, pixels.width, pixels.height)
        << ",\n     \"background\": " << colour(c.background) << ", \"tab\": " << c.tabPlace
        << ", \"stack\": " << c.stackPlace << ", \"shown\": " << (c.shown ? "true" : "false")
        << ",\n     \"accessibleName\": " << json::quoted(accessibleName(c, c.text))
        << ", \"accessibleDescription\": " << json::quoted(accessibleDescription(c))
        << ",\n     \"text\": " << json::quoted(c.text) << "}";
}

void writeForm(std::ostream& out)
{
    const Window& w = window();
    const Pixels client = toPixels(w.clientArea);
    out << "{\n  \"window\": {\"title\": " << json::quoted(fullTitle(w))
        << ", \"siteAddress\": " << json::quoted(w.siteAddress)
        << ", \"programTitle\": " << json::quoted(w.programTitle) << ",\n    \"width\": " << client.width
        << ", \"height\": " << client.height << ", \"background\": " << json::quoted(hex(w.background))
        << ",\n    \"font\": {\"face\": " << json::quoted(w.font.face)
        << ", \"substitute\": " << json::quoted(w.font.substitute) << ", \"points\": " << w.font.points
        << "}},\n";
    // The texts the rules write and the controls they press and write, so
    // that a harness can play and read the board.
    out << "  \"rules\": {\"boy\": " << json::quoted(kBoyCaption)
        << ", \"knight\": " << json::quoted(kKnightCaption)
        << ", \"knightEntry\": " << json::quoted(kKnightEntry)
        << ", \"toTheRight\": " << json::quoted(kToTheRight)
        << ", \"toTheLeft\": " << json::quoted(kToTheLeft)
        << ", \"emptySeat\": " << json::quoted(kEmptySeatName)
        << ",\n    \"moveButton\": " << json::quoted(controlName({ControlArray::Command1, kMoveButton}))
        << ", \"clearButton\": " << json::quoted(controlName({ControlArray::Command1, kClearButton}))
        << ", \"countLabel\": " << json::quoted(controlName({ControlArray::Label1, kMoveCountLabel}))
        << ", \"directionLabel\": " << json::quoted(controlName({ControlArray::Label1, kDirectionLabel}))
        << "},\n";
    const Announcements& spoken = announcements();
    out << "  \"announcements\": {\"move\": " << json::quoted(spoken.move)
        << ", \"everyKnightAcross\": " << json::quoted(spoken.everyKnightAcross)
        << ", \"startAgain\": " << json::quoted(spoken.startAgain) << "},\n";
    // The controls Tab visits, in order, the first having the focus at the start.
    out << "  \"focusOrder\": [";
    for (const Control* c : focusOrder())
        out << (c == focusOrder().front() ? "" : ", ") << json::quoted(controlName(c->id));
    out << "],\n  \"firstFocus\": " << json::quoted(controlName(firstFocus().id)) << ",\n";
    out << "  \"controls\": [\n";
    const auto& all = controls();
    for (std::size_t i = 0; i < all.size(); ++i) {
        writeControl(out, all[i]);
        out << (i + 1 < all.size() ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: form_json OUTPUT\n";
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary);
    writeForm(file);
    file.close();
    if (!file) {
        std::cerr << "form_json: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
