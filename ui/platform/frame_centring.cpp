// EWMH lets a client ask for its frame's size before mapping
// (_NET_REQUEST_FRAME_EXTENTS): the manager answers by setting
// _NET_FRAME_EXTENTS on the unmapped window. The question is asked for an
// unmapped stand-in of the same kind, so that the window itself can be
// created where it stays: a window moved while still unmapped is placed by
// some managers (KWin 5.27) where it was created, and moved after. The
// window declares where its client area goes (static gravity, through
// QWidget::setGeometry), which every manager honours as it stands, whatever
// Qt itself knows of the frame.
#include "frame_centring.h"

#include <QGuiApplication>
#include <QMarginsF>
#include <QScreen>
#include <QWidget>

#if defined(CROSSING_HAVE_XCB) && QT_CONFIG(xcb)
#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QWindow>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>
#endif

namespace crossing::platform {

namespace {

// Where the client area goes so that it and the frame around it are centred
// in the screen's available area; in the window's own (device-independent)
// pixels.
void centreClient(QWidget& window, const QMarginsF& frame)
{
    const QRectF area = window.screen()->availableGeometry();
    const QSizeF framed(window.width() + frame.left() + frame.right(),
                        window.height() + frame.top() + frame.bottom());
    const QPointF frameTopLeft = area.center() - QPointF(framed.width(), framed.height()) / 2;
    window.setGeometry(QRect((frameTopLeft + QPointF(frame.left(), frame.top())).toPoint(), window.size()));
}

} // namespace

#if defined(CROSSING_HAVE_XCB) && QT_CONFIG(xcb)

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_get_property_cookie_t askProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                      xcb_atom_t type)
{
    return xcb_get_property(connection, 0, window, property, type, 0, 1024);
}

// The values of a 32-bit property; none where the window or property is
// missing (a failed request's error is dropped with its empty reply).
std::vector<uint32_t> property32(xcb_connection_t* connection, xcb_get_property_cookie_t cookie)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// The atoms this needs; each is none if no client ever named it, and so no
// manager supports it.
struct Atoms {
    xcb_atom_t request = XCB_ATOM_NONE;
    xcb_atom_t extents = XCB_ATOM_NONE;
    xcb_atom_t check = XCB_ATOM_NONE;
    xcb_atom_t supported = XCB_ATOM_NONE;
};

Atoms existingAtoms(xcb_connection_t* connection)
{
    constexpr std::array<const char*, 4> kNames{"_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS",
                                                "_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED"};
    std::array<xcb_intern_atom_cookie_t, kNames.size()> cookies{};
    for (std::size_t i = 0; i < kNames.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(kNames[i])), kNames[i]);
    std::array<xcb_atom_t, kNames.size()> atoms{};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    return {atoms[0], atoms[1], atoms[2], atoms[3]};
}

// What a live window manager on ROOT lists as supported; nothing where none
// runs. A manager that died leaves its list behind, but not its check window
// naming itself.
std::vector<uint32_t> managerSupports(xcb_connection_t* connection, xcb_window_t root, const Atoms& atoms)
{
    if (atoms.check == XCB_ATOM_NONE || atoms.supported == XCB_ATOM_NONE)
        return {};
    const auto checkCookie = askProperty(connection, root, atoms.check, XCB_ATOM_WINDOW);
    const auto supportedCookie = askProperty(connection, root, atoms.supported, XCB_ATOM_ATOM);
    const std::vector<uint32_t> checkWindow = property32(connection, checkCookie);
    std::vector<uint32_t> supported = property32(connection, supportedCookie);
    if (checkWindow.size() != 1
        || property32(connection, askProperty(connection, checkWindow[0], atoms.check, XCB_ATOM_WINDOW))
               != checkWindow)
        return {};
    return supported;
}

