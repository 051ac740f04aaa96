#pragma once

#include "core/CurveRecord.h"

#include <QCoreApplication>
#include <QString>

// What a curve's values are: levels in dB, SWR values, or of no known unit (a new curve file
// carries none).
enum class Quantity { Level, Swr, Neutral };

// The quantity of the record's converted curve, from its type.
Quantity quantityOf(const CurveRecord &record);

// The markers a person reads off a curve: for an SWR curve the minimum and the band where the
// SWR stays at or below 2 around it; for a level curve the maximum and the band within 3 dB of
// it; for a curve of no known unit its minimum and maximum. Band edges are interpolated
// linearly between the two points that enclose the threshold.
class CurveMarkers
{
    Q_DECLARE_TR_FUNCTIONS(CurveMarkers)

public:
    static constexpr double kSwrLimit = 2.0;
    static constexpr double kLevelDrop = 3.0; // dB below the maximum

    struct Point
    {
        int index = -1; // -1: no finite value at all
        double frequency = 0;
        double value = 0;
    };
    struct Edge
    {
        double frequency = 0;
        bool outsideSweep = false; // the band reaches the first or last point and may go on
    };

    Quantity quantity = Quantity::Neutral;
    // The minimum (SWR, no unit) or the maximum (level).
    Point extreme;
    // For a curve of no unit: its maximum.
    Point other;
    bool hasBand = false;
    double threshold = 0; // the value at both band edges
    Edge from;
    Edge to;

    // The markers of n points: frequencies f (MHz, rising or falling) and values v. Values
    // that are not finite are never an extreme and never inside a band; from is the band's
    // lower edge by frequency.
    static CurveMarkers compute(const double *f, const double *v, int n, Quantity quantity);

    // One line, in the German number format: values with two decimals, frequencies with
    // frequencyDecimals decimals, for example "Minimum 1,23 SWV bei 3,650 MHz; SWV <= 2 von
    // 3,520 bis 3,810 MHz (290 kHz)".
    QString text(int frequencyDecimals) const;
};

// The decimals of a frequency in MHz that tell two points of the sweep step apart and show the
// step itself whole (0 to 6): 0.025 MHz needs 3, 0.25 needs 2, 1 needs none.
int frequencyDecimals(double stepMHz);

// The number with a decimal comma, no digit grouping and the given decimals; never "-0,00".
QString germanFixed(double value, int decimals);
