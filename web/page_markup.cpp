#include "page_markup.h"

#include "element_names.h"
#include "form_description.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace crossing::web {

namespace {

using form::ControlKind;

// Where a control's element goes among its siblings: the document's order is
// the focus order, and a frame goes where the first of its seats takes the
// focus. Controls that never take the focus are read in their tab place.
int documentPlace(const form::Control& control)
{
    if (control.role == form::Role::Bank) {
        for (const form::Control* inFocus : form::focusOrder()) {
            if (inFocus->parent == control.id)
                return inFocus->tabPlace;
        }
    }
    return control.tabPlace;
}

// The controls inside a frame, or on the form itself, in document order.
std::vector<const form::Control*> childrenOf(std::optional<form::ControlId> parent)
{
    std::vector<const form::Control*> children;
    for (const form::Control& control : form::controls()) {
        if (control.parent == parent)
            children.push_back(&control);
    }
    // Sorted by insertion: a handful of controls, in less code than std::sort.
    const auto before = [](const form::Control* a, const form::Control* b) {
        return documentPlace(*a) < documentPlace(*b);
    };
    for (auto next = children.begin(); next != children.end(); ++next)
        std::rotate(std::upper_bound(children.begin(), next, *next, before), next, std::next(next));
    return children;
}

// Markup, written with its text escaped.
class Markup {
public:
    Markup& open(std::string_view tag)
    {
        out_ += '<';
        out_ += tag;
        return *this;
    }
    Markup& attribute(std::string_view name, std::string_view value)
    {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        return text(value).raw("\"");
    }
    Markup& flag(std::string_view name) { return raw(" ").raw(name); }
    Markup& endOpen() { return raw(">"); }
    Markup& close(std::string_view tag) { return raw("</").raw(tag).raw(">"); }
    Markup& raw(std::string_view markup)
    {
        out_ += markup;
        return *this;
    }
    Markup& text(std::string_view text)
    {
        for (const char c : text) {
            switch (c) {
            case '&':
                out_ += "&amp;";
                break;
            case '<':
                out_ += "&lt;";
                break;
            case '>':
                out_ += "&gt;";
                break;
            case '"':
                out_ += "&quot;";
                break;
            default:
                out_ += c;
            }
        }
        return *this;
    }
    [[nodiscard]] const std::string& str() const { return out_; }

private:
    std::string out_;
};

// The browser's usual font size, in pixels. Places and sizes go into the
// markup as numbers of the window's pixels, which the page's style sheet
// counts as sixteenths of the font size it starts from (--pixel, 1/16 rem):
// at the usual setting the form is the window pixel for pixel, and it grows
// with a larger one.
constexpr int kPixelsPerRem = 16;

// A point is 1/72 inch, 20 twips.
constexpr int kTwipsPerPoint = 20;

// A custom property holding a number of the window's pixels.
std::string pixelProperty(std::string_view name, int pixels)
{
    return "--" + std::string(name) + ":" + std::to_string(pixels) + ";";
}

std::string placeStyle(const form::Control& control)
{
    const form::Pixels place = form::toPixels(control.place);
    std::string style = pixelProperty("left", place.x) + pixelProperty("top", place.y)
                        + pixelProperty("width", place.width) + pixelProperty("height", place.height)
                        + "z-index:" + std::to_string(control.stackPlace);
    if (control.background)
        style += ";background-color:" + form::hex(*control.background);
    return style;
}

// The font as the window asks for it, with the metric-compatible face and the
// generic family behind it.
std::string formStyle(const form::Window& window)
{
    const form::Pixels client = form::toPixels(window.clientArea);
    const int fontSize = window.font.points * kTwipsPerPoint / form::kTwipsPerPixel;
    return "--pixel:calc(1rem / " + std::to_string(kPixelsPerRem) + ");"
           + pixelProperty("width", client.width) + pixelProperty("height", client.height)
           + pixelProperty("font-size", fontSize) + "background-color:" + form::hex(window.background)
           + ";font-family:\"" + std::string(window.font.face) + "\", \""
           + std::string(window.font.substitute) + "\", serif";
}

// The form's width as a media query's length: its em is the browser's font
// size, as rem is on the page.
std::string formWidth()
{
    return "calc(" + std::to_string(form::toPixels(form::window().clientArea).width) + "em / "
           + std::to_string(kPixelsPerRem) + ")";
}

// A primary pointer as large as a fingertip.
constexpr std::string_view kFinger = "(pointer: coarse)";

// The attributes of the element that takes the control's focus: its name and
// its description (kept in a hidden element).
void accessibility(Markup& out, const form::Control& control)
{
    if (const auto name = nameAttribute(control, control.text))
        out.attribute(name->name, name->value);
    if (!form::accessibleDescription(control).empty())
        out.attribute("aria-describedby", partId(control.id, kDescriptionPart));
}

// The element covering the control's place, opened up to its content.
void openControl(Markup& out, std::string_view tag, const form::Control& control)
{
    out.open(tag).attribute("id", elementId(control.id)).attribute("class", form::kindName(control.kind()));
    out.attribute("style", placeStyle(control));
    // Hidden also keeps it from screen readers and out of the focus cycle.
    if (!control.shown)
        out.flag("hidden");
}

void appendControls(Markup& out, std::optional<form::ControlId> parent);

void appendControl(Markup& out, const form::Control& control)
{
    switch (control.kind()) {
    case ControlKind::Frame:
        // The box keeps the place and the colour; the fieldset inside draws
        // the border with the caption set into it, and locks the seats.
        openControl(out, "div", control);
        out.endOpen().open("fieldset").attribute("id", partId(control.id, kGroupPart)).endOpen();
        out.open("legend").endOpen().text(control.text).close("legend");
        appendControls(out, control.id);
        out.close("fieldset").close("div");
        break;
    case ControlKind::TickBox:
        // A click anywhere on the seat toggles it.
        openControl(out, "label", control);
        out.endOpen()
            .open("input")
            .attribute("type", "checkbox")
            .attribute("id", partId(control.id, kTickPart));
        accessibility(out, control);
        out.endOpen().open("span").attribute("id", partId(control.id, kCaptionPart)).endOpen();
        out.text(control.text).close("span").close("label");
        break;
    case ControlKind::PushButton:
        openControl(out, "button", control);
        out.attribute("type", "button");
        accessibility(out, control);
        out.endOpen().text(control.text).close("button");
        break;
    case ControlKind::ListBox:
        // More than one row: a list box rather than a drop-down.
        openControl(out, "select", control);
        out.attribute("size", "2");
        accessibility(out, control);
        out.endOpen().close("select");
        break;
    case ControlKind::Label: {
        // The count and the direction are read where they stand; what a
        // move did is told once, by the announcer.
        const std::string_view tag = control.role == form::Role::Heading ? "h1" : "div";
        openControl(out, tag, control);
        accessibility(out, control);
        out.endOpen().text(control.text).close(tag);
        break;
    }
    case ControlKind::TextBox:
        openControl(out, "textarea", control);
        out.flag("readonly");
        accessibility(out, control);
        // The parser drops one line break straight after the tag.
        out.endOpen().raw("\n").text(control.text).close("textarea");
        break;
    }
}

void appendControls(Markup& out, std::optional<form::ControlId> parent)
{
    for (const form::Control* control : childrenOf(parent))
        appendControl(out, *control);
}

} // namespace

std::string pageMarkup()
{
    Markup out;
    out.open("main").attribute("id", kFormId).attribute("style", formStyle(form::window())).endOpen();
    appendControls(out, std::nullopt);
    out.close("main");
    // Descriptions are read from elements nobody sees.
    out.open("div").flag("hidden").endOpen();
    for (const form::Control& control : form::controls()) {
        const std::string description = form::accessibleDescription(control);
        if (!description.empty()) {
            out.open("span").attribute("id", partId(control.id, kDescriptionPart)).endOpen();
            out.text(description).close("span");
        }
    }
    out.close("div");
    // Says what a move did, without taking the focus from where it is.
    out.open("div").attribute("id", kAnnouncerId).attribute("class", "announcer");
    out.attribute("aria-live", "polite").endOpen().close("div");
    return out.str();
}

std::string flowLayoutMedia() { return "(width < " + formWidth() + ") or " + std::string(kFinger); }

std::string wideTouchLayoutMedia() { return std::string(kFinger) + " and (width >= " + formWidth() + ")"; }

} // namespace crossing::web
