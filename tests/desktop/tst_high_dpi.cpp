// The window on a high-density screen: run with QT_SCALE_FACTOR set (1.5, 2)
// on the offscreen platform. The layout must grow as a whole, every control
// at the scaled place of its 96 dpi position and in its colour, texts must
// still fit their controls, and text must be drawn at the screen's density
// rather than enlarged from a low-density picture.
#include "crossing_form.h"

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

using crossing::CrossingForm;

namespace {

constexpr QSize kClientArea(487, 400); // pixels at 96 dots per inch

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
    QApplication::setStyle(QStringLiteral("Fusion"));
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
    QCOMPARE(form_->size(), kClientArea);
    QVERIFY2(std::abs(shot_.width() - kClientArea.width() * ratio_) <= 1.0,
             qPrintable(QString::number(shot_.width())));
    QVERIFY2(std::abs(shot_.height() - kClientArea.height() * ratio_) <= 1.0,
             qPrintable(QString::number(shot_.height())));
}

// Points of the 96 dpi layout, in window pixels, where a control's own colour
// shows: clear of its text, tick square, bevel and border, and near its edges,
// so that a control drawn out of place or over a neighbour changes them.
void HighDpiTest::controlsKeepTheirPlaceAndColour_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("colour");
    const QString window = QStringLiteral("#C0C0FF"), label = QStringLiteral("#FFC080");
    const QString white = QStringLiteral("#FFFFFF");
    const struct {
        const char* what;
        QPoint point;
        QString colour;
    } probes[] = {
        {"window, top left", {2, 30}, window},
        {"window, between bank and buttons", {170, 100}, window},
        {"window, right of the buttons", {310, 60}, window},
        {"window, bottom left", {5, 396}, window},
        {"window, bottom right", {481, 396}, window},
        {"title label, left end", {43, 3}, label},
        {"title label, right end", {430, 21}, label},
        {"left heading", {19, 147}, label},
        {"right heading", {470, 147}, label},
        {"count caption", {179, 189}, label},
        {"count", {277, 171}, label},
        {"boat caption", {179, 219}, label},
        {"direction, empty", {301, 237}, label},
        {"left frame, left margin", {20, 80}, QStringLiteral("#80FF80")},
        {"left frame, bottom right", {149, 125}, QStringLiteral("#80FF80")},
        {"right frame, left margin", {340, 80}, QStringLiteral("#80FFFF")},
        {"right frame, bottom right", {469, 125}, QStringLiteral("#80FFFF")},
        {"left first boy seat, right end", {141, 63}, QStringLiteral("#00C000")},
        {"left knight seat, right end", {141, 116}, QStringLiteral("#00C000")},
        {"right first boy seat, right end", {461, 63}, QStringLiteral("#00C0C0")},
        {"right knight seat, right end", {461, 116}, QStringLiteral("#00C0C0")},
        {"move button, top left", {197, 53}, QStringLiteral("#00FF00")},
        {"move button, bottom right", {291, 67}, QStringLiteral("#00FF00")},
        {"clear button, top left", {197, 101}, QStringLiteral("#FF0000")},
        {"clear button, bottom right", {291, 115}, QStringLiteral("#FF0000")},
        {"left knight list, bottom right", {148, 243}, white},
        {"right knight list, top left", {341, 173}, white},
    };
    for (const auto& probe : probes)
        QTest::newRow(probe.what) << probe.point << probe.colour;
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
