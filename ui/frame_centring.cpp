// A window manager places a new window's frame from the client area's
// position and the gravity Qt declares, but the frame's size is its own. EWMH
// lets a client ask for that size before mapping (_NET_REQUEST_FRAME_EXTENTS):
// the manager answers by setting _NET_FRAME_EXTENTS on the unmapped window. So
// the window is mapped once, at the place where its frame is centred, instead
// of appearing off-centre or jumping when the frame becomes known.
#include "frame_centring.h"

#include <QGuiApplication>
#include <QMarginsF>
#include <QScreen>
#include <QWidget>

#include <optional>

#if defined(CROSSING_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>
#endif

namespace crossing {

namespace {

// Where the client area goes so that it and the frame around it are centred
// in the available area; all in the window's own (device-independent) pixels.
QPoint centredClientPosition(const QRect& area, const QSize& client, const QMarginsF& frame)
{
    const QSizeF framed(client.width() + frame.left() + frame.right(),
                        client.height() + frame.top() + frame.bottom());
    const QPointF frameTopLeft = QRectF(area).center() - QPointF(framed.width(), framed.height()) / 2;
    return (frameTopLeft + QPointF(frame.left(), frame.top())).toPoint();
}

#if defined(CROSSING_HAVE_XCB) && QT_CONFIG(xcb)

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Managers answer within milliseconds, metacity under load in tens of them.
// Only a live manager that never answers costs this long before the window is
// shown, at the old place.
constexpr int kExtentsPolls = 500;
constexpr std::chrono::milliseconds kExtentsPollInterval{2};

xcb_atom_t existingAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name);
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t rootOf(xcb_connection_t* connection, xcb_window_t window)
{
    const Reply<xcb_query_tree_reply_t> reply(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

// The values of a 32-bit property; none where the window or property is
// missing (a failed request's error is dropped with its empty reply).
std::vector<uint32_t> property32(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                 xcb_atom_t type)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// Whether a window manager runs on ROOT and lists REQUEST among what it
// supports. A manager that died leaves its list behind, but not its check
// window naming itself.
bool managerSupports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t request)
{
    const xcb_atom_t check = existingAtom(connection, "_NET_SUPPORTING_WM_CHECK");
    const xcb_atom_t supported = existingAtom(connection, "_NET_SUPPORTED");
    if (check == XCB_ATOM_NONE || supported == XCB_ATOM_NONE || request == XCB_ATOM_NONE)
        return false;
    const std::vector<uint32_t> checkWindow = property32(connection, root, check, XCB_ATOM_WINDOW);
    if (checkWindow.size() != 1
        || property32(connection, checkWindow[0], check, XCB_ATOM_WINDOW) != checkWindow)
        return false;
    const std::vector<uint32_t> atoms = property32(connection, root, supported, XCB_ATOM_ATOM);
    return std::find(atoms.begin(), atoms.end(), request) != atoms.end();
}

// _NET_FRAME_EXTENTS holds left, right, top, bottom.
std::optional<QMargins> frameExtents(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t extents)
{
    const std::vector<uint32_t> sides = property32(connection, window, extents, XCB_ATOM_CARDINAL);
    if (sides.size() != 4)
        return std::nullopt;
    return QMargins(static_cast<int>(sides[0]), static_cast<int>(sides[2]), static_cast<int>(sides[1]),
                    static_cast<int>(sides[3]));
}

void requestFrameExtents(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                         xcb_atom_t request)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

// The frame the window manager will draw around WINDOW, in device pixels.
std::optional<QMargins> askFrameExtents(QWidget& window)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = rootOf(connection, id);
    const xcb_atom_t request = existingAtom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = existingAtom(connection, "_NET_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || extents == XCB_ATOM_NONE || !managerSupports(connection, root, request))
        return std::nullopt;
    requestFrameExtents(connection, root, id, request);
    for (int poll = 0; poll < kExtentsPolls; ++poll) {
        if (const auto margins = frameExtents(connection, id, extents))
            return margins;
        std::this_thread::sleep_for(kExtentsPollInterval);
    }
    return std::nullopt;
}

#else

std::optional<QMargins> askFrameExtents(QWidget& /*window*/) { return std::nullopt; }

#endif

} // namespace

bool centreWithFrameBeforeMapping(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen || !window.isWindow())
        return false;
    const std::optional<QMargins> extents = askFrameExtents(window);
    if (!extents)
        return false;
    const QMarginsF frame = QMarginsF(*extents) / window.devicePixelRatioF();
    window.move(centredClientPosition(screen->availableGeometry(), window.size(), frame));
    return true;
}

} // namespace crossing
