#include "CurveChart.h"

#include "core/NewCurveFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSceneResizeEvent>
#include <QImage>
#include <QImageWriter>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

namespace {

// A tick step of 1, 2 or 5 times a power of ten, giving four to ten ticks over the span.
double roundStep(double span)
{
    const double raw = span / 10;
    const double powerOfTen = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * powerOfTen)
            return m * powerOfTen;
    }
    return 10 * powerOfTen;
}

// min and max widened so that a flat curve, or none, still gets a span.
void keepSpan(double &min, double &max, double margin)
{
    if (!(min <= max)) {
        min = 0;
        max = 1;
    } else if (max - min < 1e-9 * std::max(1.0, std::abs(max))) {
        min -= 1;
        max += 1;
    } else {
        const double r = (max - min) * margin;
        min -= r;
        max += r;
    }
}

// The width a chart title takes when drawn (its HTML laid out as the chart lays it out).
qreal titleWidth(const QString &html, const QFont &font)
{
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setHtml(html);
    return document.idealWidth();
}

// The chart draws a title whole only when it is narrower than its place by this much; else it
// shortens the title itself.
constexpr qreal kTitleMargin = 2;

} // namespace

QString chartTitleHtml(const QString &description, const QFont &font, qreal width)
{
    // No character is narrower than a pixel's fraction that matters here: beyond one character
    // per pixel nothing can show.
    const qsizetype limit = qsizetype(std::max<qreal>(width, 0)) + 2;
    QString text = description.left(limit);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    const bool cutOff = text.size() < description.size();
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    const auto fits = [&](const QString &html) {
        return titleWidth(html, font) <= width - kTitleMargin;
    };
    if (!cutOff && fits(text.toHtmlEscaped()))
        return text.toHtmlEscaped();
    // The longest beginning that fits with "…" behind it.
    const QChar ellipsis(0x2026);
    qsizetype fitting = 0;
    qsizetype tooWide = text.size() + 1;
    while (tooWide - fitting > 1) {
        const qsizetype middle = (fitting + tooWide) / 2;
        if (fits((text.left(middle) + ellipsis).toHtmlEscaped()))
            fitting = middle;
        else
            tooWide = middle;
    }
    if (fitting > 0 && text.at(fitting - 1).isHighSurrogate())
        --fitting;
    return (text.left(fitting) + ellipsis).toHtmlEscaped();
}

// Kept from picture to picture, so that one chart draws many pictures quicker: the images, and
// the palette with the entry found for each colour.
struct CurveChart::PictureBuffer
{
    QImage coloured;
    QImage palettePicture;
    QList<QRgb> palette;
    std::vector<qint16> entry; // per colour at six bits a channel; -1 not yet looked up

    void setColours(const QColor &c1, const QColor &c2);
    int nearest(QRgb colour) const;
    void toPalette();
};

// A plot holds few colours: white, greys for text, axes and grid, the channels' colours, and
// the blends that smooth their edges, which lie between two of them. A palette of ramps between
// those keeps the picture as it is drawn, and a palette PNG is written several times faster than
// a true-colour one (no search for row filters) and is about half its size.
void CurveChart::PictureBuffer::setColours(const QColor &c1, const QColor &c2)
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

int CurveChart::PictureBuffer::nearest(QRgb colour) const
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

void CurveChart::PictureBuffer::toPalette()
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

