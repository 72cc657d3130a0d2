#include "form_description.h"

#include <algorithm>
#include <stdexcept>

#ifndef CROSSING_SITE_ADDRESS
#error "CROSSING_SITE_ADDRESS names the site at the start of the window title"
#endif

namespace crossing::form {

namespace {

using enum ControlArray;
using enum ControlKind;

constexpr std::string_view kProgramTitle = "Философия - Логика, задача за транспорт";
// The statement's topic line repeats it word for word, two spaces after the
// dash included.
constexpr std::string_view kTitleLabel = "Философия -  река, рицари и момчета";

constexpr Colour kWindowColour{0xC0, 0xC0, 0xFF};
constexpr Colour kLabelColour{0xFF, 0xC0, 0x80};
constexpr Colour kLeftFrameColour{0x80, 0xFF, 0x80};
constexpr Colour kRightFrameColour{0x80, 0xFF, 0xFF};
constexpr Colour kLeftSeatColour{0x00, 0xC0, 0x00};
constexpr Colour kRightSeatColour{0x00, 0xC0, 0xC0};
constexpr Colour kMoveColour{0x00, 0xFF, 0x00};
constexpr Colour kClearColour{0xFF, 0x00, 0x00};

// Lines of the text boxes; each ends with CR LF when joined.
constexpr std::string_view kTopicOpening = "Тема на проекта: ";
constexpr std::array<std::string_view, 13> kStatementLines{
    "Било отдавна - времена на рицари и странници. Един лодкар изкарвал прехраната си, като срещу малко "
    "заплащане превозвал пътниците от единия бряг на реката на другия бряг на реката .",
    "   С дълъг прът изтласквал лодката към отсрещния бряг, като забивал  заострения край на пръта в дъното "
    "на реката.",
    "   Един ден трябвало да отиде до града, за да плати данъците си - и в онези времена честните хора "
    "плащали "
    "данъците си. За да не спира работата, оставил синовете си да го заместват. Случило се така, че на "
    "единия бряг се събрала следната група: двамата малки сина на лодкаря и група от N рицари.",
    "   Имали на разположение само една двуместна лодка. Всички рицари искали да преминат на другия бряг, но "
    "като дисциплинирани и благородни мъже трябвало да спазват следните правила:",
    "   Лодката може да транспортира или само един рицар, или само едно момче, или двете момчета заедно.",
    "   Лодката може да се придвижи от рицар или от което и да е от момчетата, но не може да премине реката "
    "сама. Целта е всички рицари да преминат на отсрещния бряг и поне едно от момчетата да е на брега, "
    "където е лодката.",
    "Всяка допусната грешка да блокира всяко следващо действие.",
    "За най-успешно придвижване се приема това, което е извършено с най-малко стъпки.",
    "Да се реализира проект, представящ връзките между учебните предмети Философия и Информатика.",
    "", // the topic: kTopicOpening and the title label
    "Изборът на пътници да се извършва с бутони за избор.",
    "Преместването на лодката да се извършва с команден бутон.",
    "Да е реализирана вътрешна блокировка срещу грешно решение от потребителя.",
};
constexpr std::size_t kTopicLine = 9;

constexpr std::array<std::string_view, 3> kAphorismLines{
    "Неприятното в това да си първият, направил нещо по ",
    "правилния начин, е, че никой не оценява колко трудно е ",
    "било. ",
};

constexpr std::string_view kLineEnd = "\r\n";

std::string statementText()
{
    std::string text;
    for (std::size_t i = 0; i < kStatementLines.size(); ++i) {
        if (i == kTopicLine)
            text.append(kTopicOpening).append(kTitleLabel);
        else
            text.append(kStatementLines[i]);
        text.append(kLineEnd);
    }
    return text;
}

std::string aphorismText()
{
    std::string text;
    for (std::string_view line : kAphorismLines)
        text.append(line).append(kLineEnd);
    return text;
}

// Texts that must outlive every view into them.
const std::string& statement()
{
    static const std::string text = statementText();
    return text;
}

const std::string& aphorism()
{
    static const std::string text = aphorismText();
    return text;
}

const std::string& title()
{
    static const std::string text = std::string(CROSSING_SITE_ADDRESS) + "  " + std::string(kProgramTitle);
    return text;
}

constexpr ControlId kLeftFrame{Frame1, kLeftBank};
constexpr ControlId kRightFrame{Frame1, kRightBank};

std::array<Control, kControlCount> buildControls()
{
    // clang-format off
    return {{
        // id           kind        parent       left  top   width height   text            background         tab stack shown  name                   labelled by          description
        {{Frame1, 0},   Frame,      {},          {240,  600,  2055, 1335}, "Ляв бряг",      kLeftFrameColour,  3,  9,  true,  {},                    {},                  {}},
        {{Check1, 0},   TickBox,    kLeftFrame,  {120,  300,  1815, 300},  kBoyCaption,     kLeftSeatColour,   6,  0,  true,  {},                    {},                  "първо момче"},
        {{Check1, 1},   TickBox,    kLeftFrame,  {120,  600,  1815, 300},  kBoyCaption,     kLeftSeatColour,   7,  1,  true,  {},                    {},                  "второ момче"},
        {{Check1, 2},   TickBox,    kLeftFrame,  {120,  900,  1815, 300},  kKnightCaption,  kLeftSeatColour,   8,  2,  true,  {},                    {},                  "рицар"},
        {{Frame1, 1},   Frame,      {},          {5040, 600,  2055, 1335}, "Десен бряг",    kRightFrameColour, 4,  10, true,  {},                    {},                  {}},
        {{Check1, 3},   TickBox,    kRightFrame, {120,  300,  1815, 300},  kEmptyCaption,   kRightSeatColour,  9,  0,  true,  {},                    {},                  "първо момче"},
        {{Check1, 4},   TickBox,    kRightFrame, {120,  600,  1815, 300},  kEmptyCaption,   kRightSeatColour,  10, 1,  true,  {},                    {},                  "второ момче"},
        {{Check1, 5},   TickBox,    kRightFrame, {120,  900,  1815, 300},  kEmptyCaption,   kRightSeatColour,  11, 2,  true,  {},                    {},                  "рицар"},
        {{Command1, 0}, PushButton, {},          {2880, 720,  1575, 375},  "Мести",         kMoveColour,       12, 12, true,  {},                    {},                  "превозва отметнатите пътници"},
        {{Command1, 1}, PushButton, {},          {2880, 1440, 1575, 375},  "Чисти",         kClearColour,      5,  11, true,  {},                    {},                  "започва отначало"},
        {{List1, 0},    ListBox,    {},          {240,  2520, 2055, 1200}, {},              {},                13, 13, true,  {},                    ControlId{Label1, 1}, {}},
        {{List1, 1},    ListBox,    {},          {5040, 2520, 2055, 1200}, {},              {},                14, 14, true,  {},                    ControlId{Label1, 2}, {}},
        {{Label1, 0},   Label,      {},          {600,  0,    5895, 375},  kTitleLabel,     kLabelColour,      2,  0,  true,  {},                    {},                  {}},
        {{Label1, 1},   Label,      {},          {240,  2160, 2055, 375},  "Рицари отляво", kLabelColour,      15, 1,  true,  {},                    {},                  {}},
        {{Label1, 2},   Label,      {},          {5040, 2160, 2055, 375},  "Рицари отдясно", kLabelColour,     16, 2,  true,  {},                    {},                  {}},
        {{Label1, 3},   Label,      {},          {2640, 2520, 975,  375},  "Брой:",         kLabelColour,      17, 3,  true,  {},                    {},                  {}},
        // The count and the direction are bare values: named by their text,
        // so that reading them gives the value, and described by what they are.
        {{Label1, 4},   Label,      {},          {3600, 2520, 615,  375},  {},              kLabelColour,      18, 4,  true,  {},                    {},                  "брой ходове"},
        {{Label1, 5},   Label,      {},          {2640, 3240, 975,  375},  "Лодка:",        kLabelColour,      19, 5,  true,  {},                    {},                  {}},
        {{Label1, 6},   Label,      {},          {3600, 3240, 975,  375},  {},              kLabelColour,      20, 6,  true,  {},                    {},                  "посока на лодката"},
        {{Text1, 0},    TextBox,    {},          {240,  3840, 6855, 2055}, statement(),     {},                0,  7,  true,  "Условие на задачата", {},                  {}},
        // The aphorism is kept in the window but never shown.
        {{Text1, 1},    TextBox,    {},          {480,  4800, 6735, 1815}, aphorism(),      {},                1,  8,  false, {},                    {},                  {}},
    }};
    // clang-format on
}

} // namespace

// Spelled out rather than printed: printf would add a fifth to the web page.
std::string hex(Colour colour)
{
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text = "#";
    for (const std::uint8_t part : {colour.red, colour.green, colour.blue}) {
        text += kDigits[part >> 4];
        text += kDigits[part & 0xF];
    }
    return text;
}

const Window& window()
{
    static const Window theWindow{
        title(), {0, 0, 7305, 6000}, kWindowColour, {"Times New Roman", "Liberation Serif", 12}};
    return theWindow;
}

const std::array<Control, kControlCount>& controls()
{
    static const std::array<Control, kControlCount> table = buildControls();
    return table;
}

const Control& control(ControlArray array, Int16 index)
{
    const auto& all = controls();
    const auto found = std::find_if(all.begin(), all.end(), [&](const Control& c) {
        return c.id == ControlId{array, index};
    });
    if (found == all.end())
        throw std::out_of_range("the window has no control " + controlName({array, index}));
    return *found;
}

std::string_view arrayName(ControlArray array)
{
    switch (array) {
    case Frame1:
        return "Frame1";
    case Check1:
        return "Check1";
    case Command1:
        return "Command1";
    case List1:
        return "List1";
    case Label1:
        return "Label1";
    case Text1:
        return "Text1";
    }
    return "?";
}

std::string controlName(ControlId id)
{
    return std::string(arrayName(id.array)) + "(" + std::to_string(id.index) + ")";
}

std::string_view kindName(ControlKind kind)
{
    switch (kind) {
    case Frame:
        return "frame";
    case TickBox:
        return "tickbox";
    case PushButton:
        return "button";
    case ListBox:
        return "list";
    case Label:
        return "label";
    case TextBox:
        return "text";
    }
    return "?";
}

Pixels windowPixels(const Control& c)
{
    Pixels pixels = toPixels(c.place);
    if (c.parent) {
        const Pixels frame = toPixels(control(c.parent->array, c.parent->index).place);
        pixels.x += frame.x;
        pixels.y += frame.y;
    }
    return pixels;
}

std::string accessibleName(const Control& c, std::string_view caption)
{
    if (!c.accessibleName.empty())
        return std::string(c.accessibleName);
    if (c.labelledBy)
        return std::string(control(c.labelledBy->array, c.labelledBy->index).text);
    if (c.kind == TickBox && caption.empty())
        return std::string(kEmptySeatName);
    return std::string(caption);
}

std::string accessibleDescription(const Control& c)
{
    if (c.parent && !c.accessibleDescription.empty())
        return std::string(control(c.parent->array, c.parent->index).text) + ", "
               + std::string(c.accessibleDescription);
    return std::string(c.accessibleDescription);
}

const Announcements& announcements()
{
    static constexpr Announcements texts{
        "Ход {count}, лодката премина {direction}.",
        "Всички рицари са на десния бряг. Резултатът е {count} хода.",
        "Задачата започва отначало. Всички са на левия бряг.",
    };
    return texts;
}

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

std::string moveAnnouncement(std::string_view count, std::string_view direction, bool everyKnightAcross)
{
    std::string text = filled(announcements().move, count, direction);
    if (everyKnightAcross)
        text += " " + filled(announcements().everyKnightAcross, count, direction);
    return text;
}

} // namespace crossing::form
