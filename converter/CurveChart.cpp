#include "CurveChart.h"

#include "ChartPicture.h"
#include "ChartScale.h"
#include "ChartText.h"
#include "Translation.h"
#include "core/NewCurveFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSceneResizeEvent>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

using namespace ChartScale;

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Colours of the compared curves, apart from the channels' and from each other.
const QColor kComparisonColours[] = {
    QColor(0xd6, 0x27, 0x28), QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e),
    QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf),
    QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22), QColor(0x1f, 0x3a, 0x93),
    QColor(0x00, 0x00, 0x00),
};

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

// The index of the point nearest to frequency among points ascending in frequency; -1 when
// the frequency lies outside them (or there are none).
qsizetype nearestIndex(const QList<QPointF> &points, double frequency)
{
    if (points.isEmpty() || !(frequency >= points.constFirst().x()) ||
        !(frequency <= points.constLast().x()))
        return -1;
    const auto after = std::lower_bound(points.cbegin(), points.cend(), frequency,
                                        [](const QPointF &p, double f) { return p.x() < f; });
    const qsizetype i = after - points.cbegin();
    if (i > 0 &&
        (i == points.size() || frequency - points.at(i - 1).x() <= points.at(i).x() - frequency))
        return i - 1;
    return i;
}

} // namespace

struct CurveChart::PictureBuffer
{
    QImage coloured;
    PalettePng palette;
};

CurveChart::CurveChart()
    : channel1(new QLineSeries(this))
    , channel2(new QLineSeries(this))
    , frequencyAxis(new QValueAxis(this))
    , valueAxis(new QValueAxis(this))
    , otherAxis(new QValueAxis(this))
    , readMarkers{new QScatterSeries(this), new QScatterSeries(this)}
    , marked(kNone)
    , numbers(numberLocale(QCoreApplication::arguments()))
    , channelMarkerPoints{new QScatterSeries(this), new QScatterSeries(this)}
{
    // Axis numbers as the readout writes them.
    setLocalizeNumbers(true);
    setLocale(numbers);
    addSeries(channel1);
    addSeries(channel2);
    frequencyAxis->setTitleText(tr("Frequenz (MHz)"));
    for (QValueAxis *axis : {frequencyAxis, valueAxis, otherAxis})
        axis->setLabelFormat(QStringLiteral("%.6g"));
    addAxis(frequencyAxis, Qt::AlignBottom);
    addAxis(valueAxis, Qt::AlignLeft);
    addAxis(otherAxis, Qt::AlignRight);
    otherAxis->setVisible(false);
    for (int k = 0; k < 2; ++k) {
        addSeries(channelMarkerPoints[k]);
        setUpMarkerPoints(channelMarkerPoints[k], channel(k + 1)->color());
        attach(channel(k + 1), false);
        attach(channelMarkerPoints[k], false);
    }
    for (int side = 0; side < 2; ++side) {
        addSeries(readMarkers[side]);
        readMarkers[side]->setMarkerSize(9);
        readMarkers[side]->setColor(Qt::black);
        attach(readMarkers[side], side == 1);
    }
    // The whole header of an entry is its tool tip, given by the preview.
    legend()->setShowToolTips(false);
    hearLegendEntry(channel1);
    hearLegendEntry(channel2);
    connect(this, &QChart::plotAreaChanged, this, &CurveChart::fitTicks, Qt::QueuedConnection);
    clear();
}

CurveChart::~CurveChart()
{
    // The legend's entries outlive this part of the chart, and tell of the pointer leaving
    // them as they go.
    for (QLegendMarker *entry : legend()->markers())
        entry->disconnect(this);
    // A chart in a scene of its own leaves it before the scene goes, which would delete it.
    if (ownScene)
        ownScene->removeItem(this);
}

QLineSeries *CurveChart::channel(int k) const
{
    return k == 1 ? channel1 : channel2;
}

QLineSeries *CurveChart::comparisonLine(int i) const
{
    return comparisonLines.at(i);
}

