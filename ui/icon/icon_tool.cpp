// Build-time converter for the program icon. Reads the XPM picture and writes
//   - a one-image .ico: 8 bits per pixel with a 256-colour palette and a 1-bit
//     transparency (AND) mask, the format the window icon is kept in;
//   - optional PNGs enlarged by nearest neighbour, so the pixel art stays crisp.
// Usage: crossing_icon_tool SOURCE.xpm OUT.ico [SIZE OUT.png]...
#include <QByteArray>
#include <QDataStream>
#include <QHash>
#include <QImage>
#include <QSaveFile>
#include <QString>
#include <QVector>

#include <cstdio>

namespace {

constexpr int kPaletteSize = 256;
constexpr quint32 kIconDirSize = 6;
constexpr quint32 kIconEntrySize = 16;
constexpr quint32 kInfoHeaderSize = 40;

bool isTransparent(QRgb pixel) { return qAlpha(pixel) < 128; }

// Bitmap rows are padded to a multiple of four bytes.
int rowBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

struct IndexedPicture {
    QVector<QRgb> palette;     // at most 256 colours, entry 0 is black
    QVector<quint8> indices;   // one per pixel, top row first
    QVector<bool> transparent; // one per pixel, top row first
};

// Transparent pixels use palette entry 0, black, so that the colour bitmap
// leaves the screen unchanged where the AND mask lets it through.
bool indexPicture(const QImage& image, IndexedPicture& out, QString& error)
{
    out.palette = {qRgb(0, 0, 0)};
    QHash<QRgb, quint8> indexOf{{qRgb(0, 0, 0), 0}};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const bool clear = isTransparent(pixel);
            out.transparent.append(clear);
            if (clear) {
                out.indices.append(0);
                continue;
            }
            const QRgb colour = qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
            if (!indexOf.contains(colour)) {
                if (out.palette.size() == kPaletteSize) {
                    error = QStringLiteral("the picture has more than 256 colours");
                    return false;
                }
                indexOf.insert(colour, static_cast<quint8>(out.palette.size()));
                out.palette.append(colour);
            }
            out.indices.append(indexOf.value(colour));
        }
    }
    return true;
}

// Layout: ICONDIR, one ICONDIRENTRY, then the image as a DIB without file
// header: BITMAPINFOHEADER, palette (B, G, R, 0), colour bitmap, AND mask.
// Both bitmaps run bottom-up; the header's height counts them both.
QByteArray encodeIco(const IndexedPicture& picture, int width, int height)
{
    const int colourRow = rowBytes(width, 8);
    const int maskRow = rowBytes(width, 1);
    const quint32 bitmapsSize = static_cast<quint32>((colourRow + maskRow) * height);
    const quint32 imageSize = kInfoHeaderSize + kPaletteSize * 4 + bitmapsSize;

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);

    out << quint16(0) << quint16(1) << quint16(1); // reserved, type icon, one image
    out << quint8(width) << quint8(height) << quint8(0) /* 256 colours */ << quint8(0);
    out << quint16(1) << quint16(8) << imageSize << quint32(kIconDirSize + kIconEntrySize);

    out << kInfoHeaderSize << qint32(width) << qint32(2 * height) << quint16(1) << quint16(8);
    out << quint32(0) /* uncompressed */ << bitmapsSize << qint32(0) << qint32(0);
    out << quint32(kPaletteSize) << quint32(0);

    for (int i = 0; i < kPaletteSize; ++i) {
        const QRgb colour = i < picture.palette.size() ? picture.palette[i] : qRgb(0, 0, 0);
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < width; ++x)
            row[x] = static_cast<char>(picture.indices[y * width + x]);
        out.writeRawData(row.constData(), row.size());
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < width; ++x) {
            if (picture.transparent[y * width + x])
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.writeRawData(row.constData(), row.size());
    }
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

int fail(const QString& message)
{
    std::fprintf(stderr, "crossing_icon_tool: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3 || argc % 2 == 0)
        return fail(QStringLiteral("usage: crossing_icon_tool SOURCE.xpm OUT.ico [SIZE OUT.png]..."));

    const QString source = QString::fromLocal8Bit(argv[1]);
    const QImage image = QImage(source).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return fail(QStringLiteral("cannot read %1").arg(source));
    if (image.width() > 255 || image.height() > 255)
        return fail(QStringLiteral("the picture is larger than an icon entry can state"));

    IndexedPicture picture;
    QString error;
    if (!indexPicture(image, picture, error))
        return fail(error);
    const QString icoPath = QString::fromLocal8Bit(argv[2]);
    if (!writeFile(icoPath, encodeIco(picture, image.width(), image.height())))
        return fail(QStringLiteral("cannot write %1").arg(icoPath));

    for (int i = 3; i + 1 < argc; i += 2) {
        bool isNumber = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&isNumber);
        const QString pngPath = QString::fromLocal8Bit(argv[i + 1]);
        if (!isNumber || size <= 0)
            return fail(QStringLiteral("bad size %1").arg(QString::fromLocal8Bit(argv[i])));
        const QImage enlarged = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!enlarged.save(pngPath, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(pngPath));
    }
    return 0;
}
