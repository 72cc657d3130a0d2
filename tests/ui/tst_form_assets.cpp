// The window's fixed texts and its icon, checked against the rules they must
// keep rather than against copies of themselves.
#include "crossing_form.h"
#include "form_description.h"

#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

using crossing::form::ControlArray;

QString textOf(ControlArray array, int index)
{
    return QString::fromUtf8(crossing::form::control(array, crossing::Int16(index)).text);
}

// A CR or LF alone would show as no line break at all in one toolkit and as
// one in another.
bool onlyCrLfLineEnds(const QString& text)
{
    return !text.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n")));
}

QStringList crlfLines(const QString& text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class FormAssetsTest : public QObject {
    Q_OBJECT
private slots:
    void statementFollowsOutline();
    void aphorismKeepsItsLineEnds();
    void iconIsPalettedWithMask();
};

void FormAssetsTest::statementFollowsOutline()
{
    const QString text = textOf(ControlArray::Text1, 0);
    const QString titleLabel = textOf(ControlArray::Label1, 0);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QVERIFY(onlyCrLfLineEnds(text));

    const QStringList lines = crlfLines(text);
    QCOMPARE(lines.size(), 13);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const bool indented = i >= 1 && i <= 5; // lines 2 to 6
        const QString where = QStringLiteral("line %1").arg(i + 1);
        QVERIFY2(!line.trimmed().isEmpty(), qPrintable(where));
        QVERIFY2(line.startsWith(QStringLiteral("   ")) == indented, qPrintable(where));
        QVERIFY2(!indented || !line.at(3).isSpace(), qPrintable(where));
    }
    QVERIFY(lines[0].endsWith(QStringLiteral(" .")));
    QCOMPARE(lines[9], QStringLiteral("Тема на проекта: ") + titleLabel);
    QVERIFY(titleLabel.contains(QStringLiteral("-  ")));
}

void FormAssetsTest::aphorismKeepsItsLineEnds()
{
    const QString text = textOf(ControlArray::Text1, 1);
    QCOMPARE(text.count(QStringLiteral("\r\n")), 3);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QVERIFY(onlyCrLfLineEnds(text));
    const QStringList lines = crlfLines(text);
    for (const QString& line : lines)
        QVERIFY2(line.endsWith(u' ') && !line.endsWith(QStringLiteral("  ")), qPrintable(line));
    // One whole sentence across the lines: none lost at either end.
    QVERIFY(lines.first().at(0).isUpper());
    QVERIFY(lines.last().trimmed().endsWith(u'.'));
}

// The window's icon is the picture drawn for it: 32 x 32, no more than 256
// colours (the XPM's palette), and a mask that lets the background through
// around the hamburger but not across it.
void FormAssetsTest::iconIsPalettedWithMask()
{
    const QImage icon =
        crossing::programIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    int transparent = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            QVERIFY2(qAlpha(pixel) == 0 || qAlpha(pixel) == 255,
                     qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            if (qAlpha(pixel) == 0)
                ++transparent;
            else
                colours.insert(pixel);
        }
    }
    QVERIFY(colours.size() <= 256);
    QVERIFY(transparent > 0 && transparent < 32 * 32);
    QCOMPARE(qAlpha(icon.pixel(16, 16)), 255);
}

QTEST_MAIN(FormAssetsTest)
#include "tst_form_assets.moc"
