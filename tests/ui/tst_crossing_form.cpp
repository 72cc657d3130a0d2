// The window as a user meets it: where each control lands, what the first
// picture holds, a whole game played with the mouse, and the keyboard.
#include "application_look.h"
#include "board_notation.h"
#include "crossing_form.h"
#include "play_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>
#include <memory>

using crossing::CrossingForm;

namespace {

// "Check1(3)" -> the form's Check1(3).
QWidget* control(const CrossingForm& form, const QString& name) { return form.findChild<QWidget*>(name); }

// Who stands on each seat, Check1(0) to Check1(5): B boy, K knight, . nobody.
QString seatsOf(const CrossingForm& form)
{
    QString seats;
    for (int i = 0; i < crossing::kSeatCount; ++i) {
        const QString caption = form.Check1(i)->text();
        seats += caption == QString::fromUtf8(crossing::kBoyCaption)      ? u'B'
                 : caption == QString::fromUtf8(crossing::kKnightCaption) ? u'K'
                 : caption.isEmpty()                                      ? u'.'
                                                                          : u'?';
    }
    return seats;
}

QString ticksOf(const CrossingForm& form)
{
    QString ticks;
    for (int i = 0; i < crossing::kSeatCount; ++i)
        ticks += form.Check1(i)->isChecked() ? u'x' : u'.';
    return ticks;
}

bool holdsOnlyKnights(const QListWidget* list)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() != u"1")
            return false;
    }
    return true;
}

// A click delivered to the window at the control's centre, so it reaches
// whatever a user's click there would reach.
void clickOn(CrossingForm& form, QWidget* target)
{
    const QPoint centre = target->mapTo(&form, target->rect().center());
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
}

// The first move of every game: both boys cross to the right bank.
void sendBothBoysOver(CrossingForm& form)
{
    clickOn(form, form.Check1(0));
    clickOn(form, form.Check1(1));
    clickOn(form, form.Command1(crossing::kMoveButton));
}

void showAndActivate(CrossingForm& form)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

bool isOrContains(const QWidget* expected, const QWidget* hit)
{
    return hit != nullptr && (hit == expected || expected->isAncestorOf(hit));
}

// Relative luminance and contrast ratio as the web's accessibility
// guidelines (WCAG 2) define them.
double luminance(QRgb colour)
{
    const auto linear = [](int channel) {
        const double value = channel / 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text painted in an area of a picture: its most common
// colour is the background, the pixel furthest from it the core of a glyph.
double textContrast(const QImage& shot, const QRect& area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[shot.pixel(x, y)];
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most)
            std::tie(background, most) = std::pair(it.key(), it.value());
    }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(it.key(), background));
    return best;
}

// A dark desktop scheme as a platform theme hands it over: light text on
// dark surfaces.
QPalette darkScheme()
{
    QPalette palette(QColor(0x35, 0x35, 0x35), QColor(0x2b, 0x2b, 0x2b));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, QColor(0xf0, 0xf0, 0xf0));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    return palette;
}

// The style as a dark desktop theme leaves it: its standard palette is the
// desktop's dark one.
class DarkThemedStyle final : public QProxyStyle {
public:
    DarkThemedStyle() : QProxyStyle(QStringLiteral("Fusion")) {}
    QPalette standardPalette() const override { return darkScheme(); }
};

} // namespace

class CrossingFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { toolkitInBulgarian_ = crossing::applyApplicationLook(); }

    void layout_data();
    void layout();
    void stacking_data();
    void stacking();
    void startState();
    void solutionByMouse();
    void seatClicks_data();
    void seatClicks();
    void statementRejectsEditing_data();
    void statementRejectsEditing();
    void statementReadsLikeText();
    void statementMenuIsBulgarianAndReadOnly();
    void enterPressesOnlyAFocusedButton_data();
    void enterPressesOnlyAFocusedButton();
    void tabCycle_data();
    void tabCycle();
    void textsReadableInAnyScheme_data();
    void textsReadableInAnyScheme();
    void spokenAfterCommand_data();
    void spokenAfterCommand();

private:
    bool toolkitInBulgarian_ = false;
};

