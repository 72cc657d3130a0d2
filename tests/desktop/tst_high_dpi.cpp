// The window on a high-density screen: run with QT_SCALE_FACTOR set (1.5, 2)
// on the offscreen platform. The layout must grow as a whole, every control
// at the scaled place of its 96 dpi position and in its colour, texts must
// still fit their controls, and text must be drawn at the screen's density
// rather than enlarged from a low-density picture.
#include "application_look.h"
#include "crossing_form.h"
#include "form_description.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>
#include <memory>
#include <optional>

using crossing::CrossingForm;

namespace {

using crossing::form::ControlId;

// The client area in pixels at 96 dots per inch.
QSize clientArea()
{
    const crossing::form::Pixels client = crossing::form::toPixels(crossing::form::window().clientArea);
    return {client.width, client.height};
}

// A point of a control, or of the bare window, in 96 dpi window pixels.
QPoint pointIn(const std::optional<ControlId>& id, QPoint offset)
{
    const QSize client = clientArea();
    crossing::form::Pixels area{0, 0, client.width(), client.height()};
    if (id)
        area = crossing::form::windowPixels(crossing::form::control(id->array, id->index));
    return {area.x + (offset.x() >= 0 ? offset.x() : area.width + offset.x()),
            area.y + (offset.y() >= 0 ? offset.y() : area.height + offset.y())};
}

// A control's colour as described; the lists keep the system's white.
QString colourOf(const std::optional<ControlId>& id)
{
    const std::optional<crossing::form::Colour> colour =
        id ? crossing::form::control(id->array, id->index).background : crossing::form::window().background;
    return colour ? QString::fromStdString(crossing::form::hex(*colour)) : QStringLiteral("#FFFFFF");
}

// One logical pixel of the 96 dpi layout, found in a picture taken at a
// device pixel ratio: the device pixel at its centre.
QPoint devicePixel(QPoint logical, qreal ratio)
{
    return {static_cast<int>(std::floor((logical.x() + 0.5) * ratio)),
            static_cast<int>(std::floor((logical.y() + 0.5) * ratio))};
}

// Styles may shade a panel's fill by a step or two; another control's colour
// is far further off.
bool nearlyEqual(QRgb actual, QColor expected)
{
    constexpr int kShading = 4;
    return std::abs(qRed(actual) - expected.red()) <= kShading
           && std::abs(qGreen(actual) - expected.green()) <= kShading
           && std::abs(qBlue(actual) - expected.blue()) <= kShading;
}

} // namespace

class HighDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windowGrowsAsAWhole();
    void controlsKeepTheirPlaceAndColour_data();
    void controlsKeepTheirPlaceAndColour();
    void textsFitTheirControls();
    void textIsDrawnAtScreenDensity();

private:
    qreal ratio_ = 1.0;
    std::unique_ptr<CrossingForm> form_;
    QImage shot_;
};

void HighDpiTest::initTestCase()
{
    bool ok = false;
    ratio_ = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    QVERIFY2(ok && ratio_ > 1.0, "run with QT_SCALE_FACTOR above 1");
    crossing::applyApplicationLook();
    form_ = std::make_unique<CrossingForm>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const QPixmap grabbed = form_->grab();
    QCOMPARE(grabbed.devicePixelRatio(), ratio_);
    shot_ = grabbed.toImage();
}

void HighDpiTest::windowGrowsAsAWhole()
{
    QCOMPARE(form_->devicePixelRatioF(), ratio_);
    // Layout coordinates stay those of 96 dpi; the screen pixels grow.
    QCOMPARE(form_->size(), clientArea());
    QVERIFY2(std::abs(shot_.width() - clientArea().width() * ratio_) <= 1.0,
             qPrintable(QString::number(shot_.width())));
    QVERIFY2(std::abs(shot_.height() - clientArea().height() * ratio_) <= 1.0,
             qPrintable(QString::number(shot_.height())));
}

// Points of the 96 dpi layout where a control's own colour shows: clear of
// its text, tick square, bevel and border, and near its edges, so that a
// control drawn out of place or over a neighbour changes them. Offsets count
// from the control's left or top edge, or back from its right or bottom edge
// when negative.
void HighDpiTest::controlsKeepTheirPlaceAndColour_data()
{
    using enum crossing::form::ControlArray;
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("colour");
    const std::optional<ControlId> window;
    const struct {
        const char* what;
        std::optional<ControlId> control;
        QPoint offset;
    } probes[] = {
        {"window, top left", window, {2, 30}},
        {"window, between bank and buttons", window, {170, 100}},
        {"window, right of the buttons", window, {310, 60}},
        {"window, bottom left", window, {5, -4}},
        {"window, bottom right", window, {-6, -4}},
        {"title label, left end", ControlId{Label1, 0}, {3, 3}},
        {"title label, right end", ControlId{Label1, 0}, {-3, -4}},
        {"left heading", ControlId{Label1, 1}, {3, 3}},
        {"right heading", ControlId{Label1, 2}, {-3, 3}},
        {"count caption", ControlId{Label1, 3}, {3, -4}},
        {"count", ControlId{Label1, 4}, {-4, 3}},
        {"boat caption", ControlId{Label1, 5}, {3, 3}},
        {"direction, empty", ControlId{Label1, 6}, {-4, -4}},
        {"left frame, left margin", ControlId{Frame1, 0}, {4, 40}},
        {"left frame, bottom right", ControlId{Frame1, 0}, {-4, -4}},
        {"right frame, left margin", ControlId{Frame1, 1}, {4, 40}},
        {"right frame, bottom right", ControlId{Frame1, 1}, {-4, -4}},
        {"left first boy seat, right end", ControlId{Check1, 0}, {-4, 3}},
        {"left knight seat, right end", ControlId{Check1, 2}, {-4, -4}},
        {"right first boy seat, right end", ControlId{Check1, 3}, {-4, 3}},
        {"right knight seat, right end", ControlId{Check1, 5}, {-4, -4}},
        {"move button, top left", ControlId{Command1, 0}, {5, 5}},
        {"move button, bottom right", ControlId{Command1, 0}, {-6, -6}},
        {"clear button, top left", ControlId{Command1, 1}, {5, 5}},
        {"clear button, bottom right", ControlId{Command1, 1}, {-6, -6}},
        {"left knight list, bottom right", ControlId{List1, 0}, {-5, -5}},
        {"right knight list, top left", ControlId{List1, 1}, {5, 5}},
    };
    for (const auto& probe : probes)
        QTest::newRow(probe.what) << pointIn(probe.control, probe.offset) << colourOf(probe.control);
}

