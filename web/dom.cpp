#include "dom.h"

#include <emscripten.h>

// Strings cross as pointer and byte count (UTF-8), so no copy is made to add
// a terminating zero. Elements are kept in Module.elements, their handle
// being the index.
// clang-format off
EM_JS(int, js_find, (const char* id, int idSize), {
    const elements = Module.elements || (Module.elements = []);
    return elements.push(document.getElementById(UTF8ToString(id, idSize))) - 1;
});

EM_JS(void, js_set_attribute, (int element, const char* name, int nameSize, const char* value, int valueSize), {
    Module.elements[element].setAttribute(UTF8ToString(name, nameSize), UTF8ToString(value, valueSize));
});

EM_JS(int, js_text_size, (int element), {
    return lengthBytesUTF8(Module.elements[element].textContent);
});

EM_JS(void, js_copy_text, (int element, char* buffer, int bufferSize), {
    stringToUTF8(Module.elements[element].textContent, buffer, bufferSize);
});

EM_JS(void, js_set_text, (int element, const char* text, int textSize), {
    Module.elements[element].textContent = UTF8ToString(text, textSize);
});

EM_JS(int, js_checked, (int element), {
    return Module.elements[element].checked ? 1 : 0;
});

EM_JS(void, js_set_checked, (int element, int checked), {
    Module.elements[element].checked = checked !== 0;
});

EM_JS(void, js_set_disabled, (int element, int disabled), {
    Module.elements[element].disabled = disabled !== 0;
});

EM_JS(int, js_option_count, (int element), {
    return Module.elements[element].options.length;
});

EM_JS(void, js_append_option, (int element, const char* text, int textSize), {
    Module.elements[element].add(new Option(UTF8ToString(text, textSize)));
});

EM_JS(void, js_remove_option, (int element, int index), {
    Module.elements[element].remove(index);
});

EM_JS(void, js_remove_all_options, (int element), {
    Module.elements[element].length = 0;
});

EM_JS(void, js_listen_for_command, (int element, int index), {
    Module.elements[element].addEventListener("click", () => _crossing_command(index));
});

EM_JS(void, js_focus_without_scrolling, (int element), {
    requestAnimationFrame(() => Module.elements[element].focus({preventScroll: true}));
});

// Measured with no height of its own, the text area's scroll height is its
// text's, padding included; its edges come on top. Setting the same height
// again changes no size, so the observer's answer ends there.
EM_JS(void, js_grow_with_text, (int element), {
    if (CSS.supports("field-sizing", "content"))
        return;
    const text = Module.elements[element];
    const fit = () => {
        text.style.setProperty("--text-height", "0px");
        text.style.setProperty("--text-height", text.scrollHeight + text.offsetHeight - text.clientHeight + "px");
    };
    const observer = new ResizeObserver(fit);
    observer.observe(text);
    observer.observe(document.documentElement);
});

EM_JS(void, js_mark_ready, (), {
    performance.mark("crossing-ready");
});
// clang-format on

namespace crossing::web::dom {

namespace {

int size(std::string_view text) { return static_cast<int>(text.size()); }

} // namespace

Element find(std::string_view id) { return js_find(id.data(), size(id)); }

void setAttribute(Element element, std::string_view name, std::string_view value)
{
    js_set_attribute(element, name.data(), size(name), value.data(), size(value));
}

std::string text(Element element)
{
    std::string content(static_cast<std::size_t>(js_text_size(element)), '\0');
    // The copy writes a terminating zero too: the string's own one is there.
    js_copy_text(element, content.data(), size(content) + 1);
    return content;
}

void setText(Element element, std::string_view text) { js_set_text(element, text.data(), size(text)); }

bool checked(Element element) { return js_checked(element) != 0; }

void setChecked(Element element, bool checked) { js_set_checked(element, checked ? 1 : 0); }

void setDisabled(Element element, bool disabled) { js_set_disabled(element, disabled ? 1 : 0); }

int optionCount(Element element) { return js_option_count(element); }

void appendOption(Element element, std::string_view text)
{
    js_append_option(element, text.data(), size(text));
}

// HTMLSelectElement.remove ignores an index past the end.
void removeFirstOption(Element element) { js_remove_option(element, 0); }

void removeAllOptions(Element element) { js_remove_all_options(element); }

void listenForCommand(Element element, int index) { js_listen_for_command(element, index); }

void focusWithoutScrolling(Element element) { js_focus_without_scrolling(element); }

void growWithText(Element element) { js_grow_with_text(element); }

void markReady() { js_mark_ready(); }

} // namespace crossing::web::dom