// Written here on their own, not taken from the window's description, so a
// wrong number there shows: client-area pixels at 96 dots per inch (a seat's
// place is its frame's corner plus its offset inside it), the caption as the
// first picture shows it, and the colour painted at a point clear of text,
// bevels and borders (an offset from the control's corner; negative counts
// back from its right or bottom edge). The lists and text boxes keep the
// system's colours and the statement is checked on its own.
void CrossingFormTest::layout_data()
{
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QPoint>("probe");
    const QString boy = QStringLiteral("Момче"), knight = QStringLiteral("Рицар"), nobody;
    const QString label = QStringLiteral("#ffc080"), none;
    QTest::newRow("Frame1(0)") << QRect(16, 40, 137, 89) << "Ляв бряг"
                               << "#80ff80" << QPoint(-4, -4);
    QTest::newRow("Check1(0)") << QRect(24, 60, 121, 20) << boy << "#00c000" << QPoint(-5, 10);
    QTest::newRow("Check1(1)") << QRect(24, 80, 121, 20) << boy << "#00c000" << QPoint(-5, 10);
    QTest::newRow("Check1(2)") << QRect(24, 100, 121, 20) << knight << "#00c000" << QPoint(-5, 10);
    QTest::newRow("Frame1(1)") << QRect(336, 40, 137, 89) << "Десен бряг"
                               << "#80ffff" << QPoint(-4, -4);
    QTest::newRow("Check1(3)") << QRect(344, 60, 121, 20) << nobody << "#00c0c0" << QPoint(-5, 10);
    QTest::newRow("Check1(4)") << QRect(344, 80, 121, 20) << nobody << "#00c0c0" << QPoint(-5, 10);
    QTest::newRow("Check1(5)") << QRect(344, 100, 121, 20) << nobody << "#00c0c0" << QPoint(-5, 10);
    QTest::newRow("Command1(0)") << QRect(192, 48, 105, 25) << "Мести"
                                 << "#00ff00" << QPoint(4, 12);
    QTest::newRow("Command1(1)") << QRect(192, 96, 105, 25) << "Чисти"
                                 << "#ff0000" << QPoint(4, 12);
    QTest::newRow("List1(0)") << QRect(16, 168, 137, 80) << nobody << none << QPoint();
    QTest::newRow("List1(1)") << QRect(336, 168, 137, 80) << nobody << none << QPoint();
    QTest::newRow("Label1(0)") << QRect(40, 0, 393, 25) << "Философия -  река, рицари и момчета" << label
                               << QPoint(2, 2);
    QTest::newRow("Label1(1)") << QRect(16, 144, 137, 25) << "Рицари отляво" << label << QPoint(2, 2);
    QTest::newRow("Label1(2)") << QRect(336, 144, 137, 25) << "Рицари отдясно" << label << QPoint(2, 2);
    QTest::newRow("Label1(3)") << QRect(176, 168, 65, 25) << "Брой:" << label << QPoint(2, -3);
    QTest::newRow("Label1(4)") << QRect(240, 168, 41, 25) << "0" << label << QPoint(-3, -3);
    QTest::newRow("Label1(5)") << QRect(176, 216, 65, 25) << "Лодка:" << label << QPoint(2, -3);
    QTest::newRow("Label1(6)") << QRect(240, 216, 65, 25) << nobody << label << QPoint(-3, -3);
    QTest::newRow("Text1(0)") << QRect(16, 256, 457, 137) << QString() << none << QPoint();
    QTest::newRow("Text1(1)") << QRect(32, 320, 449, 121) << QString() << none << QPoint();
    QTest::newRow("window") << QRect(0, 0, 487, 400) << "Философия - Логика, задача за транспорт"
                            << "#c0c0ff" << QPoint(2, -4);
}