// _NET_FRAME_EXTENTS holds left, right, top, bottom, in device pixels.
std::optional<QMargins> frameExtents(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t extents)
{
    const std::vector<uint32_t> sides =
        property32(connection, askProperty(connection, window, extents, XCB_ATOM_CARDINAL));
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

// For a window whose frame was not told by the time it was placed: looks
// again once the window exists, just before it is mapped, and otherwise
// hears the manager set the frame on the mapped window. Centres the window
// once, unless it has been moved since it was placed, and goes.
class LateFrame final : public QObject, public QAbstractNativeEventFilter {
public:
    LateFrame(QWidget& window, xcb_connection_t* connection, xcb_atom_t extents,
              std::unique_ptr<QWindow> standIn)
        : QObject(&window), window_(window), connection_(connection), extents_(extents),
          standIn_(std::move(standIn)), placedAt_(window.geometry().topLeft())
    {
        window.installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~LateFrame() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    LateFrame(const LateFrame&) = delete;
    LateFrame& operator=(const LateFrame&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window_ && event->type() == QEvent::Show && !event->spontaneous() && standIn_) {
            centreWith(frameExtents(connection_, static_cast<xcb_window_t>(standIn_->winId()), extents_));
            standIn_.reset();
        }
        return false;
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override
    {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if (eventType != "xcb_generic_event_t" || (event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        const auto id = static_cast<xcb_window_t>(window_.internalWinId());
        if (id != 0 && change->window == id && change->atom == extents_
            && change->state == XCB_PROPERTY_NEW_VALUE)
            centreWith(frameExtents(connection_, id, extents_));
        return false; // Qt reads the new frame too
    }

private:
    void centreWith(const std::optional<QMargins>& frame)
    {
        if (!frame || done_)
            return;
        done_ = true;
        if (window_.geometry().topLeft() == placedAt_)
            centreClient(window_, QMarginsF(*frame) / window_.devicePixelRatioF());
        window_.removeEventFilter(this);
        QCoreApplication::instance()->removeNativeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
    xcb_connection_t* connection_;
    xcb_atom_t extents_;
    std::unique_ptr<QWindow> standIn_; // until the window is shown
    QPoint placedAt_;
    bool done_ = false;
};

} // namespace

struct FrameCentring::Question {
    xcb_connection_t* connection = nullptr;
    xcb_atom_t extents = XCB_ATOM_NONE;
    // Unmapped, never shown; asked about when the manager answers requests.
    std::unique_ptr<QWindow> standIn;
};

FrameCentring::FrameCentring(QWidget& window) : window_(window)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window.isWindow() || window.screen() == nullptr)
        return;
    auto standIn = std::make_unique<QWindow>(window.screen());
    standIn->setFlags(window.windowFlags());
    standIn->resize(window.size());
    // The same size hints too: a resizable window gets handles on its frame.
    standIn->setMinimumSize(window.minimumSize());
    standIn->setMaximumSize(window.maximumSize());
    const auto id = static_cast<xcb_window_t>(standIn->winId());
    const auto treeCookie = xcb_query_tree(connection, id);
    const Atoms atoms = existingAtoms(connection);
    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection, treeCookie, nullptr));
    const std::vector<uint32_t> supported =
        tree ? managerSupports(connection, tree->root, atoms) : std::vector<uint32_t>();
    const auto supports = [&supported](xcb_atom_t atom) {
        return atom != XCB_ATOM_NONE
               && std::find(supported.begin(), supported.end(), atom) != supported.end();
    };
    if (!supports(atoms.extents))
        return;
    question_ = std::make_unique<Question>(Question{connection, atoms.extents, nullptr});
    if (supports(atoms.request)) {
        requestFrameExtents(connection, tree->root, id, atoms.request);
        question_->standIn = std::move(standIn);
    }
}

FrameCentring::~FrameCentring() = default;

void FrameCentring::centre()
{
    if (!window_.isWindow() || window_.screen() == nullptr)
        return;
    std::optional<QMargins> frame;
    if (question_ && question_->standIn)
        frame = frameExtents(question_->connection, static_cast<xcb_window_t>(question_->standIn->winId()),
                             question_->extents);
    centreClient(window_, frame ? QMarginsF(*frame) / window_.devicePixelRatioF() : QMarginsF());
    if (question_ && !frame)
        new LateFrame(window_, question_->connection, question_->extents, std::move(question_->standIn));
    question_.reset();
}

#else

struct FrameCentring::Question {};

FrameCentring::FrameCentring(QWidget& window) : window_(window) {}

FrameCentring::~FrameCentring() = default;

void FrameCentring::centre()
{
    if (window_.isWindow() && window_.screen() != nullptr)
        centreClient(window_, {});
}

#endif

} // namespace crossing::platform