void CurveChart::attach(QXYSeries *series, bool right)
{
    for (QAbstractAxis *axis : series->attachedAxes())
        series->detachAxis(axis);
    series->attachAxis(frequencyAxis);
    series->attachAxis(right ? otherAxis : valueAxis);
}

void CurveChart::clear()
{
    setDescription(QString());
    for (int k = 0; k < 2; ++k) {
        channelData[k].clear();
        channelMarkers[k] = CurveMarkers();
    }
    drawAll();
}

void CurveChart::showCurve(const CurveRecord &record, const QString &text)
{
    setDescription(text);
    curveQuantity = quantityOf(record);
    channelDecimals = frequencyDecimals(record.sweepGrid.stepMHz);
    for (int k = 1; k <= 2; ++k) {
        QList<QPointF> &points = channelData[k - 1];
        points.clear();
        channelMarkers[k - 1] = CurveMarkers();
        channelChoice[k - 1] = Choice();
        const NewCurveFile::ChannelPoints p = NewCurveFile::channelPoints(record, k);
        if (!p.written)
            continue;
        points.reserve(p.count);
        for (int i = 0; i < p.count; ++i)
            points.append(QPointF(p.frequency[i], p.value[i]));
        channelMarkers[k - 1] = CurveMarkers::compute(p.frequency, p.value, p.count, curveQuantity);
    }
    drawAll();
}

void CurveChart::showComparison(const QList<NewCurve> &newCurves)
{
    // Curves compared before keep what the user chose for them.
    QList<Choice> choices;
    for (int i = 0; i < newCurves.size(); ++i) {
        const bool same = i < comparison.size() && comparison.at(i).path == newCurves.at(i).path;
        choices.append(same ? comparisonChoice.at(i) : Choice());
    }
    comparison = newCurves;
    comparisonChoice = choices;
    drawAll();
}

void CurveChart::setUpMarkerPoints(QScatterSeries *points, const QColor &colour)
{
    points->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    points->setMarkerSize(8);
    points->setColor(colour);
    points->setBorderColor(Qt::black);
}

void CurveChart::hearLegendEntry(QLineSeries *line)
{
    QLegendMarker *entry = legend()->markers(line).constFirst();
    connect(entry, &QLegendMarker::clicked, this,
            [this, line] { emit legendEntryClicked(indexOf(line)); });
    connect(entry, &QLegendMarker::hovered, this,
            [this, line](bool on) { emit legendEntryHovered(on ? indexOf(line) : -1); });
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
    // Every change of the points or of an axis lays a line out anew, which for 2001 points
    // costs more than all the rest: the axes are set while the lines are empty, then the points.
    channel1->clear();
    channel2->clear();
    for (QScatterSeries *s : readMarkers)
        s->clear();
    marked = kNone;
    collectCurves();
    chooseAxes();
    makeComparisonSeries();
    fitRanges();
    for (Curve &c : curves) {
        c.line->replace(c.points);
        setMarkers(c.markerPoints, c.markers);
    }
    tidyLegend();
    emit curvesChanged();
}

void CurveChart::collectCurves()
{
    curves.clear();
    const QString names[2] = {tr("Kanal 1"), tr("Kanal 2")};
    for (int k = 0; k < 2; ++k) {
        channel(k + 1)->setVisible(channelChoice[k].shown);
        if (channelData[k].isEmpty())
            continue;
        Curve c;
        c.name = names[k];
        c.baseName = c.name;
        c.toolTip = shownName(description);
        c.colour = channel(k + 1)->color();
        c.quantity = curveQuantity;
        c.points = channelData[k];
        c.markers = channelMarkers[k];
        c.decimals = channelDecimals;
        c.source = k;
        c.line = channel(k + 1);
        c.markerPoints = channelMarkerPoints[k];
        curves.append(c);
    }
    for (int i = 0; i < comparison.size(); ++i)
        addComparisonCurve(i);
    // Two files of one name are told apart by a number.
    for (qsizetype i = 0; i < curves.size(); ++i) {
        int same = 1;
        for (qsizetype j = 0; j < i; ++j)
            same += curves.at(j).baseName == curves.at(i).baseName ? 1 : 0;
        if (same > 1)
            curves[i].name = tr("%1 (%2)").arg(curves.at(i).baseName).arg(same);
    }
    for (Curve &c : curves) {
        c.shown = choiceOf(c).shown;
    }
}

