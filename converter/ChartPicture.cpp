#include "ChartPicture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

#include <cmath>
#include <limits>

QByteArray PalettePng::encode(const QImage &picture, const QColor &line1, const QColor &line2)
{
    setColours(line1, line2);
    toPalette(picture);
    return pngBytes(palettePicture);
}

void PalettePng::setColours(const QColor &c1, const QColor &c2)
{
    QList<QRgb> newPalette;
    const auto ramp = [&newPalette](const QColor &from, const QColor &to, int steps) {
        for (int i = 0; i < steps; ++i) {
            const double t = double(i) / (steps - 1);
            const auto blend = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
            newPalette.append(qRgb(blend(from.red(), to.red()), blend(from.green(), to.green()),
                                   blend(from.blue(), to.blue())));
        }
    };
    const QColor white(Qt::white);
    ramp(white, Qt::black, 64);
    ramp(white, c1, 64);
    ramp(white, c2, 64);
    ramp(c1, c2, 32);
    ramp(c1, Qt::black, 16);
    ramp(c2, Qt::black, 16);
    if (newPalette != palette) {
        palette = newPalette;
        entry.assign(std::size_t(1) << 18, -1);
    }
}

int PalettePng::nearest(QRgb colour) const
{
    int bestIndex = 0;
    int distance = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int r = qRed(colour) - qRed(palette[i]);
        const int g = qGreen(colour) - qGreen(palette[i]);
        const int b = qBlue(colour) - qBlue(palette[i]);
        const int d = r * r + g * g + b * b;
        if (d < distance) {
            distance = d;
            bestIndex = i;
        }
    }
    return bestIndex;
}

void PalettePng::toPalette(const QImage &coloured)
{
    if (palettePicture.size() != coloured.size())
        palettePicture = QImage(coloured.size(), QImage::Format_Indexed8);
    palettePicture.setColorTable(palette);
    // Most pixels are background and neighbours mostly alike: the last colour is kept at hand.
    QRgb last = qRgb(255, 255, 255);
    uchar lastIndex = uchar(nearest(last));
    const int width = coloured.width();
    for (int y = 0; y < coloured.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(coloured.constScanLine(y));
        uchar *dest = palettePicture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb colour = line[x] | 0xff000000u;
            if (colour != last) {
                qint16 &e = entry[std::size_t(((qRed(colour) >> 2) << 12) |
                                              ((qGreen(colour) >> 2) << 6) | (qBlue(colour) >> 2))];
                if (e < 0)
                    e = qint16(nearest(colour));
                last = colour;
                lastIndex = uchar(e);
            }
            dest[x] = lastIndex;
        }
    }
}

QByteArray pngBytes(const QImage &picture)
{
    QByteArray bytes;
    QBuffer output(&bytes);
    output.open(QIODevice::WriteOnly);
    QImageWriter writer(&output, "png");
    // Plots are mostly white: light compression is nearly as small and several times faster.
    writer.setQuality(80);
    if (!writer.write(picture))
        return QByteArray();
    return bytes;
}

QByteArray svgBytes(const QSize &size, const QString &title,
                    const std::function<void(QPainter &)> &draw)
{
    QByteArray bytes;
    QBuffer output(&bytes);
    output.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&output);
    generator.setSize(size);
    // The size is written in millimetres; at 96 dots per inch they are the pixels of the web.
    generator.setResolution(96);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(title);
    QPainter painter;
    if (!painter.begin(&generator))
        return QByteArray();
    draw(painter);
    painter.end();
    return bytes;
}
