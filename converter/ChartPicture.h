#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QPainter;

// The bytes of a plot's pictures. A plot holds few colours: white, greys for text, axes and grid,
// the channels' colours, and the blends that smooth their edges, which lie between two of them.
// A palette of ramps between those keeps the picture as it is drawn, and a palette PNG is
// written several times faster than a true-colour one (no search for row filters) and is about
// half its size. Kept from picture to picture, so that one chart draws many pictures quicker.
class PalettePng
{
public:
    // The picture, drawn on white with the two line colours and greys, as a palette PNG.
    QByteArray encode(const QImage &picture, const QColor &line1, const QColor &line2);

private:
    void setColours(const QColor &c1, const QColor &c2);
    int nearest(QRgb colour) const;
    void toPalette(const QImage &picture);

    QImage palettePicture;
    QList<QRgb> palette;
    std::vector<qint16> entry; // per colour at six bits a channel; -1 not yet looked up
};

// The picture as a true-colour PNG; empty when it cannot be written.
QByteArray pngBytes(const QImage &picture);
// An SVG picture of the given size and title, drawn by draw; empty when it cannot be made.
QByteArray svgBytes(const QSize &size, const QString &title,
                    const std::function<void(QPainter &)> &draw);
