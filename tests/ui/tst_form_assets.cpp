// The window's fixed texts and its icon, checked against the rules they must
// keep rather than against copies of themselves.
#include "crossing_form.h"
#include "form_description.h"

#include <QDataStream>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTest>

namespace {

using crossing::form::ControlArray;

QString textOf(ControlArray array, int index)
{
    return QString::fromUtf8(crossing::form::control(array, crossing::Int16(index)).text);
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
    void iconIsEightBitWithMask();
};

void FormAssetsTest::statementFollowsOutline()
{
    const QString text = textOf(ControlArray::Text1, 0);
    const QString titleLabel = textOf(ControlArray::Label1, 0);
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
    QCOMPARE(lines[9], QStringLiteral("Тема на проекта: ") + titleLabel);
    QVERIFY(titleLabel.contains(QStringLiteral("-  ")));
}

void FormAssetsTest::aphorismKeepsItsLineEnds()
{
    const QString text = textOf(ControlArray::Text1, 1);
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
    const qint64 fileSize = file.size();
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);

    quint16 reserved = 0, type = 0, count = 0, planes = 0, bitCount = 0;
    quint8 width = 0, height = 0, colourCount = 0, entryReserved = 0;
    quint32 imageSize = 0, imageOffset = 0;
    in >> reserved >> type >> count >> width >> height >> colourCount >> entryReserved >> planes >> bitCount
        >> imageSize >> imageOffset;
    QCOMPARE(type, quint16(1)); // an icon, not a cursor
    QCOMPARE(count, quint16(1));
    QCOMPARE(width, quint8(32));
    QCOMPARE(height, quint8(32));
    QCOMPARE(colourCount, quint8(0)); // 256 colours
    QCOMPARE(bitCount, quint16(8));
    QCOMPARE(qint64(imageOffset) + imageSize, fileSize);

    QVERIFY(file.seek(imageOffset));
    quint32 headerSize = 0, compression = 0;
    qint32 dibWidth = 0, dibHeight = 0;
    quint16 dibPlanes = 0, dibBitCount = 0;
    in >> headerSize >> dibWidth >> dibHeight >> dibPlanes >> dibBitCount >> compression;
    QCOMPARE(in.status(), QDataStream::Ok);
    QCOMPARE(dibWidth, 32);
    QCOMPARE(dibHeight, 64); // colour bitmap and mask
    QCOMPARE(dibBitCount, quint16(8));
    QCOMPARE(compression, quint32(0));
    const quint32 paletteBytes = 256 * 4, colourBytes = 32 * 32, maskBytes = 32 * 4;
    QCOMPARE(imageSize, headerSize + paletteBytes + colourBytes + maskBytes);

    QVERIFY(file.seek(0));
    QImageReader reader(&file, "ico");
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