void CurveChart::addComparisonCurve(int i)
{
    const NewCurve &k = comparison.at(i);
    Curve c;
    const QFileInfo file(k.path);
    c.baseName =
        shownName(file.completeBaseName().isEmpty() ? file.fileName() : file.completeBaseName());
    c.name = c.baseName;
    c.toolTip = shownName(k.header.isEmpty() ? QDir::toNativeSeparators(k.path) : k.header);
    c.colour = kComparisonColours[i % std::size(kComparisonColours)];
    c.quantity = k.quantity();
    c.source = 2 + i;
    const qsizetype n = std::min(k.frequency.size(), k.value.size());
    c.points.reserve(n);
    for (qsizetype j = 0; j < n; ++j)
        c.points.append(QPointF(k.frequency[j], k.value[j]));
    // Drawn, read and marked by rising frequency, whichever way the file runs.
    const auto byFrequency = [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); };
    if (!std::is_sorted(c.points.cbegin(), c.points.cend(), byFrequency))
        std::stable_sort(c.points.begin(), c.points.end(), byFrequency);
    std::vector<double> f(static_cast<std::size_t>(n));
    std::vector<double> v(static_cast<std::size_t>(n));
    for (qsizetype j = 0; j < n; ++j) {
        f[std::size_t(j)] = c.points.at(j).x();
        v[std::size_t(j)] = c.points.at(j).y();
    }
    c.markers = CurveMarkers::compute(f.data(), v.data(), int(n), c.quantity);
    c.decimals = frequencyDecimals(n > 1 ? (f.back() - f.front()) / double(n - 1) : 0);
    curves.append(c);
}

CurveChart::Choice &CurveChart::choiceOf(const Curve &c)
{
    return c.source < 2 ? channelChoice[c.source] : comparisonChoice[c.source - 2];
}

void CurveChart::chooseAxes()
{
    QList<Quantity> quantities;
    for (const Curve &c : std::as_const(curves))
        quantities.append(c.quantity);
    const bool hasCurve = !channelData[0].isEmpty() || !channelData[1].isEmpty();
    const QList<bool> byRule = rightAxisCurves(quantities, hasCurve);
    QList<Quantity> left;
    QList<Quantity> right;
    for (qsizetype i = 0; i < curves.size(); ++i) {
        Curve &c = curves[i];
        const int side = choiceOf(c).side;
        c.right = side < 0 ? byRule.at(i) : side == 1;
        (c.right ? right : left).append(c.quantity);
    }
    valueAxis->setTitleText(curves.isEmpty() ? unitOf(curveQuantity) : axisTitle(left));
    otherAxis->setTitleText(axisTitle(right));
    otherAxis->setVisible(!right.isEmpty());
    // Beside the plot, one entry a line, so that the names of compared files have room.
    legend()->setAlignment(comparison.isEmpty() ? Qt::AlignBottom : Qt::AlignRight);
}

void CurveChart::makeComparisonSeries()
{
    for (QXYSeries *s : std::as_const(comparisonLines))
        removeSeries(s);
    for (QXYSeries *s : std::as_const(comparisonMarkerPoints))
        removeSeries(s);
    qDeleteAll(comparisonLines);
    qDeleteAll(comparisonMarkerPoints);
    comparisonLines.clear();
    comparisonMarkerPoints.clear();
    for (Curve &c : curves) {
        if (!c.line) {
            c.line = new QLineSeries(this);
            addSeries(c.line);
            c.line->setColor(c.colour);
            c.markerPoints = new QScatterSeries(this);
            addSeries(c.markerPoints);
            setUpMarkerPoints(c.markerPoints, c.colour);
            comparisonLines.append(c.line);
            comparisonMarkerPoints.append(c.markerPoints);
            hearLegendEntry(c.line);
        }
        attach(c.line, c.right);
        attach(c.markerPoints, c.right);
        // A legend entry is drawn as HTML: the name reaches it escaped.
        c.line->setName(c.name.toHtmlEscaped());
        c.line->setVisible(c.shown);
        c.markerPoints->setVisible(c.shown);
    }
}

