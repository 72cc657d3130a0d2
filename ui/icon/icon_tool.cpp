// Build-time enlarger for the program icon: reads the XPM picture and writes
// PNGs enlarged by nearest neighbour, so the pixel art stays crisp in desktop
// icon themes.
// Usage: crossing_icon_tool SOURCE.xpm SIZE OUT.png [SIZE OUT.png]...
#include <QImage>
#include <QString>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "crossing_icon_tool: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4 || argc % 2 != 0)
        return fail(QStringLiteral("usage: crossing_icon_tool SOURCE.xpm SIZE OUT.png [SIZE OUT.png]..."));

    const QString source = QString::fromLocal8Bit(argv[1]);
    const QImage image = QImage(source).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return fail(QStringLiteral("cannot read %1").arg(source));

    for (int i = 2; i + 1 < argc; i += 2) {
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