void CrossingFormTest::layout()
{
    QFETCH(QRect, expected);
    QFETCH(QString, caption);
    QFETCH(QString, colour);
    QFETCH(QPoint, probe);
    CrossingForm form;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QWidget* widget = name == u"window" ? &form : control(form, name);
    QVERIFY(widget != nullptr);
    QCOMPARE(QRect(widget->mapTo(&form, QPoint(0, 0)), widget->size()), expected);

    if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
        QCOMPARE(frame->title(), caption);
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        QCOMPARE(button->text(), caption);
    else if (const auto* label = qobject_cast<const QLabel*>(widget))
        QCOMPARE(label->text(), caption);
    else if (widget == &form) // the site address before it is the publisher's to choose
        QVERIFY2(form.windowTitle().endsWith(QStringLiteral("  ") + caption), qPrintable(form.windowTitle()));

    if (!colour.isEmpty()) {
        const QImage shot = form.grab().toImage();
        const QPoint at = expected.topLeft()
                          + QPoint(probe.x() >= 0 ? probe.x() : expected.width() + probe.x(),
                                   probe.y() >= 0 ? probe.y() : expected.height() + probe.y());
        QCOMPARE(QColor(shot.pixel(at)).name(), colour);
    }
}

// Which control a click reaches where controls touch or overlap: at a point
// of one control (an offset from its corner), the control expected on top.
void CrossingFormTest::stacking_data()
{
    QTest::addColumn<QString>("at");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QString>("expected");
    QTest::newRow("List1(0) covers its heading's last row") << "List1(0)" << QPoint(64, 0) << "List1(0)";
    QTest::newRow("List1(1) covers its heading's last row") << "List1(1)" << QPoint(64, 0) << "List1(1)";
    QTest::newRow("Label1(4) covers the count caption's edge") << "Label1(4)" << QPoint(0, 12) << "Label1(4)";
    QTest::newRow("Label1(6) covers the boat caption's edge") << "Label1(6)" << QPoint(0, 12) << "Label1(6)";
    QTest::newRow("hidden aphorism leaves the statement") << "Text1(1)" << QPoint(68, 30) << "Text1(0)";
    QTest::newRow("seat lies over its frame") << "Check1(2)" << QPoint(106, 10) << "Check1(2)";
}

void CrossingFormTest::stacking()
{
    QFETCH(QString, at);
    QFETCH(QPoint, offset);
    QFETCH(QString, expected);
    CrossingForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QWidget* place = control(form, at);
    const QPoint point = place->mapTo(&form, offset);
    const QWidget* hit = form.childAt(point);
    QVERIFY2(isOrContains(control(form, expected), hit),
             qPrintable(QStringLiteral("reached %1").arg(hit ? hit->metaObject()->className() : "nothing")));
}