CurveChart::CurveChart()
    : channel1(new QLineSeries(this))
    , channel2(new QLineSeries(this))
    , frequencyAxis(new QValueAxis(this))
    , valueAxis(new QValueAxis(this))
    , readMarker(new QScatterSeries(this))
    , channelMarkerPoints{new QScatterSeries(this), new QScatterSeries(this)}
    , otherAxis(new QValueAxis(this))
{
    channel1->setName(tr("Kanal 1"));
    channel2->setName(tr("Kanal 2"));
    addSeries(channel1);
    addSeries(channel2);
    addSeries(readMarker);
    readMarker->setMarkerSize(9);
    readMarker->setColor(Qt::black);
    legend()->markers(readMarker).constFirst()->setVisible(false);
    frequencyAxis->setTitleText(tr("Frequenz (MHz)"));
    frequencyAxis->setLabelFormat(QStringLiteral("%.6g"));
    valueAxis->setLabelFormat(QStringLiteral("%.6g"));
    addAxis(frequencyAxis, Qt::AlignBottom);
    addAxis(valueAxis, Qt::AlignLeft);
    otherAxis->setLabelFormat(QStringLiteral("%.6g"));
    addAxis(otherAxis, Qt::AlignRight);
    otherAxis->setVisible(false);
    for (int k = 0; k < 2; ++k) {
        addSeries(channelMarkerPoints[k]);
        setUpMarkerPoints(channelMarkerPoints[k], channel(k + 1)->color());
    }
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{
             channel1, channel2, readMarker, channelMarkerPoints[0], channelMarkerPoints[1]}) {
        s->attachAxis(frequencyAxis);
        s->attachAxis(valueAxis);
    }
    legend()->setShowToolTips(true); // the whole name of an entry shortened for want of room
    // A click on a channel's legend entry hides and shows its line.
    for (int k = 1; k <= 2; ++k) {
        connect(legend()->markers(channel(k)).constFirst(), &QLegendMarker::clicked, this,
                [this, k] { setChannelShown(k, !channelShown(k)); });
    }
    setAnimationOptions(QChart::NoAnimation);
    clear();
}

CurveChart::~CurveChart()
{
    // The scene would otherwise delete this chart once more.
    if (ownScene)
        ownScene->removeItem(this);
}

QLineSeries *CurveChart::channel(int channel) const
{
    return channel == 1 ? channel1 : channel2;
}

void CurveChart::showCurve(const CurveRecord &record, const QString &description)
{
    setDescription(description);
    curveQuantity = quantityOf(record);
    const int decimals = frequencyDecimals(record.sweepGrid.stepMHz);
    for (int k = 1; k <= 2; ++k) {
        QList<QPointF> &points = channelData[k - 1];
        points.clear();
        channelMarkers[k - 1] = ShownMarkers();
        const NewCurveFile::ChannelPoints p = NewCurveFile::channelPoints(record, k);
        if (!p.written)
            continue;
        points.reserve(p.count);
        for (int i = 0; i < p.count; ++i)
            points.append(QPointF(p.frequency[i], p.value[i]));
        channelMarkers[k - 1] = {
            CurveMarkers::compute(p.frequency, p.value, p.count, curveQuantity), decimals};
    }
    setChannelShown(1, true);
    setChannelShown(2, true);
    drawAll();
}

void CurveChart::clear()
{
    setDescription(QString());
    curveQuantity = Quantity::Level;
    for (int k = 0; k < 2; ++k) {
        channelData[k].clear();
        channelMarkers[k] = ShownMarkers();
    }
    setChannelShown(1, true);
    setChannelShown(2, true);
    drawAll();
}

void CurveChart::showComparison(const QList<NewCurve> &curves)
{
    comparison = curves;
    drawAll();
}

namespace {

// Colours of the compared curves, apart from the channels' and from each other.
const QColor kComparisonColours[] = {
    QColor(0xd6, 0x27, 0x28), QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e),
    QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf),
    QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22), QColor(0x1f, 0x3a, 0x93),
    QColor(0x00, 0x00, 0x00),
};

QString unitOf(Quantity q)
{
    switch (q) {
    case Quantity::Swr:
        return CurveChart::tr("SWV");
    case Quantity::Level:
        return CurveChart::tr("dB");
    case Quantity::Neutral:
        break;
    }
    return CurveChart::tr("Wert");
}

// The quantity all curves agree on, or none.
Quantity commonQuantity(const QList<Quantity> &quantities)
{
    for (const Quantity q : quantities) {
        if (q != quantities.constFirst())
            return Quantity::Neutral;
    }
    return quantities.isEmpty() ? Quantity::Neutral : quantities.constFirst();
}

struct Range
{
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    void extendTo(double v)
    {
        if (std::isfinite(v)) {
            min = std::min(min, v);
            max = std::max(max, v);
        }
    }
};

} // namespace

void CurveChart::setUpMarkerPoints(QScatterSeries *points, const QColor &colour)
{
    points->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    points->setMarkerSize(8);
    points->setColor(colour);
    points->setBorderColor(Qt::black);
    legend()->markers(points).constFirst()->setVisible(false);
}

void CurveChart::setMarkers(QScatterSeries *points, const CurveMarkers &m)
{
    QList<QPointF> list;
    if (m.extreme.index >= 0)
        list.append(QPointF(m.extreme.frequency, m.extreme.value));
    if (m.other.index >= 0)
        list.append(QPointF(m.other.frequency, m.other.value));
    if (m.hasBand) {
        list.append(QPointF(m.from.frequency, m.threshold));
        list.append(QPointF(m.to.frequency, m.threshold));
    }
    points->replace(list);
}

