#include "ChartScale.h"

#include <QCoreApplication>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace ChartScale {

QString fixed(const QLocale &locale, double value, int decimals)
{
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0;
    return locale.toString(value, 'f', decimals);
}

double roundStep(double span, int ticks)
{
    const double raw = span / std::max(ticks, 1);
    const double powerOfTen = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * powerOfTen)
            return m * powerOfTen;
    }
    return 10 * powerOfTen;
}

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

void setAxisRange(QValueAxis *axis, double min, double max, int ticks)
{
    // Fixed ticks while the range changes: dynamic ticks at the old interval over a new, wider
    // range would lay out hundreds of labels for nothing.
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setRange(min, max);
    const double step = roundStep(max - min, ticks);
    axis->setTickAnchor(std::ceil(min / step) * step);
    axis->setTickInterval(step);
    axis->setTickType(QValueAxis::TicksDynamic);
}

QList<bool> rightAxisCurves(const QList<Quantity> &quantities, bool hasConvertedCurve)
{
    Quantity left = Quantity::Neutral;
    for (const Quantity q : quantities) {
        if (hasConvertedCurve || q != Quantity::Neutral) {
            left = q;
            break;
        }
    }
    QList<bool> right;
    for (const Quantity q : quantities)
        right.append(q != Quantity::Neutral && q != left);
    return right;
}

QString unitOf(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Swr:
        return QCoreApplication::translate("CurveChart", "SWV");
    case Quantity::Level:
        return QCoreApplication::translate("CurveChart", "dB");
    case Quantity::Neutral:
        break;
    }
    return QString();
}

QString axisTitle(const QList<Quantity> &quantities)
{
    Quantity named = Quantity::Neutral;
    for (const Quantity q : quantities) {
        if (q == Quantity::Neutral)
            continue;
        if (named != Quantity::Neutral && q != named)
            return QCoreApplication::translate("CurveChart", "Wert");
        named = q;
    }
    return named == Quantity::Neutral ? QCoreApplication::translate("CurveChart", "Wert")
                                      : unitOf(named);
}

namespace {

// The part of the segment from a to b within the rectangle (Liang and Barsky's way): the
// parameters t0 <= t1 of its ends along the segment, or false when nothing of it lies within.
bool clipSegment(const QPointF &a, const QPointF &b, const QRectF &r, double &t0, double &t1)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

} // namespace

QList<QList<QPointF>> clippedLine(const QList<QPointF> &points, const QRectF &within)
{
    QList<QList<QPointF>> parts;
    QList<QPointF> part;
    const auto endPart = [&] {
        if (part.size() > 1)
            parts.append(part);
        part.clear();
    };
    for (qsizetype i = 0; i + 1 < points.size(); ++i) {
        const QPointF &a = points.at(i);
        const QPointF &b = points.at(i + 1);
        double t0 = 0;
        double t1 = 0;
        if (!std::isfinite(a.y()) || !std::isfinite(b.y()) || !clipSegment(a, b, within, t0, t1)) {
            endPart();
            continue;
        }
        const QPointF from = t0 > 0 ? a + (b - a) * t0 : a;
        if (part.isEmpty() || t0 > 0) {
            endPart();
            part.append(from);
        }
        part.append(t1 < 1 ? a + (b - a) * t1 : b);
        if (t1 < 1)
            endPart();
    }
    endPart();
    return parts;
}

} // namespace ChartScale