void CrossingFormTest::startState()
{
    CrossingForm form;

    // The load handler has run before the window is ever shown.
    QVERIFY(!form.isVisible());
    QVERIFY(form.puzzle().BoatSide() == crossing::kLeftBank);
    QCOMPARE(seatsOf(form), QStringLiteral("BBK..."));
    QCOMPARE(ticksOf(form), QStringLiteral("......"));
    QCOMPARE(form.List1(0)->count(), 3);
    QVERIFY(holdsOnlyKnights(form.List1(0)));
    QCOMPARE(form.List1(1)->count(), 0);
    QVERIFY(form.Frame1(0)->isEnabled());
    QVERIFY(!form.Frame1(1)->isEnabled());
    QVERIFY(!form.Check1(3)->isEnabled());
    QCOMPARE(form.Label1(4)->text(), QStringLiteral("0"));
    QVERIFY(form.Label1(6)->text().isEmpty());

    // A fixed size (the layout test checks which) with a close button and no other.
    QCOMPARE(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!form.windowIcon().isNull());

    // One font for everything: 12 pt, in a face that has Cyrillic letters.
    const QFontInfo fontInfo(form.font());
    QCOMPARE(fontInfo.pointSize(), 12);
    QVERIFY(!fontInfo.bold() && !fontInfo.italic());
    QVERIFY2(QFontDatabase::writingSystems(fontInfo.family()).contains(QFontDatabase::Cyrillic),
             qPrintable(fontInfo.family()));
    for (const QWidget* child : form.findChildren<QWidget*>()) {
        QVERIFY2(!child->testAttribute(Qt::WA_SetFont), child->metaObject()->className());
        QCOMPARE(child->font(), form.font());
    }

    showAndActivate(form);
    // Centred on the screen, give or take the window frame's own margins.
    const QPoint offCentre = form.frameGeometry().center() - form.screen()->availableGeometry().center();
    const QRect frame = form.frameGeometry();
    const int frameMargin = qMax(form.geometry().top() - frame.top(), form.geometry().left() - frame.left());
    QVERIFY2(qAbs(offCentre.x()) <= frameMargin + 1 && qAbs(offCentre.y()) <= frameMargin + 1,
             qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    QVERIFY(!form.Text1(1)->isVisible());
    QCOMPARE(QApplication::focusWidget(), form.Text1(0));
}

// Both boys over, the first boy back, a knight over, the second boy back:
// three times, the third ending with the knight, 11 moves in all.
void CrossingFormTest::solutionByMouse()
{
    struct Move {
        std::vector<int> seats;
        const char* seatsAfter;
        int knightsLeft;
        bool leftOpen, rightOpen;
    };
    const std::vector<Move> moves{
        {{0, 1}, "..KBB.", 3, false, true}, {{3}, "B.K.B.", 3, true, false},
        {{2}, "B.K.BK", 2, false, true},    {{4}, "BBK..K", 2, true, false},
        {{0, 1}, "..KBBK", 2, false, true}, {{3}, "B.K.BK", 2, true, false},
        {{2}, "B.K.BK", 1, false, true},    {{4}, "BBK..K", 1, true, false},
        {{0, 1}, "..KBBK", 1, false, true}, {{3}, "B.K.BK", 1, true, false},
        {{2}, "B...BK", 0, false, false},
    };
    CrossingForm form;
    showAndActivate(form);

    for (std::size_t n = 0; n < moves.size(); ++n) {
        const Move& move = moves[n];
        for (int seat : move.seats)
            clickOn(form, form.Check1(seat));
        clickOn(form, form.Command1(crossing::kMoveButton));

        const QByteArray whereText = "after move " + QByteArray::number(int(n) + 1);
        const char* where = whereText.constData();
        const bool boatRight = n % 2 == 0;
        QVERIFY2(seatsOf(form) == QLatin1String(move.seatsAfter), where);
        QVERIFY2(ticksOf(form) == u"......", where);
        QVERIFY2(form.List1(0)->count() == move.knightsLeft, where);
        QVERIFY2(form.List1(1)->count() == 3 - move.knightsLeft, where);
        QVERIFY2(holdsOnlyKnights(form.List1(0)) && holdsOnlyKnights(form.List1(1)), where);
        QVERIFY2(form.Frame1(0)->isEnabled() == move.leftOpen, where);
        QVERIFY2(form.Frame1(1)->isEnabled() == move.rightOpen, where);
        QVERIFY2(form.Label1(4)->text() == QString::number(n + 1), where);
        QVERIFY2(form.Label1(6)->text()
                     == QString::fromUtf8(boatRight ? crossing::kToTheRight : crossing::kToTheLeft),
                 where);
    }

    // Locked: Move does nothing more; Clear starts again with the left bank open.
    clickOn(form, form.Command1(crossing::kMoveButton));
    QCOMPARE(form.Label1(4)->text(), QStringLiteral("11"));
    clickOn(form, form.Command1(crossing::kClearButton));
    QCOMPARE(seatsOf(form), QStringLiteral("BBK..."));
    QCOMPARE(form.List1(0)->count(), 3);
    QVERIFY(form.Frame1(0)->isEnabled());
    QVERIFY(!form.Frame1(1)->isEnabled());
    QCOMPARE(form.Label1(4)->text(), QStringLiteral("0"));
}

// A seat answers a click only while its frame is enabled; an empty seat is
// still a tick box, and a click anywhere on it counts.
void CrossingFormTest::seatClicks_data()
{
    QTest::addColumn<bool>("boysCrossFirst");
    QTest::addColumn<int>("seat");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("right boy seat, boat left") << false << 3 << false;
    QTest::newRow("right knight seat, boat left") << false << 5 << false;
    QTest::newRow("left boy seat, boat right") << true << 1 << false;
    QTest::newRow("left knight seat, boat right") << true << 2 << false;
    QTest::newRow("empty right knight seat, boat right") << true << 5 << true;
}

void CrossingFormTest::seatClicks()
{
    QFETCH(bool, boysCrossFirst);
    QFETCH(int, seat);
    QFETCH(bool, toggles);
    CrossingForm form;
    showAndActivate(form);
    if (boysCrossFirst) {
        sendBothBoysOver(form);
        QCOMPARE(form.Label1(4)->text(), QStringLiteral("1"));
    }
    QString expected = ticksOf(form);
    if (toggles)
        expected[seat] = u'x';
    clickOn(form, form.Check1(seat));
    QCOMPARE(ticksOf(form), expected);
    QCOMPARE(QApplication::focusWidget() == form.Check1(seat), toggles);
}

void CrossingFormTest::statementRejectsEditing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("letters") << QStringLiteral("абв xyz") << QKeySequence();
    QTest::newRow("backspace") << QString() << QKeySequence(Qt::Key_Backspace);
    QTest::newRow("delete") << QString() << QKeySequence(Qt::Key_Delete);
    QTest::newRow("enter") << QString() << QKeySequence(Qt::Key_Return);
    QTest::newRow("tab inserts nothing") << QString() << QKeySequence(Qt::Key_Tab);
    QTest::newRow("paste") << QString() << QKeySequence(QKeySequence::Paste);
    QTest::newRow("cut everything") << QString() << QKeySequence(QKeySequence::Cut);
}