void CurveChart::drawAll()
{
    const bool hasCurve = !channelData[0].isEmpty() || !channelData[1].isEmpty();
    QList<Quantity> quantities;
    for (const NewCurve &k : std::as_const(comparison))
        quantities.append(k.quantity());
    valueQuantity = hasCurve || comparison.isEmpty() ? curveQuantity : commonQuantity(quantities);
    QList<Quantity> otherQuantities;
    for (const Quantity q : std::as_const(quantities)) {
        if (q != valueQuantity)
            otherQuantities.append(q);
    }
    valueAxis->setTitleText(unitOf(valueQuantity));
    // Beside the plot, one entry a line, so that the headers of compared files have room.
    legend()->setAlignment(comparison.isEmpty() ? Qt::AlignBottom : Qt::AlignRight);
    otherAxis->setTitleText(unitOf(commonQuantity(otherQuantities)));
    otherAxis->setVisible(!otherQuantities.isEmpty());

    // Every change of the points or of an axis lays a line out anew, which for 2001 points
    // costs more than all the rest: the axes are set while the lines are empty, then the points.
    channel1->clear();
    channel2->clear();
    readMarker->clear();
    for (QXYSeries *s : std::as_const(comparisonLines))
        removeSeries(s);
    for (QXYSeries *s : std::as_const(comparisonMarkerPoints))
        removeSeries(s);
    qDeleteAll(comparisonLines);
    qDeleteAll(comparisonMarkerPoints);
    comparisonLines.clear();
    comparisonMarkerPoints.clear();
    comparisonMarkers.clear();

    Range f;
    Range w;
    Range a;
    for (const QList<QPointF> &points : channelData) {
        for (const QPointF &p : points) {
            f.extendTo(p.x());
            w.extendTo(p.y());
        }
    }
    QList<QList<QPointF>> comparisonPoints;
    for (int i = 0; i < comparison.size(); ++i) {
        const NewCurve &k = comparison.at(i);
        const bool left = k.quantity() == valueQuantity;
        QList<QPointF> points;
        points.reserve(k.frequency.size());
        for (int j = 0; j < k.frequency.size(); ++j) {
            points.append(QPointF(k.frequency[j], k.value[j]));
            f.extendTo(k.frequency[j]);
            (left ? w : a).extendTo(k.value[j]);
        }
        comparisonPoints.append(points);
        const int n = int(k.frequency.size());
        const double step =
            n > 1 ? (k.frequency.constLast() - k.frequency.constFirst()) / (n - 1) : 0;
        comparisonMarkers.append(
            {CurveMarkers::compute(k.frequency.constData(), k.value.constData(), n, k.quantity()),
             frequencyDecimals(step)});

        const QColor colour = kComparisonColours[i % std::size(kComparisonColours)];
        auto *line = new QLineSeries(this);
        line->setName(k.header.isEmpty() ? QFileInfo(k.path).fileName() : k.header);
        addSeries(line);
        line->setColor(colour);
        auto *markerPoints = new QScatterSeries(this);
        addSeries(markerPoints);
        setUpMarkerPoints(markerPoints, colour);
        for (QXYSeries *s : std::initializer_list<QXYSeries *>{line, markerPoints}) {
            s->attachAxis(frequencyAxis);
            s->attachAxis(left ? valueAxis : otherAxis);
        }
        comparisonLines.append(line);
        comparisonMarkerPoints.append(markerPoints);
        connect(legend()->markers(line).constFirst(), &QLegendMarker::clicked, this,
                [this, line, markerPoints] { showLine(line, markerPoints, !line->isVisible()); });
    }
    keepSpan(f.min, f.max, 0);
    keepSpan(w.min, w.max, 0.05);
    keepSpan(a.min, a.max, 0.05);
    fMin = f.min;
    fMax = f.max;
    setAxisRange(valueAxis, w.min, w.max);
    setAxisRange(otherAxis, a.min, a.max);
    valueMin = w.min;
    valueMax = w.max;
    resetView();

    channel1->replace(channelData[0]);
    channel2->replace(channelData[1]);
    for (int k = 0; k < 2; ++k)
        setMarkers(channelMarkerPoints[k], channelMarkers[k].markers);
    for (int i = 0; i < comparisonLines.size(); ++i) {
        comparisonLines[i]->replace(comparisonPoints[i]);
        setMarkers(comparisonMarkerPoints[i], comparisonMarkers[i].markers);
    }
}

