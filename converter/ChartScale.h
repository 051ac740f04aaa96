#pragma once

#include "core/CurveMarkers.h"

#include <QList>
#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QString>

class QValueAxis;

// What the plot's axes need, for the window and the saved pictures alike: ranges with room
// around the curves, tick steps a person reads at a glance, the numbers in the program's
// language, which curve is drawn against which value axis, and the pieces of a line that lie
// within the plot.
namespace ChartScale {

// The number with so many decimals in that locale; never "-0,00".
QString fixed(const QLocale &locale, double value, int decimals);

// A tick step of 1, 2 or 5 times a power of ten, giving at most so many ticks over the span and
// no fewer than two fifths of them.
double roundStep(double span, int ticks = 10);
// min and max widened by margin of their span, so that a flat curve, or none, still gets one.
void keepSpan(double &min, double &max, double margin);
// Sets the axis to [min, max] with at most so many ticks, at round steps.
void setAxisRange(QValueAxis *axis, double min, double max, int ticks = 10);

// Which value axis each curve is drawn against, by the unit its header names: one axis for
// all by default. The left axis takes the unit of the converted curve, or else the first unit
// a curve names; a curve of no unit shares it; only a curve whose unit differs from the left
// one goes to the right axis. Returns true for the curves on the right.
QList<bool> rightAxisCurves(const QList<Quantity> &quantities, bool hasConvertedCurve);
// The title of an axis that shows curves of these units: their unit when the curves naming
// one agree, else "Wert".
QString axisTitle(const QList<Quantity> &quantities);
// The unit a value of that quantity is read in; empty for none.
QString unitOf(Quantity quantity);

// The parts of a line (points ascending in x) that lie within the rectangle, cut where they
// cross its border: drawn on their own, they show exactly what a clip would leave.
QList<QList<QPointF>> clippedLine(const QList<QPointF> &points, const QRectF &within);

} // namespace ChartScale
