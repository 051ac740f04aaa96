#include "core/ChannelConversion.h"

#include "core/Diagnostics.h"
#include "core/NumberText.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kKHzPerMHz = 1000000.0;
constexpr double kHzPerTableEntry = 60000.0;
constexpr int kLastEntry = kMaxOldSteps - 1; // 9998
constexpr double kAudioFactor = 0.03125;
// A linear level never goes below this (the logarithm of zero or less has no value).
constexpr double kLinearFloor = -200.0;

bool diagnosticsOn()
{
    return converterDiagnostics().isDebugEnabled();
}

// Table index of a frequency: rounded half away from zero, and clamped while still a double so
// that no frequency, however large or negative, can leave the table.
int tableIndex(const OldCurve &k, double fHz, int maxDigits)
{
    const double index = std::round(fHz / k.frequencyDivisor / kHzPerTableEntry);
    if (!(index > 0))
        return 0;
    if (index > maxDigits)
        return maxDigits;
    return int(index);
}

double entry(const std::array<double, kMaxOldSteps> &table, const OldCurve &k, double fHz)
{
    return table[std::size_t(tableIndex(k, fHz, kLastEntry))];
}

double logSwr(double value)
{
    if (diagnosticsOn())
        qCDebug(converterDiagnostics) << value;
    return value;
}

double linearLevel(double v)
{
    if (v <= -100.0)
        return kLinearFloor;
    return std::max(20.0 * std::log10((v + 100.0) / 100.0), kLinearFloor);
}

// One channel as the conversion reads it.
struct Channel
{
    const std::array<quint32, kMaxOldSteps> &k;
    double factor;
    double shift;
    bool linear;
    bool audio;
    double (*levelCorrection)(const OldCurve &, double);
    double (*swrCorrection)(const OldCurve &, double);
    std::array<double, kMaxNewPoints> &value;
};

// Fills one channel's values of the new curve, taking every indexDivisor-th sample.
void convertChannel(const Channel &channel, CurveRecord &record, double indexDivisor)
{
    const OldCurve &k = record.oldCurve;
    const SweepGrid &w = record.sweepGrid;
    for (int i = 0; i < record.pointCount; ++i) {
        const int j = std::min(int(indexDivisor * i), kMaxOldSteps - 1);
        const double f = j * w.stepMHz + w.startMHz;
        record.frequency[std::size_t(i)] = f;
        const double n = channel.k[std::size_t(j)];
        const double v = channel.factor * n + channel.shift;
        double value = v;
        switch (k.curveType) {
        case CurveTypeSweep:
            if (channel.audio)
                value = n * kAudioFactor * channel.factor + channel.shift;
            else if (channel.linear)
                value = linearLevel(v);
            else
                value = v - channel.levelCorrection(k, f * kKHzPerMHz);
            break;
        case CurveTypeSwr:
        case CurveTypeAntennaSwr:
            value = v - channel.swrCorrection(k, f * kKHzPerMHz);
            break;
        default: // SAV curves get the plain channel value
            break;
        }
        channel.value[std::size_t(i)] = value;
    }
}

} // namespace

double levelCorrection1(const OldCurve &oldCurve, double fHz)
{
    return entry(oldCurve.levelTable1, oldCurve, fHz);
}

double levelCorrection2(const OldCurve &oldCurve, double fHz)
{
    return entry(oldCurve.levelTable2, oldCurve, fHz);
}

double swrCorrection1(const OldCurve &oldCurve, double fHz)
{
    // Mean of the five entries around the index; near entry 0 only of those that exist.
    const int middle = tableIndex(oldCurve, fHz, kLastEntry - 2);
    const int from = std::max(middle - 2, 0);
    const int to = middle + 2;
    double sum = 0;
    for (int i = from; i <= to; ++i)
        sum += oldCurve.swrTable1[std::size_t(i)];
    return logSwr(sum / (to - from + 1));
}

double swrCorrection2(const OldCurve &oldCurve, double fHz)
{
    return logSwr(entry(oldCurve.swrTable2, oldCurve, fHz));
}

QString cleanDescription(QString b)
{
    b.replace(QLatin1Char(' '), QLatin1Char('_'));
    b.remove(QLatin1String(";no_label"));
    for (const char c : {'+', '-', '\\', '/', ':', ';'})
        b.replace(QLatin1Char(c), QLatin1Char('_'));
    b.remove(QLatin1String(".hfd"));
    return b;
}

bool convertCurve(CurveRecord &record)
{
    const OldCurve &k = record.oldCurve;
    if (k.curveType == CurveTypeImpedance)
        return false;
    const bool diagnostics = diagnosticsOn();
    SweepGrid &w = record.sweepGrid;
    w.startMHz = k.startHz / kKHzPerMHz;
    w.stepMHz = k.stepHz / kKHzPerMHz;

    const double indexDivisor =
        k.stepCount <= kMaxNewPoints ? 1.0 : double(k.stepCount) / kMaxNewPoints;
    if (diagnostics)
        qCDebug(converterDiagnostics) << "idxteiler" << indexDivisor;
    w.steps = std::min(qint32(double(k.stepCount) / indexDivisor), qint32(kMaxNewPoints));
    if (diagnostics)
        qCDebug(converterDiagnostics) << "wobbelgrunddaten.schritte" << w.steps;
    record.pointCount = w.steps;
    record.channel1Ok = true;
    record.channel2Ok = true;

    const Channel channels[] = {
        {k.samples1, k.factor1, k.shift1, k.linear1, false, levelCorrection1, swrCorrection1,
         record.value1},
        {k.samples2, k.factor2, k.shift2, k.linear2, k.audioSweep, levelCorrection2, swrCorrection2,
         record.value2},
    };
    for (const Channel &channel : channels)
        convertChannel(channel, record, indexDivisor);
    record.description = cleanDescription(record.description);
    return true;
}

QString convertedCurveProblem(const CurveRecord &record)
{
    if (record.pointCount <= 0)
        return QCoreApplication::translate("ChannelConversion", "keine Messpunkte");
    const int points = std::min(int(record.pointCount), kMaxNewPoints);
    const bool written[] = {record.channel1Ok, record.channel2Ok};
    const std::array<double, kMaxNewPoints> *values[] = {&record.value1, &record.value2};
    for (int i = 0; i < points; ++i) {
        if (!NumberText::representable(record.frequency[std::size_t(i)])) {
            return QCoreApplication::translate("ChannelConversion",
                                               "Punkt %1: Frequenz nicht darstellbar")
                .arg(i + 1);
        }
    }
    for (int k = 0; k < 2; ++k) {
        for (int i = 0; written[k] && i < points; ++i) {
            if (!NumberText::representable((*values[k])[std::size_t(i)])) {
                return QCoreApplication::translate("ChannelConversion",
                                                   "Kanal %1, Punkt %2: Wert nicht darstellbar")
                    .arg(k + 1)
                    .arg(i + 1);
            }
        }
    }
    return QString();
}
