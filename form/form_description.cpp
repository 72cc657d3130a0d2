#include "form_description.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#ifndef CROSSING_SITE_ADDRESS
#error "CROSSING_SITE_ADDRESS names the site at the start of the window title"
#endif

namespace crossing::form {

namespace {

using enum ControlArray;
using enum ControlKind;
using enum Role;

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

constexpr std::string_view kLineEnd = "\r\n";

// The text boxes' texts piece by piece, each line ended with CR LF.
// clang-format off
constexpr auto kStatementPieces = std::to_array<std::string_view>({
    "Било отдавна - времена на рицари и странници. Един лодкар изкарвал прехраната си, като срещу малко "
    "заплащане превозвал пътниците от единия бряг на реката на другия бряг на реката .", kLineEnd,
    "   С дълъг прът изтласквал лодката към отсрещния бряг, като забивал  заострения край на пръта в дъното "
    "на реката.", kLineEnd,
    "   Един ден трябвало да отиде до града, за да плати данъците си - и в онези времена честните хора "
    "плащали "
    "данъците си. За да не спира работата, оставил синовете си да го заместват. Случило се така, че на "
    "единия бряг се събрала следната група: двамата малки сина на лодкаря и група от N рицари.", kLineEnd,
    "   Имали на разположение само една двуместна лодка. Всички рицари искали да преминат на другия бряг, но "
    "като дисциплинирани и благородни мъже трябвало да спазват следните правила:", kLineEnd,
    "   Лодката може да транспортира или само един рицар, или само едно момче, или двете момчета заедно.",
    kLineEnd,
    "   Лодката може да се придвижи от рицар или от което и да е от момчетата, но не може да премине реката "
    "сама. Целта е всички рицари да преминат на отсрещния бряг и поне едно от момчетата да е на брега, "
    "където е лодката.", kLineEnd,
    "Всяка допусната грешка да блокира всяко следващо действие.", kLineEnd,
    "За най-успешно придвижване се приема това, което е извършено с най-малко стъпки.", kLineEnd,
    "Да се реализира проект, представящ връзките между учебните предмети Философия и Информатика.", kLineEnd,
    "Тема на проекта: ", kTitleLabel, kLineEnd,
    "Изборът на пътници да се извършва с бутони за избор.", kLineEnd,
    "Преместването на лодката да се извършва с команден бутон.", kLineEnd,
    "Да е реализирана вътрешна блокировка срещу грешно решение от потребителя.", kLineEnd,
});

constexpr auto kAphorismPieces = std::to_array<std::string_view>({
    "Неприятното в това да си първият, направил нещо по ", kLineEnd,
    "правилния начин, е, че никой не оценява колко трудно е ", kLineEnd,
    "било. ", kLineEnd,
});
// clang-format on

template <std::size_t Count> constexpr std::size_t lengthOf(const std::array<std::string_view, Count>& pieces)
{
    std::size_t length = 0;
    for (const std::string_view piece : pieces)
        length += piece.size();
    return length;
}

// Joined when the program is compiled, so that the table can point into it.
template <std::size_t Length, std::size_t Count>
constexpr std::array<char, Length> joined(const std::array<std::string_view, Count>& pieces)
{
    std::array<char, Length> text{};
    std::size_t at = 0;
    for (const std::string_view piece : pieces) {
        for (const char c : piece)
            text[at++] = c;
    }
    return text;
}

constexpr auto kStatement = joined<lengthOf(kStatementPieces)>(kStatementPieces);
constexpr auto kAphorism = joined<lengthOf(kAphorismPieces)>(kAphorismPieces);

template <std::size_t Length> constexpr std::string_view view(const std::array<char, Length>& text)
{
    return {text.data(), text.size()};
}

constexpr ControlId kLeftFrame{Frame1, kLeftBank};
constexpr ControlId kRightFrame{Frame1, kRightBank};

// clang-format off
constexpr auto kControls = std::to_array<Control>({
    // id           role        parent       left  top   width height   text            background         tab stack shown  name                   labelled by          description
    {{Frame1, 0},   Bank,       {},          {240,  600,  2055, 1335}, "Ляв бряг",      kLeftFrameColour,  3,  9,  true,  {},                    {},                  {}},
    {{Check1, 0},   Seat,       kLeftFrame,  {120,  300,  1815, 300},  kBoyCaption,     kLeftSeatColour,   6,  0,  true,  {},                    {},                  "първо момче"},
    {{Check1, 1},   Seat,       kLeftFrame,  {120,  600,  1815, 300},  kBoyCaption,     kLeftSeatColour,   7,  1,  true,  {},                    {},                  "второ момче"},
    {{Check1, 2},   Seat,       kLeftFrame,  {120,  900,  1815, 300},  kKnightCaption,  kLeftSeatColour,   8,  2,  true,  {},                    {},                  "рицар"},
    {{Frame1, 1},   Bank,       {},          {5040, 600,  2055, 1335}, "Десен бряг",    kRightFrameColour, 4,  10, true,  {},                    {},                  {}},
    {{Check1, 3},   Seat,       kRightFrame, {120,  300,  1815, 300},  kEmptyCaption,   kRightSeatColour,  9,  0,  true,  {},                    {},                  "първо момче"},
    {{Check1, 4},   Seat,       kRightFrame, {120,  600,  1815, 300},  kEmptyCaption,   kRightSeatColour,  10, 1,  true,  {},                    {},                  "второ момче"},
    {{Check1, 5},   Seat,       kRightFrame, {120,  900,  1815, 300},  kEmptyCaption,   kRightSeatColour,  11, 2,  true,  {},                    {},                  "рицар"},
    {{Command1, 0}, Command,    {},          {2880, 720,  1575, 375},  "Мести",         kMoveColour,       12, 12, true,  {},                    {},                  "превозва отметнатите пътници"},
    {{Command1, 1}, Command,    {},          {2880, 1440, 1575, 375},  "Чисти",         kClearColour,      5,  11, true,  {},                    {},                  "започва отначало"},
    {{List1, 0},    KnightList, {},          {240,  2520, 2055, 1200}, {},              {},                13, 13, true,  {},                    ControlId{Label1, 1}, {}},
    {{List1, 1},    KnightList, {},          {5040, 2520, 2055, 1200}, {},              {},                14, 14, true,  {},                    ControlId{Label1, 2}, {}},
    {{Label1, 0},   Heading,    {},          {600,  0,    5895, 375},  kTitleLabel,     kLabelColour,      2,  0,  true,  {},                    {},                  {}},
    {{Label1, 1},   Caption,    {},          {240,  2160, 2055, 375},  "Рицари отляво", kLabelColour,      15, 1,  true,  {},                    {},                  {}},
    {{Label1, 2},   Caption,    {},          {5040, 2160, 2055, 375},  "Рицари отдясно", kLabelColour,     16, 2,  true,  {},                    {},                  {}},
    {{Label1, 3},   Caption,    {},          {2640, 2520, 975,  375},  "Брой:",         kLabelColour,      17, 3,  true,  {},                    {},                  {}},
    // The count and the direction are bare values: named by their text,
    // so that reading them gives the value, and described by what they are.
    {{Label1, 4},   Value,      {},          {3600, 2520, 615,  375},  {},              kLabelColour,      18, 4,  true,  {},                    {},                  "брой ходове"},
    {{Label1, 5},   Caption,    {},          {2640, 3240, 975,  375},  "Лодка:",        kLabelColour,      19, 5,  true,  {},                    {},                  {}},
    {{Label1, 6},   Value,      {},          {3600, 3240, 975,  375},  {},              kLabelColour,      20, 6,  true,  {},                    {},                  "посока на лодката"},
    {{Text1, 0},    Statement,  {},          {240,  3840, 6855, 2055}, view(kStatement), {},               0,  7,  true,  "Условие на задачата", {},                  {}},
    // The aphorism is kept in the window but never shown.
    {{Text1, 1},    Aphorism,   {},          {480,  4800, 6735, 1815}, view(kAphorism), {},                1,  8,  false, {},                    {},                  {}},
});
// clang-format on

template <class Test> constexpr std::size_t countIf(Test test)
{
    std::size_t count = 0;
    for (const Control& control : kControls)
        count += test(control) ? 1 : 0;
    return count;
}

// Each control of each array once: no two rows name the same control, none
// names one past the array's end, and there are as many rows as the arrays
// hold controls.
constexpr bool holdsEveryControlOnce()
{
    std::size_t expected = 0;
    for (const ControlArray array : {Frame1, Check1, Command1, List1, Label1, Text1})
        expected += static_cast<std::size_t>(arrayLength(array));
    for (const Control& control : kControls) {
        const ControlId id = control.id;
        if (id.index < 0 || id.index >= arrayLength(id.array))
            return false;
        if (countIf([id](const Control& other) { return other.id == id; }) != 1)
            return false;
    }
    return kControls.size() == expected;
}
static_assert(holdsEveryControlOnce(), "the table must list every control of every array exactly once");

// A control array holds one kind of control, as the front ends file them.
constexpr bool arraysHoldOneKind()
{
    for (const Control& control : kControls) {
        const auto otherKindInArray = [&control](const Control& other) {
            return other.id.array == control.id.array && other.kind() != control.kind();
        };
        if (countIf(otherKindInArray) != 0)
            return false;
    }
    return true;
}
static_assert(arraysHoldOneKind(), "every control of an array must have a role of the same kind");

// Tab places number the controls from 0 without a gap, each once, so that
// the focus order below can be read off them.
constexpr bool tabPlacesNumberTheControls()
{
    for (std::size_t place = 0; place < kControls.size(); ++place) {
        if (countIf([place](const Control& c) { return c.tabPlace == static_cast<int>(place); }) != 1)
            return false;
    }
    return true;
}
static_assert(tabPlacesNumberTheControls(), "tab places must number the controls 0, 1, 2, ... each once");

// A control sits in a bank's frame that the window has built before it.
constexpr bool parentsComeFirst()
{
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const std::optional<ControlId> parent = kControls[i].parent;
        bool found = !parent;
        for (std::size_t j = 0; j < i && !found; ++j)
            found = kControls[j].id == *parent && kControls[j].role == Bank;
        if (!found)
            return false;
    }
    return true;
}
static_assert(parentsComeFirst(), "a control's frame must be a bank listed before it");

// The labels the rules write show values; every other label is fixed text.
constexpr bool valuesAreWhatTheRulesWrite()
{
    for (const Control& control : kControls) {
        const bool written = control.id == ControlId{Label1, kMoveCountLabel}
                             || control.id == ControlId{Label1, kDirectionLabel};
        if ((control.role == Value) != written)
            return false;
    }
    return true;
}
static_assert(valuesAreWhatTheRulesWrite(), "exactly the labels the rules write must have the value role");

// Labels and frames never take the focus, nor a control the window hides.
constexpr bool takesFocus(const Control& control)
{
    return control.shown && control.kind() != Label && control.kind() != Frame;
}

constexpr auto kFocusOrder = [] {
    std::array<const Control*, countIf(takesFocus)> order{};
    std::size_t next = 0;
    for (std::size_t place = 0; place < kControls.size(); ++place) {
        for (const Control& control : kControls) {
            if (control.tabPlace == static_cast<int>(place) && takesFocus(control))
                order[next++] = &control;
        }
    }
    return order;
}();
static_assert(!kFocusOrder.empty(), "the window needs a control to take the focus");

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
    static constexpr Window kWindow{CROSSING_SITE_ADDRESS,
                                    "Философия - Логика, задача за транспорт",
                                    {0, 0, 7305, 6000},
                                    kWindowColour,
                                    {"Times New Roman", "Liberation Serif", 12}};
    return kWindow;
}

std::string fullTitle(const Window& window)
{
    return std::string(window.siteAddress) + "  " + std::string(window.programTitle);
}

std::span<const Control> controls() { return kControls; }

std::span<const Control* const> focusOrder() { return kFocusOrder; }

const Control& firstFocus() { return *kFocusOrder.front(); }

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
    if (c.role == Seat && caption.empty())
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

} // namespace crossing::form
