#include "dom.h"

#include <emscripten.h>

// Strings cross as pointer and byte count (UTF-8), so no copy is made to add
// a terminating zero. The long one, the markup, is decoded in one go rather
// than scanned for a zero first.
// clang-format off
EM_JS(void, js_append_to_body, (const char* markup, int markupSize), {
    document.body.insertAdjacentHTML("beforeend", new TextDecoder().decode(HEAPU8.subarray(markup, markup + markupSize)));
});

EM_JS(void, js_set_attribute, (const char* id, int idSize, const char* name, int nameSize, const char* value, int valueSize), {
    document.getElementById(UTF8ToString(id, idSize)).setAttribute(UTF8ToString(name, nameSize), UTF8ToString(value, valueSize));
});

EM_JS(int, js_text_size, (const char* id, int idSize), {
    return lengthBytesUTF8(document.getElementById(UTF8ToString(id, idSize)).textContent);
});

EM_JS(void, js_copy_text, (const char* id, int idSize, char* buffer, int bufferSize), {
    stringToUTF8(document.getElementById(UTF8ToString(id, idSize)).textContent, buffer, bufferSize);
});

EM_JS(void, js_set_text, (const char* id, int idSize, const char* text, int textSize), {
    document.getElementById(UTF8ToString(id, idSize)).textContent = UTF8ToString(text, textSize);
});

EM_JS(int, js_checked, (const char* id, int idSize), {
    return document.getElementById(UTF8ToString(id, idSize)).checked ? 1 : 0;
});

EM_JS(void, js_set_checked, (const char* id, int idSize, int checked), {
    document.getElementById(UTF8ToString(id, idSize)).checked = checked !== 0;
});

EM_JS(void, js_set_disabled, (const char* id, int idSize, int disabled), {
    document.getElementById(UTF8ToString(id, idSize)).disabled = disabled !== 0;
});

EM_JS(int, js_option_count, (const char* id, int idSize), {
    return document.getElementById(UTF8ToString(id, idSize)).options.length;
});

EM_JS(void, js_append_option, (const char* id, int idSize, const char* text, int textSize), {
    document.getElementById(UTF8ToString(id, idSize)).add(new Option(UTF8ToString(text, textSize)));
});

EM_JS(void, js_remove_option, (const char* id, int idSize, int index), {
    document.getElementById(UTF8ToString(id, idSize)).remove(index);
});

EM_JS(void, js_remove_all_options, (const char* id, int idSize), {
    document.getElementById(UTF8ToString(id, idSize)).length = 0;
});

EM_JS(void, js_listen_for_command, (const char* id, int idSize, int index), {
    const element = document.getElementById(UTF8ToString(id, idSize));
    element.addEventListener("click", () => _crossing_command(index));
    element.addEventListener("keydown", (event) => {
        if (event.key === "Enter")
            event.preventDefault();
    });
});

EM_JS(void, js_set_document_title, (const char* title, int titleSize), {
    document.title = UTF8ToString(title, titleSize);
});

EM_JS(void, js_mark_ready, (), {
    performance.mark("crossing-ready");
});
// clang-format on

namespace crossing::web::dom {

namespace {

int size(std::string_view text) { return static_cast<int>(text.size()); }

} // namespace

void appendToBody(std::string_view markup) { js_append_to_body(markup.data(), size(markup)); }

void setAttribute(std::string_view id, std::string_view name, std::string_view value)
{
    js_set_attribute(id.data(), size(id), name.data(), size(name), value.data(), size(value));
}

std::string text(std::string_view id)
{
    std::string content(static_cast<std::size_t>(js_text_size(id.data(), size(id))), '\0');
    // The copy writes a terminating zero too: the string's own one is there.
    js_copy_text(id.data(), size(id), content.data(), size(content) + 1);
    return content;
}

void setText(std::string_view id, std::string_view text)
{
    js_set_text(id.data(), size(id), text.data(), size(text));
}

bool checked(std::string_view id) { return js_checked(id.data(), size(id)) != 0; }

void setChecked(std::string_view id, bool checked) { js_set_checked(id.data(), size(id), checked ? 1 : 0); }

void setDisabled(std::string_view id, bool disabled)
{
    js_set_disabled(id.data(), size(id), disabled ? 1 : 0);
}

int optionCount(std::string_view id) { return js_option_count(id.data(), size(id)); }

void appendOption(std::string_view id, std::string_view text)
{
    js_append_option(id.data(), size(id), text.data(), size(text));
}

// HTMLSelectElement.remove ignores an index past the end.
void removeFirstOption(std::string_view id) { js_remove_option(id.data(), size(id), 0); }

void removeAllOptions(std::string_view id) { js_remove_all_options(id.data(), size(id)); }

void listenForCommand(std::string_view id, int index) { js_listen_for_command(id.data(), size(id), index); }

void setDocumentTitle(std::string_view title) { js_set_document_title(title.data(), size(title)); }

void markReady() { js_mark_ready(); }

} // namespace crossing::web::dom