int CurveChart::indexOf(const QAbstractSeries *line) const
{
    for (qsizetype i = 0; i < curves.size(); ++i) {
        if (curves.at(i).line == line)
            return int(i);
    }
    return -1;
}

void CurveChart::fitRanges()
{
    Range f;
    Range w;
    Range a;
    for (const Curve &c : std::as_const(curves)) {
        for (const QPointF &p : c.points) {
            f.extendTo(p.x());
            (c.right ? a : w).extendTo(p.y());
        }
    }
    keepSpan(f.min, f.max, 0);
    keepSpan(w.min, w.max, 0.05);
    keepSpan(a.min, a.max, 0.05);
    fMin = f.min;
    fMax = f.max;
    setRange(otherAxis, a.min, a.max);
    valueMin = w.min;
    valueMax = w.max;
    resetView();
}

void CurveChart::tidyLegend()
{
    const QColor label = legend()->labelColor();
    for (QLegendMarker *entry : legend()->markers()) {
        const int i = indexOf(entry->series());
        entry->setVisible(i >= 0);
        if (i < 0)
            continue;
        const Curve &c = curves.at(i);
        QColor colour = c.colour;
        QColor text = label;
        if (!c.shown) {
            colour.setAlpha(60);
            text.setAlpha(100);
        }
        entry->setBrush(colour);
        entry->setPen(QPen(colour));
        entry->setLabelBrush(text);
    }
}

void CurveChart::setCurveShown(int i, bool shown)
{
    Curve &c = curves[i];
    c.shown = shown;
    choiceOf(c).shown = shown;
    c.line->setVisible(shown);
    c.markerPoints->setVisible(shown);
    // Showing a series shows its legend entries again, those of its markers too.
    tidyLegend();
    markFrequency(marked);
    emit curvesChanged();
}

void CurveChart::moveToOtherAxis(int i)
{
    choiceOf(curves.at(i)).side = curves.at(i).right ? 0 : 1;
    const double from = frequencyAxis->min();
    const double to = frequencyAxis->max();
    drawAll();
    setRange(frequencyAxis, from, to);
}

void CurveChart::setChannelShown(int k, bool shown)
{
    const int i = indexOf(channel(k));
    if (i >= 0) {
        setCurveShown(i, shown);
    } else {
        channelChoice[k - 1].shown = shown;
        channel(k)->setVisible(shown);
    }
}

bool CurveChart::channelShown(int k) const
{
    return channel(k)->isVisible();
}

const CurveChart::Curve *CurveChart::firstShown() const
{
    for (const Curve &c : curves) {
        if (c.shown && !c.points.isEmpty())
            return &c;
    }
    return nullptr;
}

double CurveChart::nearestFrequency(double frequency) const
{
    const Curve *c = firstShown();
    if (!c || std::isnan(frequency))
        return kNone;
    const double f = std::clamp(frequency, c->points.constFirst().x(), c->points.constLast().x());
    return c->points.at(nearestIndex(c->points, f)).x();
}

double CurveChart::stepFrequency(double frequency, int direction) const
{
    const Curve *c = firstShown();
    if (!c)
        return kNone;
    if (std::isnan(frequency))
        return (direction > 0 ? c->points.constFirst() : c->points.constLast()).x();
    const double f = std::clamp(frequency, c->points.constFirst().x(), c->points.constLast().x());
    const qsizetype i = nearestIndex(c->points, f) + direction;
    return c->points.at(std::clamp<qsizetype>(i, 0, c->points.size() - 1)).x();
}

