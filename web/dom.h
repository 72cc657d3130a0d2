// The few things the page does to its document. The form is in the page as
// markup written from the window's description when the page is built; the
// rules read and write single elements, found once by id and then addressed
// by a handle, so that a move costs no search and no decoding of names. The
// JavaScript behind these calls only touches the DOM.
#pragma once

#include <string>
#include <string_view>

namespace crossing::web::dom {

// An element of the page, as found by find().
using Element = int;

// The element with the id; it must be in the document.
[[nodiscard]] Element find(std::string_view id);

void setAttribute(Element element, std::string_view name, std::string_view value);

// The element's text content.
[[nodiscard]] std::string text(Element element);
void setText(Element element, std::string_view text);

// A check box's tick, and a fieldset's disabled state.
[[nodiscard]] bool checked(Element element);
void setChecked(Element element, bool checked);
void setDisabled(Element element, bool disabled);

// The entries of a list box (a select element).
[[nodiscard]] int optionCount(Element element);
void appendOption(Element element, std::string_view text);
void removeFirstOption(Element element);
void removeAllOptions(Element element);

// A click on the element calls crossing_command(index). A button clicks
// itself on Enter and Space while it has the focus; no button is the
// default, so Enter elsewhere presses nothing.
void listenForCommand(Element element, int index);

// Moves the focus to the element without scrolling it into view: the page
// opens at its top, wherever the element lies on a small screen. It happens
// with the browser's next frame, which lays the page out anyway: focusing at
// once would make the browser lay it out early, for the focus alone, and hold
// up the start by several milliseconds.
void focusWithoutScrolling(Element element);

// Where the layout lets a text area grow with its text and the browser cannot
// size it to its content by itself (CSS field-sizing), keeps its height that
// of its text as the width and the font size change. The layout reads the
// height as --text-height.
void growWithText(Element element);

// Tells whoever is timing the page that the first move can now be made.
void markReady();

} // namespace crossing::web::dom
