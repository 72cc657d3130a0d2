#include "page.h"

#include "dom.h"
#include "element_names.h"
#include "form_description.h"

#include <emscripten.h>

namespace crossing::web {

namespace {

using form::ControlKind;

} // namespace

Page::Page()
{
    board_.attach();
    dom::focusWithoutScrolling(dom::find(focusElementId(form::firstFocus())));
    announcer_ = dom::find(kAnnouncerId);
    for (const form::Control& control : form::controls()) {
        if (control.kind() == ControlKind::PushButton)
            dom::listenForCommand(dom::find(elementId(control.id)), control.id.index);
        else if (control.role == form::Role::Statement)
            dom::growWithText(dom::find(elementId(control.id)));
    }
    session_.OnLoad();
}

void Page::OnCommandClick(Int16 index)
{
    // A refused move changes nothing on the page and says nothing either.
    const std::string sentence = session_.OnCommandClick(index);
    if (!sentence.empty())
        dom::setText(announcer_, sentence);
}

} // namespace crossing::web

namespace {

crossing::web::Page* thePage = nullptr;

} // namespace

// Called by the command buttons' click listeners (dom::listenForCommand).
extern "C" EMSCRIPTEN_KEEPALIVE void crossing_command(int index)
{
    if (thePage != nullptr)
        thePage->OnCommandClick(static_cast<crossing::Int16>(index));
}

int main()
{
    // Lives as long as the page: the runtime keeps running after main returns.
    static crossing::web::Page page;
    thePage = &page;
    crossing::web::dom::markReady();
    return 0;
}
