#include "core/CurveMarkers.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QLocale german()
{
    QLocale locale(QLocale::German, QLocale::Germany);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// Where the line from the point inside the band to the one outside it crosses the threshold;
// the inside point's frequency when the outside value is no number.
double crossing(double fInside, double vInside, double fOutside, double vOutside, double threshold)
{
    if (!std::isfinite(vOutside) || vOutside == vInside)
        return fInside;
    const double t = std::clamp((threshold - vInside) / (vOutside - vInside), 0.0, 1.0);
    // Between the two points, whatever the rounding: with values of very different size, t
    // rounds to 1 and the sum may land a little beyond fOutside.
    return std::clamp(fInside + t * (fOutside - fInside), std::min(fInside, fOutside),
                      std::max(fInside, fOutside));
}

} // namespace

Quantity quantityOf(const CurveRecord &record)
{
    const qint32 type = record.oldCurve.curveType;
    return type == CurveTypeSwr || type == CurveTypeAntennaSwr ? Quantity::Swr : Quantity::Level;
}

CurveMarkers CurveMarkers::compute(const double *f, const double *v, int n, Quantity quantity)
{
    CurveMarkers m;
    m.quantity = quantity;
    const bool highest = quantity == Quantity::Level;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(v[i]))
            continue;
        Point &p = m.extreme;
        if (p.index < 0 || (highest ? v[i] > p.value : v[i] < p.value))
            p = {i, f[i], v[i]};
        if (m.other.index < 0 || v[i] > m.other.value)
            m.other = {i, f[i], v[i]};
    }
    if (quantity == Quantity::Neutral || m.extreme.index < 0)
        return m;
    m.other = Point();

    m.threshold = highest ? m.extreme.value - kLevelDrop : kSwrLimit;
    const auto inBand = [&](int i) {
        return std::isfinite(v[i]) && (highest ? v[i] >= m.threshold : v[i] <= m.threshold);
    };
    const int e = m.extreme.index;
    if (!inBand(e))
        return m;
    m.hasBand = true;
    int lo = e;
    while (lo > 0 && inBand(lo - 1))
        --lo;
    int hi = e;
    while (hi + 1 < n && inBand(hi + 1))
        ++hi;
    m.from.outsideSweep = lo == 0;
    m.from.frequency = lo == 0 ? f[0] : crossing(f[lo], v[lo], f[lo - 1], v[lo - 1], m.threshold);
    m.to.outsideSweep = hi == n - 1;
    m.to.frequency =
        hi == n - 1 ? f[hi] : crossing(f[hi], v[hi], f[hi + 1], v[hi + 1], m.threshold);
    // A falling sweep (an old file with a negative step) ends its band at the lower frequency:
    // the edges are named by frequency, not by their place in the file.
    if (f[lo] > f[hi])
        std::swap(m.from, m.to);
    return m;
}

QString CurveMarkers::text(int decimals) const
{
    if (extreme.index < 0)
        return tr("keine Messwerte");
    const auto mhz = [decimals](double f) { return germanFixed(f, decimals); };
    if (quantity == Quantity::Neutral) {
        return tr("Minimum %1 bei %2 MHz; Maximum %3 bei %4 MHz")
            .arg(germanFixed(extreme.value, 2), mhz(extreme.frequency), germanFixed(other.value, 2),
                 mhz(other.frequency));
    }
    const bool swr = quantity == Quantity::Swr;
    QString line = swr ? tr("Minimum %1 SWV bei %2 MHz")
                             .arg(germanFixed(extreme.value, 2), mhz(extreme.frequency))
                       : tr("Maximum %1 dB bei %2 MHz")
                             .arg(germanFixed(extreme.value, 2), mhz(extreme.frequency));
    if (!hasBand)
        return line + QLatin1String("; ") + tr("kein Bereich mit SWV <= 2");
    const double width = to.frequency - from.frequency;
    const QString bandWidth =
        width < 1 ? tr("%1 kHz").arg(germanFixed(width * 1000, std::max(0, decimals - 3)))
                  : tr("%1 MHz").arg(mhz(width));
    line += QLatin1String("; ") +
            (swr ? tr("SWV <= 2 von %1 bis %2 MHz (%3)") : tr("-3 dB von %1 bis %2 MHz (%3)"))
                .arg(mhz(from.frequency), mhz(to.frequency), bandWidth);
    if (from.outsideSweep && to.outsideSweep)
        line += QLatin1String("; ") + tr("beide Bandenden liegen ausserhalb des Sweeps");
    else if (from.outsideSweep)
        line += QLatin1String("; ") + tr("das untere Bandende liegt ausserhalb des Sweeps");
    else if (to.outsideSweep)
        line += QLatin1String("; ") + tr("das obere Bandende liegt ausserhalb des Sweeps");
    return line;
}

int frequencyDecimals(double stepMHz)
{
    constexpr int most = 6;
    stepMHz = std::abs(stepMHz); // a falling sweep has a negative step
    if (!(stepMHz > 0) || !std::isfinite(stepMHz))
        return 3;
    const int decimals = std::clamp(int(std::ceil(-std::log10(stepMHz) - 1e-9)), 0, most);
    // A step with a second digit (25 kHz, 250 kHz) is shown whole: 3,675 MHz, not 3,68.
    const double scaled = stepMHz * std::pow(10.0, decimals);
    const bool whole = std::abs(scaled - std::round(scaled)) <= 1e-6 * scaled;
    return std::min(decimals + (whole ? 0 : 1), most);
}

QString germanFixed(double value, int decimals)
{
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0; // no "-0,00"
    return german().toString(value, 'f', decimals);
}
