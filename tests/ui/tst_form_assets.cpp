// The window's fixed texts and its icon, checked against the rules they must
// keep rather than against copies of themselves.
#include "crossing_form.h"
#include "form_texts.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

namespace {

QStringList crlfLines(const QString& text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

quint16 le16(const QByteArray& bytes, int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }
quint32 le32(const QByteArray& bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

} // namespace

class FormAssetsTest : public QObject {
    Q_OBJECT
private slots:
    void statementFollowsOutline();
    void aphorismKeepsItsLineEnds();
    void iconIsEightBitWithMask();
};

void FormAssetsTest::statementFollowsOutline()
{
    const QString text = crossing::statementText();
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))));

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
    QCOMPARE(lines[9], QStringLiteral("Тема на проекта: ") + crossing::titleLabelText());
    QVERIFY(crossing::titleLabelText().contains(QStringLiteral("-  ")));
}

void FormAssetsTest::aphorismKeepsItsLineEnds()
{
    const QString text = crossing::aphorismText();
    QCOMPARE(text.size(), 118);
    QCOMPARE(text.count(QStringLiteral("\r\n")), 3);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    for (const QString& line : crlfLines(text))
        QVERIFY2(line.endsWith(u' ') && !line.endsWith(QStringLiteral("  ")), qPrintable(line));
}

// The bytes must say what the format promises, and a decoder that knows
// nothing of our writer must see the source picture, transparency included.
void FormAssetsTest::iconIsEightBitWithMask()
{
    QFile file(QStringLiteral(":/icons/rivercrossing.ico"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    QVERIFY(ico.size() > 22 + 40);
    QCOMPARE(le16(ico, 2), quint16(1)); // an icon, not a cursor
    QCOMPARE(le16(ico, 4), quint16(1)); // one image
    QCOMPARE(quint8(ico[6]), quint8(32));
    QCOMPARE(quint8(ico[7]), quint8(32));
    QCOMPARE(le16(ico, 12), quint16(8));
    const quint32 offset = le32(ico, 18);
    QCOMPARE(offset + le32(ico, 14), quint32(ico.size()));
    const int dib = int(offset);
    QCOMPARE(le32(ico, dib + 4), quint32(32));
    QCOMPARE(le32(ico, dib + 8), quint32(64)); // colour bitmap and mask
    QCOMPARE(le16(ico, dib + 14), quint16(8));
    QCOMPARE(le32(ico, dib + 16), quint32(0)); // uncompressed
    const int paletteBytes = 256 * 4;
    const int colourBytes = 32 * 32;
    const int maskBytes = 32 * 4;
    QCOMPARE(ico.size(), dib + 40 + paletteBytes + colourBytes + maskBytes);

    QImageReader reader(&file, "ico");
    file.seek(0);
    const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
    const QImage source = QImage(QStringLiteral(CROSSING_ICON_SOURCE)).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(decoded.size(), QSize(32, 32));
    QCOMPARE(source.size(), QSize(32, 32));
    int transparent = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb want = source.pixel(x, y);
            const QRgb got = decoded.pixel(x, y);
            const QString where = QStringLiteral("pixel %1,%2").arg(x).arg(y);
            QVERIFY2((qAlpha(want) == 0) == (qAlpha(got) == 0), qPrintable(where));
            if (qAlpha(want) == 0)
                ++transparent;
            else
                QVERIFY2(qRgb(qRed(want), qGreen(want), qBlue(want))
                             == qRgb(qRed(got), qGreen(got), qBlue(got)),
                         qPrintable(where));
        }
    }
    QVERIFY(transparent > 0 && transparent < 32 * 32);

    QVERIFY(!crossing::programIcon().isNull());
}

QTEST_MAIN(FormAssetsTest)
#include "tst_form_assets.moc"
