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

using json::quoted;

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

std::string colour(const std::optional<Colour>& c) { return c ? quoted(hex(*c)) : "null"; }

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
    out << "    {\"name\": " << quoted(controlName(c.id)) << ", \"array\": " << quoted(arrayName(c.id.array))
        << ", \"index\": " << c.id.index << ", \"kind\": " << quoted(kindName(c.kind()))
        << ", \"role\": " << quoted(roleName(c.role))
        << ", \"parent\": " << (c.parent ? quoted(controlName(*c.parent)) : "null") << ",\n     \"twips\": "
        << box("left", "top", c.place.left, c.place.top, c.place.width, c.place.height)
        << ",\n     \"pixels\": " << box("x", "y", pixels.x, pixels.y, pixels.width, pixels.height)
        << ",\n     \"background\": " << colour(c.background) << ", \"tab\": " << c.tabPlace
        << ", \"stack\": " << c.stackPlace << ", \"shown\": " << (c.shown ? "true" : "false")
        << ",\n     \"accessibleName\": " << quoted(accessibleName(c, c.text))
        << ", \"accessibleDescription\": " << quoted(accessibleDescription(c))
        << ",\n     \"text\": " << quoted(c.text) << "}";
}

void writeForm(std::ostream& out)
{
    const Window& w = window();
    const Pixels client = toPixels(w.clientArea);
    out << "{\n  \"window\": {\"title\": " << quoted(fullTitle(w))
        << ", \"siteAddress\": " << quoted(w.siteAddress) << ", \"programTitle\": " << quoted(w.programTitle)
        << ",\n    \"width\": " << client.width << ", \"height\": " << client.height
        << ", \"background\": " << quoted(hex(w.background))
        << ",\n    \"font\": {\"face\": " << quoted(w.font.face)
        << ", \"substitute\": " << quoted(w.font.substitute) << ", \"points\": " << w.font.points << "}},\n";
    // The texts the rules write and the controls they press and write, so
    // that a harness can play and read the board.
    out << "  \"rules\": {\"boy\": " << quoted(kBoyCaption) << ", \"knight\": " << quoted(kKnightCaption)
        << ", \"knightEntry\": " << quoted(kKnightEntry) << ", \"toTheRight\": " << quoted(kToTheRight)
        << ", \"toTheLeft\": " << quoted(kToTheLeft) << ", \"emptySeat\": " << quoted(kEmptySeatName)
        << ",\n    \"moveButton\": " << quoted(controlName({ControlArray::Command1, kMoveButton}))
        << ", \"clearButton\": " << quoted(controlName({ControlArray::Command1, kClearButton}))
        << ", \"countLabel\": " << quoted(controlName({ControlArray::Label1, kMoveCountLabel}))
        << ", \"directionLabel\": " << quoted(controlName({ControlArray::Label1, kDirectionLabel})) << "},\n";
    const Announcements& spoken = announcements();
    out << "  \"announcements\": {\"move\": " << quoted(spoken.move)
        << ", \"everyKnightAcross\": " << quoted(spoken.everyKnightAcross)
        << ", \"startAgain\": " << quoted(spoken.startAgain) << "},\n";
    // The controls Tab visits, in order, the first having the focus at the start.
    out << "  \"focusOrder\": [";
    for (const Control* c : focusOrder())
        out << (c == focusOrder().front() ? "" : ", ") << quoted(controlName(c->id));
    out << "],\n  \"firstFocus\": " << quoted(controlName(firstFocus().id)) << ",\n";
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