QString CurveChart::readout(double frequency) const
{
    const Curve *first = firstShown();
    if (!first || std::isnan(frequency))
        return QString();
    QString text = tr("%1 MHz").arg(fixed(numbers, frequency, first->decimals));
    for (const Curve &c : curves) {
        if (!c.shown)
            continue;
        const qsizetype i = nearestIndex(c.points, frequency);
        QString value(QChar(0x2014)); // outside its sweep
        if (i >= 0 && std::isfinite(c.points.at(i).y())) {
            value = fixed(numbers, c.points.at(i).y(), 2);
            const QString unit = unitOf(c.quantity);
            if (!unit.isEmpty())
                value += QLatin1Char(' ') + unit;
        }
        text += QLatin1String("  ") + tr("%1: %2").arg(c.name, value);
    }
    return text;
}

void CurveChart::markFrequency(double frequency)
{
    marked = frequency;
    QList<QPointF> points[2];
    for (const Curve &c : std::as_const(curves)) {
        const qsizetype i = c.shown ? nearestIndex(c.points, frequency) : -1;
        if (i >= 0 && std::isfinite(c.points.at(i).y()))
            points[c.right ? 1 : 0].append(c.points.at(i));
    }
    for (int side = 0; side < 2; ++side) {
        if (!points[side].isEmpty() || readMarkers[side]->count() > 0)
            readMarkers[side]->replace(points[side]);
    }
}

QString CurveChart::summary() const
{
    QStringList lines;
    for (const Curve &c : curves) {
        if (c.points.isEmpty())
            continue;
        Range v;
        for (const QPointF &p : c.points)
            v.extendTo(p.y());
        const QString unit = unitOf(c.quantity);
        QString line = tr("%1: %2 bis %3 MHz, Werte %4 bis %5")
                           .arg(c.name, fixed(numbers, c.points.constFirst().x(), c.decimals),
                                fixed(numbers, c.points.constLast().x(), c.decimals),
                                std::isfinite(v.min) ? fixed(numbers, v.min, 2) : QString(),
                                std::isfinite(v.max) ? fixed(numbers, v.max, 2) : QString());
        if (!unit.isEmpty())
            line += QLatin1Char(' ') + unit;
        if (!c.shown)
            line += QLatin1Char(' ') + tr("(ausgeblendet)");
        lines.append(line);
    }
    return lines.isEmpty() ? tr("Keine Kurve") : lines.join(QLatin1String("; "));
}

QList<CurveChart::MarkerLine> CurveChart::markerLines() const
{
    QList<MarkerLine> lines;
    for (const Curve &c : curves)
        lines.append({c.name, c.colour, c.markers.text(c.decimals)});
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

int CurveChart::tickRoom(const QValueAxis *axis) const
{
    // Room for a label and as much again between two: with a large font, or a small window,
    // fewer ticks rather than labels cut to "...".
    const qreal line = QFontMetricsF(axis->labelsFont()).height();
    const QRectF plot = plotArea();
    if (plot.isEmpty() || line <= 0)
        return 10;
    const qreal room =
        axis == frequencyAxis ? plot.width() / (4 * line) : plot.height() / (1.5 * line);
    return std::clamp(int(room), 2, 10);
}

void CurveChart::setRange(QValueAxis *axis, double min, double max) const
{
    setAxisRange(axis, min, max, tickRoom(axis));
}

void CurveChart::fitTicks()
{
    for (QValueAxis *axis : {frequencyAxis, valueAxis, otherAxis}) {
        const int room = tickRoom(axis);
        if (axis->property("tickRoom").toInt() != room) {
            axis->setProperty("tickRoom", room);
            setAxisRange(axis, axis->min(), axis->max(), room);
        }
    }
}

void CurveChart::resetView()
{
    setRange(frequencyAxis, fMin, fMax);
    setRange(valueAxis, valueMin, valueMax);
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
    setRange(axis, newLeft, newRight);
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
            setRange(axis, left, left + span);
    };
    move(frequencyAxis, frequencyShift, fMin, fMax);
    move(valueAxis, valueShift, valueMin, valueMax);
}

