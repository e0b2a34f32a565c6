// Build-time helper: re-encodes a rendered PNG as JPEG (rsvg-convert writes PNG only).
// Usage: artwork-jpeg <in.png> <out.jpg>. Exit code 0 on success, 1 on any failure.
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: artwork-jpeg <in.png> <out.jpg>\n");
        return 1;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "artwork-jpeg: cannot read %s\n", argv[1]);
        return 1;
    }
    // JPEG has no alpha: flatten onto white so transparent parts do not turn black.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const double a = c.alphaF();
            flat.setPixelColor(
                x, y,
                QColor::fromRgbF(c.redF() * a + (1 - a), c.greenF() * a + (1 - a), c.blueF() * a + (1 - a)));
        }
    }
    if (!flat.save(QString::fromLocal8Bit(argv[2]), "JPG", 90)) {
        std::fprintf(stderr, "artwork-jpeg: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