QList<CurveChart::MarkerLine> CurveChart::markerLines() const
{
    QList<MarkerLine> lines;
    for (int k = 0; k < 2; ++k) {
        if (!channelData[k].isEmpty()) {
            lines.append({channel(k + 1)->name(), channel(k + 1)->color(),
                          channelMarkers[k].markers.text(channelMarkers[k].decimals)});
        }
    }
    for (int i = 0; i < comparisonLines.size(); ++i) {
        lines.append({comparisonLines[i]->name(), comparisonLines[i]->color(),
                      comparisonMarkers[i].markers.text(comparisonMarkers[i].decimals)});
    }
    return lines;
}

void CurveChart::setDescription(const QString &text)
{
    description = text;
    fitTitle();
}

void CurveChart::fitTitle()
{
    if (description.isEmpty()) {
        setTitle(QString());
        return;
    }
    // The place the chart gives its title: its width within its margins.
    qreal left = 0, top = 0, right = 0, bottom = 0;
    layout()->getContentsMargins(&left, &top, &right, &bottom);
    const qreal width = size().width() - left - right - margins().left() - margins().right();
    setTitle(chartTitleHtml(description, titleFont(), width));
}

void CurveChart::resizeEvent(QGraphicsSceneResizeEvent *event)
{
    QChart::resizeEvent(event);
    if (event->oldSize().width() != event->newSize().width())
        fitTitle();
}

void CurveChart::resetView()
{
    setAxisRange(frequencyAxis, fMin, fMax);
    setAxisRange(valueAxis, valueMin, valueMax);
}

void CurveChart::zoomFrequencies(double factor, double middle)
{
    zoomAxis(frequencyAxis, factor, middle, fMin, fMax);
}

void CurveChart::zoomValues(double factor, double centre)
{
    zoomAxis(valueAxis, factor, centre, valueMin, valueMax);
}

void CurveChart::zoomAxis(QValueAxis *axis, double factor, double centre, double wholeMin,
                          double wholeMax) const
{
    const double left = axis->min();
    const double right = axis->max();
    centre = std::clamp(centre, left, right);
    double newLeft = centre - (centre - left) * factor;
    double newRight = centre + (right - centre) * factor;
    // Not narrower than a millionth of the curve, where the labels could no longer tell apart.
    if (newRight - newLeft < (wholeMax - wholeMin) * 1e-6)
        return;
    newLeft = std::max(newLeft, wholeMin);
    newRight = std::min(newRight, wholeMax);
    setAxisRange(axis, newLeft, newRight);
}

void CurveChart::moveView(double frequencyShift, double valueShift)
{
    // The view keeps its width and stops at the ends of the whole curve.
    const auto move = [this](QValueAxis *axis, double shift, double wholeMin, double wholeMax) {
        if (shift == 0)
            return;
        const double span = axis->max() - axis->min();
        const double left = std::clamp(axis->min() + shift, wholeMin, wholeMax - span);
        if (left != axis->min())
            setAxisRange(axis, left, left + span);
    };
    move(frequencyAxis, frequencyShift, fMin, fMax);
    move(valueAxis, valueShift, valueMin, valueMax);
}

double CurveChart::frequencyStep() const
{
    const QLineSeries *s = channel1->count() > 1 ? channel1 : channel2;
    if (s->count() < 2)
        return 0;
    return (s->at(s->count() - 1).x() - s->at(0).x()) / (s->count() - 1);
}

void CurveChart::setChannelShown(int k, bool shown)
{
    showLine(channel(k), channelMarkerPoints[k - 1], shown);
}

void CurveChart::showLine(QLineSeries *line, QScatterSeries *markerPoints, bool shown)
{
    line->setVisible(shown);
    markerPoints->setVisible(shown);
    // Hiding a line hides its legend entry as well: shown again, dimmed.
    QLegendMarker *entry = legend()->markers(line).constFirst();
    entry->setVisible(true);
    QColor colour = line->color();
    QColor text = legend()->labelColor();
    if (!shown) {
        colour.setAlpha(60);
        text.setAlpha(100);
    }
    entry->setBrush(colour);
    entry->setPen(QPen(colour));
    entry->setLabelBrush(text);
    if (!shown)
        markPoint(-1);
}