void CrossingFormTest::statementRejectsEditing()
{
    QFETCH(QString, typed);
    QFETCH(QKeySequence, keys);
    CrossingForm form;
    showAndActivate(form);
    QPlainTextEdit* statement = form.Text1(0);
    const QString before = statement->toPlainText();
    QApplication::clipboard()->setText(QStringLiteral("вмъкнат текст"));

    statement->setFocus();
    QTest::keySequence(statement, QKeySequence(QKeySequence::SelectAll));
    for (const QChar letter : typed)
        QTest::sendKeyEvent(QTest::Click, statement, Qt::Key_unknown, QString(letter), Qt::NoModifier);
    if (!keys.isEmpty())
        QTest::keySequence(statement, keys);

    QCOMPARE(statement->toPlainText(), before);
    QVERIFY(!statement->document()->isModified());
}

void CrossingFormTest::statementReadsLikeText()
{
    CrossingForm form;
    showAndActivate(form);
    QPlainTextEdit* statement = form.Text1(0);

    // Thirteen lines, no blank ones: each CR LF is one line break.
    const QStringList lines = statement->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 14);
    QVERIFY(lines.last().isEmpty());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        QVERIFY2(!lines[i].trimmed().isEmpty() && !lines[i].contains(u'\r'),
                 qPrintable(QString::number(i + 1)));

    // Wrapped to the box: scrolls down, never sideways.
    QCOMPARE(statement->horizontalScrollBar()->maximum(), 0);
    QVERIFY(statement->verticalScrollBar()->isVisible());
    QVERIFY(statement->verticalScrollBar()->maximum() > 0);

    // The caret moves, the text selects, copies, and scrolls into view.
    QCOMPARE(statement->textCursor().position(), 0);
    QTest::keySequence(statement, QKeySequence(QKeySequence::MoveToEndOfDocument));
    QCOMPARE(statement->textCursor().position(), statement->document()->characterCount() - 1);
    QVERIFY(statement->verticalScrollBar()->value() > 0);
    QVERIFY(statement->viewport()->rect().contains(statement->cursorRect()));
    QTest::keySequence(statement, QKeySequence(QKeySequence::SelectAll));
    QTest::keySequence(statement, QKeySequence(QKeySequence::Copy));
    QCOMPARE(QApplication::clipboard()->text(), statement->toPlainText());
}

// The statement's context menu speaks Bulgarian, as the rest of the window
// does, and offers nothing that would change the text.
void CrossingFormTest::statementMenuIsBulgarianAndReadOnly()
{
    QVERIFY2(toolkitInBulgarian_,
             "Qt's Bulgarian translation (qtbase_bg.qm, Debian: qt6-translations-l10n) is not installed");
    CrossingForm form;
    const std::unique_ptr<QMenu> menu(form.Text1(0)->createStandardContextMenu());
    QStringList offered;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        offered << action->objectName();
        QVERIFY2(action->text().contains(QRegularExpression(QStringLiteral("\\p{Cyrillic}"))),
                 qPrintable(action->text()));
    }
    QCOMPARE(offered, (QStringList{QStringLiteral("edit-copy"), QStringLiteral("select-all")}));
}