void CurveChart::usePalette(const QPalette &palette)
{
    colours = palette;
    ownColours = true;
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const auto blend = [&](double t) {
        return QColor::fromRgbF(base.redF() + (text.redF() - base.redF()) * t,
                                base.greenF() + (text.greenF() - base.greenF()) * t,
                                base.blueF() + (text.blueF() - base.blueF()) * t);
    };
    setBackgroundBrush(base);
    setTitleBrush(text);
    legend()->setLabelColor(text);
    for (QValueAxis *axis : {frequencyAxis, valueAxis, otherAxis}) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setGridLineColor(blend(0.15));
        axis->setLinePenColor(blend(0.4));
    }
    for (QScatterSeries *s : readMarkers)
        s->setColor(text);
    tidyLegend();
}

std::unique_ptr<CurveChart> CurveChart::clone() const
{
    auto k = std::make_unique<CurveChart>();
    if (ownColours)
        k->usePalette(colours);
    k->setDescription(description);
    k->curveQuantity = curveQuantity;
    k->channelDecimals = channelDecimals;
    for (int i = 0; i < 2; ++i) {
        k->channelData[i] = channelData[i];
        k->channelMarkers[i] = channelMarkers[i];
        k->channelChoice[i] = channelChoice[i];
    }
    k->comparison = comparison;
    k->comparisonChoice = comparisonChoice;
    k->drawAll();
    k->markFrequency(marked);
    k->setRange(k->valueAxis, valueAxis->min(), valueAxis->max());
    k->setRange(k->otherAxis, otherAxis->min(), otherAxis->max());
    k->setRange(k->frequencyAxis, frequencyAxis->min(), frequencyAxis->max());
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

QByteArray CurveChart::png(const QSize &pictureSize)
{
    if (!pictureBuffer)
        pictureBuffer = std::make_unique<PictureBuffer>();
    QImage &picture = pictureBuffer->coloured;
    if (picture.size() != pictureSize)
        picture = QImage(pictureSize, QImage::Format_RGB32);
    const QColor background = ownColours ? colours.color(QPalette::Base) : QColor(Qt::white);
    picture.fill(background);
    {
        QPainter painter(&picture);
        draw(painter, pictureSize);
    }
    // Compared curves or another background bring more colours than the palette holds: the
    // picture as it is drawn.
    if (!comparison.isEmpty() || background != QColor(Qt::white))
        return pngBytes(picture);
    return pictureBuffer->palette.encode(picture, channel1->color(), channel2->color());
}

QByteArray CurveChart::svg(const QSize &pictureSize)
{
    cutLinesAtPlot();
    return svgBytes(pictureSize, description,
                    [&](QPainter &painter) { draw(painter, pictureSize); });
}

namespace {

void keepWithin(QScatterSeries *points, const QRectF &within)
{
    QList<QPointF> kept;
    for (const QPointF &p : points->points()) {
        if (within.contains(p))
            kept.append(p);
    }
    if (kept.size() != points->count())
        points->replace(kept);
}

} // namespace

void CurveChart::cutLinesAtPlot()
{
    // An SVG picture keeps no clip: what lies outside the plot is taken away before it is drawn.
    const auto plot = [this](bool right) {
        const QValueAxis *y = right ? otherAxis : valueAxis;
        return QRectF(QPointF(frequencyAxis->min(), y->min()),
                      QPointF(frequencyAxis->max(), y->max()));
    };
    for (const Curve &c : std::as_const(curves)) {
        const QList<QList<QPointF>> parts = clippedLine(c.points, plot(c.right));
        c.line->replace(parts.value(0));
        for (qsizetype i = 1; i < parts.size(); ++i) {
            auto *piece = new QLineSeries(this);
            addSeries(piece);
            piece->setPen(c.line->pen());
            piece->setVisible(c.shown);
            attach(piece, c.right);
            piece->replace(parts.at(i));
            legend()->markers(piece).constFirst()->setVisible(false);
        }
        keepWithin(c.markerPoints, plot(c.right));
    }
    for (int side = 0; side < 2; ++side)
        keepWithin(readMarkers[side], plot(side == 1));
}