void HighDpiTest::controlsKeepTheirPlaceAndColour()
{
    QFETCH(QPoint, point);
    QFETCH(QString, colour);
    const QPoint pixel = devicePixel(point, ratio_);
    QVERIFY(shot_.rect().contains(pixel));
    const QRgb actual = shot_.pixel(pixel);
    QVERIFY2(
        nearlyEqual(actual, QColor(colour)),
        qPrintable(QStringLiteral("%1 at %2,%3").arg(QColor(actual).name()).arg(pixel.x()).arg(pixel.y())));
}

// Font sizes follow the screen, so a text that fits at one density could
// overrun its control at another.
void HighDpiTest::textsFitTheirControls()
{
    const CrossingForm& form = *form_;
    for (int i = 0; i < crossing::kLabelCount; ++i) {
        const QLabel* label = form.Label1(i);
        const QFontMetrics metrics = label->fontMetrics();
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width(),
                 qPrintable(label->text()));
        QVERIFY2(metrics.height() <= label->contentsRect().height(), qPrintable(label->text()));
    }
    for (int i = 0; i < crossing::kSeatCount; ++i) {
        const QCheckBox* seat = form.Check1(i);
        QStyleOptionButton option;
        option.initFrom(seat);
        option.text = seat->text();
        const QRect text = seat->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, seat);
        QVERIFY2(seat->fontMetrics().horizontalAdvance(seat->text()) <= text.width(),
                 qPrintable(seat->text()));
        QVERIFY2(seat->fontMetrics().height() <= seat->height(), qPrintable(seat->text()));
    }
    for (int i = 0; i < 2; ++i) {
        const QPushButton* button = form.Command1(i);
        constexpr int kBevels = 2 * 2;
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + kBevels <= button->width(),
                 qPrintable(button->text()));
        QVERIFY2(button->fontMetrics().height() + kBevels <= button->height(), qPrintable(button->text()));
        // A frame's caption sits in its top border, indented from both ends.
        const QGroupBox* frame = form.Frame1(i);
        constexpr int kCaptionIndents = 2 * 8;
        QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) + kCaptionIndents <= frame->width(),
                 qPrintable(frame->title()));
    }
}

// The title label's text, as painted: as tall as the font at this density,
// and with detail finer than one 96 dpi pixel. A picture drawn at 96 dpi and
// enlarged would be made of whole blocks of ratio x ratio pixels.
void HighDpiTest::textIsDrawnAtScreenDensity()
{
    const QLabel* title = form_->Label1(0);
    const QRect area(devicePixel(title->geometry().topLeft(), ratio_),
                     devicePixel(title->geometry().bottomRight(), ratio_));
    const QRgb background = shot_.pixel(area.topLeft());
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (shot_.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY2(!ink.isEmpty(), "the title is painted");
    const QRect glyphs = title->fontMetrics().tightBoundingRect(title->text());
    QVERIFY2(std::abs(ink.height() - glyphs.height() * ratio_) <= 2.0 * ratio_,
             qPrintable(QStringLiteral("ink %1 px high, font %2 px").arg(ink.height()).arg(glyphs.height())));
    QVERIFY2(std::abs(ink.width() - glyphs.width() * ratio_) <= 2.0 * ratio_,
             qPrintable(QStringLiteral("ink %1 px wide, font %2 px").arg(ink.width()).arg(glyphs.width())));

    // Count the 96 dpi pixels whose screen pixels do not all agree.
    const int step = static_cast<int>(std::ceil(ratio_));
    int inked = 0, detailed = 0;
    for (int y = ink.top(); y + step <= ink.bottom(); y += step) {
        for (int x = ink.left(); x + step <= ink.right(); x += step) {
            bool anyInk = false, mixed = false;
            for (int dy = 0; dy < step; ++dy) {
                for (int dx = 0; dx < step; ++dx) {
                    anyInk |= shot_.pixel(x + dx, y + dy) != background;
                    mixed |= shot_.pixel(x + dx, y + dy) != shot_.pixel(x, y);
                }
            }
            inked += anyInk;
            detailed += mixed;
        }
    }
    QVERIFY(inked > 0);
    QVERIFY2(detailed * 4 >= inked,
             qPrintable(QStringLiteral("%1 of %2 blocks show detail").arg(detailed).arg(inked)));
}

QTEST_MAIN(HighDpiTest)
#include "tst_high_dpi.moc"