// Enter presses the button that has the focus, as Space does; no button is
// the default one, so Enter anywhere else presses nothing, and Escape never
// presses anything.
void CrossingFormTest::enterPressesOnlyAFocusedButton_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("pressed"); // the index of the button pressed, or -1
    for (const char* name : {"Text1(0)", "Check1(0)", "List1(0)"}) {
        QTest::addRow("%s Return", name) << QString::fromLatin1(name) << int(Qt::Key_Return) << -1;
        QTest::addRow("%s Enter", name) << QString::fromLatin1(name) << int(Qt::Key_Enter) << -1;
        QTest::addRow("%s Escape", name) << QString::fromLatin1(name) << int(Qt::Key_Escape) << -1;
    }
    for (const int button : {crossing::kMoveButton, crossing::kClearButton}) {
        const QString name = QStringLiteral("Command1(%1)").arg(button);
        QTest::addRow("%s Return", qPrintable(name)) << name << int(Qt::Key_Return) << button;
        QTest::addRow("%s Enter", qPrintable(name)) << name << int(Qt::Key_Enter) << button;
        QTest::addRow("%s Escape", qPrintable(name)) << name << int(Qt::Key_Escape) << -1;
    }
}

void CrossingFormTest::enterPressesOnlyAFocusedButton()
{
    QFETCH(QString, focused);
    QFETCH(int, key);
    QFETCH(int, pressed);
    CrossingForm form;
    showAndActivate(form);
    // Ticks that a press of Move would carry over.
    form.Check1(0)->setChecked(true);
    form.Check1(1)->setChecked(true);
    QSignalSpy moves(form.Command1(crossing::kMoveButton), &QPushButton::clicked);
    QSignalSpy clears(form.Command1(crossing::kClearButton), &QPushButton::clicked);

    QWidget* widget = control(form, focused);
    widget->setFocus();
    QCOMPARE(QApplication::focusWidget(), widget);
    // Enter is the keypad's key, Return the main one.
    QTest::keyClick(widget, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);

    const bool moved = pressed == crossing::kMoveButton;
    QCOMPARE(moves.count(), moved ? 1 : 0);
    QCOMPARE(clears.count(), pressed == crossing::kClearButton ? 1 : 0);
    QCOMPARE(form.Label1(4)->text(), moved ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(seatsOf(form), moved ? QStringLiteral("..KBB.") : QStringLiteral("BBK..."));
    QVERIFY(form.isVisible());
}

void CrossingFormTest::tabCycle_data()
{
    QTest::addColumn<bool>("boysCrossFirst");
    QTest::addColumn<QStringList>("cycle");
    QTest::newRow("boat left: right seats skipped")
        << false << QStringList{"Command1(1)", "Check1(0)", "Check1(1)", "Check1(2)",
                                "Command1(0)", "List1(0)",  "List1(1)",  "Text1(0)"};
    QTest::newRow("boat right: left seats skipped")
        << true << QStringList{"Command1(1)", "Check1(3)", "Check1(4)", "Check1(5)",
                               "Command1(0)", "List1(0)",  "List1(1)",  "Text1(0)"};
}

void CrossingFormTest::tabCycle()
{
    QFETCH(bool, boysCrossFirst);
    QFETCH(QStringList, cycle);
    CrossingForm form;
    showAndActivate(form);
    if (boysCrossFirst) {
        sendBothBoysOver(form);
        QVERIFY(form.Frame1(1)->isEnabled());
    }
    form.Text1(0)->setFocus();
    for (const QString& next : cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() == control(form, next), qPrintable(next));
    }
}

// Whatever the desktop's colour scheme, every text a player reads keeps at
// least the 4.5 : 1 contrast of the accessibility guidelines against the
// fixed colours it stands on. Measured from a picture of the window, in the
// part of each control where only its text is drawn. Disabled controls (the
// right bank at the start) are greyed on purpose and not measured.
void CrossingFormTest::textsReadableInAnyScheme_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light scheme") << false;
    QTest::newRow("dark scheme") << true;
}

