// The few things the page does to its document, by element id. The form is
// inserted once as markup built from the window's description; after that the
// rules read and write single elements through these calls. The JavaScript
// behind them only touches the DOM.
#pragma once

#include <string>
#include <string_view>

namespace crossing::web::dom {

// Appends the markup to the document's body.
void appendToBody(std::string_view markup);

void setAttribute(std::string_view id, std::string_view name, std::string_view value);

// The element's text content.
[[nodiscard]] std::string text(std::string_view id);
void setText(std::string_view id, std::string_view text);

// A check box's tick, and a fieldset's disabled state.
[[nodiscard]] bool checked(std::string_view id);
void setChecked(std::string_view id, bool checked);
void setDisabled(std::string_view id, bool disabled);

// The entries of a list box (a select element).
[[nodiscard]] int optionCount(std::string_view id);
void appendOption(std::string_view id, std::string_view text);
void removeFirstOption(std::string_view id);
void removeAllOptions(std::string_view id);

// A click on the element calls crossing_command(index); Enter on it does
// nothing, as the window has no default button.
void listenForCommand(std::string_view id, int index);

void setDocumentTitle(std::string_view title);

// Tells whoever is timing the page that the first move can now be made.
void markReady();

} // namespace crossing::web::dom