bool CurveChart::channelShown(int k) const
{
    return channel(k)->isVisible();
}

int CurveChart::nearestPoint(double frequency) const
{
    const QLineSeries *s = channel1->count() > 0 ? channel1 : channel2;
    int best = -1;
    double distance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < s->count(); ++i) {
        const double d = std::abs(s->at(i).x() - frequency);
        if (d < distance) {
            distance = d;
            best = i;
        }
    }
    return best;
}

void CurveChart::markPoint(int index)
{
    QList<QPointF> points;
    for (const QLineSeries *s : {channel1, channel2}) {
        if (index >= 0 && index < s->count() && s->isVisible())
            points.append(s->at(index));
    }
    readMarker->replace(points);
}

void CurveChart::setAxisRange(QValueAxis *axis, double min, double max) const
{
    // Fixed ticks while the range changes: dynamic ticks at the old interval over a new, wider
    // range would lay out hundreds of labels for nothing.
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setRange(min, max);
    const double step = roundStep(max - min);
    axis->setTickAnchor(std::ceil(min / step) * step);
    axis->setTickInterval(step);
    axis->setTickType(QValueAxis::TicksDynamic);
}

std::unique_ptr<CurveChart> CurveChart::clone() const
{
    auto k = std::make_unique<CurveChart>();
    k->setDescription(description);
    k->curveQuantity = curveQuantity;
    for (int i = 0; i < 2; ++i) {
        k->channelData[i] = channelData[i];
        k->channelMarkers[i] = channelMarkers[i];
    }
    k->comparison = comparison;
    k->drawAll();
    k->setChannelShown(1, channelShown(1));
    k->setChannelShown(2, channelShown(2));
    for (int i = 0; i < comparisonLines.size(); ++i) {
        k->showLine(k->comparisonLines[i], k->comparisonMarkerPoints[i],
                    comparisonLines[i]->isVisible());
    }
    k->setAxisRange(k->valueAxis, valueAxis->min(), valueAxis->max());
    k->setAxisRange(k->otherAxis, otherAxis->min(), otherAxis->max());
    k->setAxisRange(k->frequencyAxis, frequencyAxis->min(), frequencyAxis->max());
    return k;
}

void CurveChart::draw(QPainter &painter, const QSize &pictureSize)
{
    // Laid out in a scene of its own: a chart shown in a view is drawn at another size only
    // through a copy (clone), never resized under the user's eyes.
    Q_ASSERT(!scene() || scene() == ownScene.get());
    if (!ownScene) {
        ownScene = std::make_unique<QGraphicsScene>();
        ownScene->addItem(this);
    }
    setGeometry(QRectF(QPointF(0, 0), pictureSize));
    layout()->activate();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF rect(QPointF(0, 0), pictureSize);
    ownScene->render(&painter, rect, rect);
}

namespace {

QByteArray pngData(const QImage &picture)
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

} // namespace

QByteArray CurveChart::png(const QSize &pictureSize)
{
    if (!pictureBuffer)
        pictureBuffer = std::make_unique<PictureBuffer>();
    if (pictureBuffer->coloured.size() != pictureSize)
        pictureBuffer->coloured = QImage(pictureSize, QImage::Format_RGB32);
    pictureBuffer->coloured.fill(Qt::white);
    {
        QPainter painter(&pictureBuffer->coloured);
        draw(painter, pictureSize);
    }
    // Compared curves bring more colours than the palette holds: the picture as it is drawn.
    if (!comparison.isEmpty())
        return pngData(pictureBuffer->coloured);
    pictureBuffer->setColours(channel1->color(), channel2->color());
    pictureBuffer->toPalette();
    return pngData(pictureBuffer->palettePicture);
}

QByteArray CurveChart::svg(const QSize &pictureSize)
{
    QByteArray bytes;
    QBuffer pictureBuffer(&bytes);
    pictureBuffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&pictureBuffer);
    generator.setSize(pictureSize);
    // The size is written in millimetres; at 96 dots per inch they are the pixels of the web.
    generator.setResolution(96);
    generator.setViewBox(QRect(QPoint(0, 0), pictureSize));
    generator.setTitle(description);
    {
        QPainter painter;
        if (!painter.begin(&generator))
            return QByteArray();
        draw(painter, pictureSize);
    }
    return bytes;
}