void CrossingFormTest::textsReadableInAnyScheme()
{
    QFETCH(bool, dark);
    if (dark) {
        QApplication::setStyle(new DarkThemedStyle);
        QApplication::setPalette(darkScheme());
    }
    CrossingForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage shot = form.grab().toImage();
    crossing::applyApplicationLook();
    QApplication::setPalette(QApplication::style()->standardPalette());

    const auto inWindow = [&form](const QWidget* widget, const QRect& area) {
        return QRect(widget->mapTo(&form, area.topLeft()), area.size());
    };
    std::vector<std::pair<QString, QRect>> texts;
    for (int i = 0; i < crossing::kLabelCount; ++i) {
        if (!form.Label1(i)->text().isEmpty())
            texts.emplace_back(form.Label1(i)->objectName(),
                               inWindow(form.Label1(i), form.Label1(i)->rect()));
    }
    const QGroupBox* leftBank = form.Frame1(crossing::kLeftBank);
    const QRect caption(0, 0, leftBank->width(), leftBank->fontMetrics().height());
    texts.emplace_back(leftBank->objectName(), inWindow(leftBank, caption));
    for (int seat = 0; seat < crossing::kSeatsPerBank; ++seat) {
        const QCheckBox* box = form.Check1(seat);
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect label = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        texts.emplace_back(box->objectName(), inWindow(box, label));
    }
    for (const QPushButton* button : {form.Command1(0), form.Command1(1)})
        texts.emplace_back(button->objectName(), inWindow(button, button->rect().adjusted(3, 3, -3, -3)));
    const QWidget* list = form.List1(crossing::kLeftBank)->viewport();
    texts.emplace_back(QStringLiteral("List1(0)"), inWindow(list, list->rect()));
    const QWidget* statement = form.Text1(0)->viewport();
    texts.emplace_back(QStringLiteral("Text1(0)"), inWindow(statement, statement->rect()));

    for (const auto& [name, area] : texts) {
        const double ratio = textContrast(shot, area);
        QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2 : 1").arg(name).arg(ratio, 0, 'f', 2)));
    }
}

// What a screen reader is told after a command. The accessibility test plays
// the solution; these are the cases it does not reach, and one of each
// sentence it does. A session plays the script from the start, the count
// preset if asked, and what it answers to the script's last command is
// what is said.
void CrossingFormTest::spokenAfterCommand_data()
{
    QTest::addColumn<int>("presetCount");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("spoken");
    const int none = -1;
    QTest::newRow("a boy over") << none << "0M" << QStringLiteral("Ход 1, лодката премина вдясно.");
    QTest::newRow("and back") << none << "0M 3M" << QStringLiteral("Ход 2, лодката премина вляво.");
    QTest::newRow("the last knight over")
        << none << "01M 3M 2M 4M 01M 3M 2M 4M 01M 3M 2M"
        << QStringLiteral("Ход 11, лодката премина вдясно. Всички рицари са на десния бряг. "
                          "Резултатът е 11 хода.");
    QTest::newRow("refused: a boy with the knight") << none << "02M" << QString();
    QTest::newRow("refused: nobody aboard") << 5 << "M" << QString();
    QTest::newRow("refused: locked") << none << "01M 3M 2M 4M 01M 3M 2M 4M 01M 3M 2M M" << QString();
    QTest::newRow("the count stands at its ceiling, the boat still crosses")
        << 32767 << "01M" << QStringLiteral("Ход 32767, лодката премина вдясно.");
    QTest::newRow("Clear, even with nothing to undo")
        << none << "C" << QStringLiteral("Задачата започва отначало. Всички са на левия бряг.");
}

void CrossingFormTest::spokenAfterCommand()
{
    QFETCH(int, presetCount);
    QFETCH(QString, script);
    QFETCH(QString, spoken);
    using crossing::testing::Action;
    crossing::MemoryBoard board;
    crossing::form::PlaySession session(board);
    session.OnLoad();
    if (presetCount >= 0)
        session.puzzle().presetMoveCount(static_cast<crossing::Int16>(presetCount));
    std::string said = "(no command)";
    for (const Action& action : crossing::testing::actionsOf(script.toStdString())) {
        if (action.kind == Action::Kind::Click)
            board.clickSeat(static_cast<crossing::Int16>(action.value));
        else
            said = session.OnCommandClick(action.kind == Action::Kind::Clear ? crossing::kClearButton
                                                                             : crossing::kMoveButton);
    }
    QCOMPARE(QString::fromStdString(said), spoken);
}

QTEST_MAIN(CrossingFormTest)
#include "tst_crossing_form.moc"
