#include "wayland_title_bar.h"

#include "form_description.h"
#include "qt_conversions.h"

#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace crossing::platform {

namespace {

// As tall as Qt's own bar, with its icon size.
constexpr int kBarHeight = 30;
constexpr int kIconSize = 22;

class TitleBar final : public QWidget {
public:
    TitleBar(const QIcon& icon, const QString& title, QWidget* parent) : QWidget(parent)
    {
        setFixedHeight(kBarHeight);
        auto* iconLabel = new QLabel(this);
        iconLabel->setPixmap(icon.pixmap(kIconSize, kIconSize));
        auto* titleLabel = new QLabel(title, this);
        titleLabel->setAlignment(Qt::AlignCenter);
        auto* closeButton = new QToolButton(this);
        closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
        closeButton->setAutoRaise(true);
        closeButton->setFixedSize(kIconSize, kIconSize);
        closeButton->setFocusPolicy(Qt::NoFocus); // the window's own Tab order stays as it is
        closeButton->setAccessibleName(QStringLiteral("Затвори"));
        connect(closeButton, &QToolButton::clicked, this, [this] { window()->close(); });

        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(4, 0, 4, 0);
        row->addWidget(iconLabel);
        row->addWidget(titleLabel, 1);
        row->addWidget(closeButton);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && window()->windowHandle() != nullptr)
            window()->windowHandle()->startSystemMove();
    }
};

class WaylandFrame final : public QWidget {
public:
    explicit WaylandFrame(QWidget& window)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), window_(&window)
    {
        // The program's title without the site address, so that it fits the bar whole.
        setWindowTitle(toQString(form::window().programTitle));
        setWindowIcon(window.windowIcon());
        // The title in the desktop's font, as window managers draw theirs; the form keeps its own.
        setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
        QWidget* focus = window.focusWidget();

        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        column->setSizeConstraint(QLayout::SetFixedSize);
        column->addWidget(new TitleBar(windowIcon(), windowTitle(), this));
        window.setParent(this, Qt::Widget);
        column->addWidget(&window);
        if (focus != nullptr)
            focus->setFocus();
        // A compositor closes the windows it decorates on Alt+F4; this one is not among them.
        connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this), &QShortcut::activated, this,
                &QWidget::close);
    }

    ~WaylandFrame() override
    {
        if (window_ != nullptr)
            window_->setParent(nullptr, Qt::Window);
    }

    WaylandFrame(const WaylandFrame&) = delete;
    WaylandFrame& operator=(const WaylandFrame&) = delete;

private:
    QPointer<QWidget> window_;
};

// Assistive tools meet the frame as the window, named by its title, as they
// meet the frame a window manager draws; the form inside is then a pane.
QAccessibleInterface* frameAsWindow(const QString&, QObject* object)
{
    auto* frame = dynamic_cast<WaylandFrame*>(object);
    return frame != nullptr ? new QAccessibleWidget(frame, QAccessible::Window) : nullptr;
}

} // namespace

std::unique_ptr<QWidget> frameOnWayland(QWidget& window)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    QAccessible::removeFactory(frameAsWindow); // installed once however many frames there are
    QAccessible::installFactory(frameAsWindow);
    return std::make_unique<WaylandFrame>(window);
}

} // namespace crossing::platform
