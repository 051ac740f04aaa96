#include "ChannelConversion.h"

#include "Diagnostics.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHzProMHz = 1000000.0;
constexpr double kHzProTabelleneintrag = 60000.0;
constexpr int kLetzterEintrag = kAltSchritteMax - 1; // 9998
constexpr double kAudioFaktor = 0.03125;
// A linear level never goes below this (the logarithm of zero or less has no value).
constexpr double kLinearBoden = -200.0;

bool diagnoseAn()
{
    return converterDiagnostics().isDebugEnabled();
}

// Table index of a frequency: rounded half away from zero, and clamped while still a double so
// that no frequency, however large or negative, can leave the table.
int tabellenIndex(const KurveAlt &k, double fHz, int hoechstens)
{
    const double index = std::round(fHz / k.frqteiler / kHzProTabelleneintrag);
    if (!(index > 0))
        return 0;
    if (index > hoechstens)
        return hoechstens;
    return int(index);
}

double eintrag(const std::array<double, kAltSchritteMax> &tabelle, const KurveAlt &k, double fHz)
{
    return tabelle[std::size_t(tabellenIndex(k, fHz, kLetzterEintrag))];
}

double swvMelden(double wert)
{
    if (diagnoseAn())
        qCDebug(converterDiagnostics) << wert;
    return wert;
}

double linearPegel(double v)
{
    if (v <= -100.0)
        return kLinearBoden;
    return std::max(20.0 * std::log10((v + 100.0) / 100.0), kLinearBoden);
}

// One channel as the conversion reads it.
struct Kanal
{
    const std::array<quint32, kAltSchritteMax> &k;
    double faktor;
    double shift;
    bool linear;
    bool audio;
    double (*korrLog)(const KurveAlt &, double);
    double (*korrSwv)(const KurveAlt &, double);
    std::array<double, kNeuPunkteMax> &wert;
};

// Fills one channel's values of the new curve, taking every idxteiler-th sample.
void kanalUmrechnen(const Kanal &kanal, CurveRecord &record, double idxteiler)
{
    const KurveAlt &k = record.kurvealt;
    const Wobbelgrunddaten &w = record.wobbelgrunddaten;
    for (int i = 0; i < record.punkte; ++i) {
        const int j = std::min(int(idxteiler * i), kAltSchritteMax - 1);
        const double f = j * w.schrittweite + w.anfang;
        record.frequenz[std::size_t(i)] = f;
        const double n = kanal.k[std::size_t(j)];
        const double v = kanal.faktor * n + kanal.shift;
        double wert = v;
        switch (k.kurventyp) {
        case KurventypWobbel:
            if (kanal.audio)
                wert = n * kAudioFaktor * kanal.faktor + kanal.shift;
            else if (kanal.linear)
                wert = linearPegel(v);
            else
                wert = v - kanal.korrLog(k, f * kHzProMHz);
            break;
        case KurventypSwv:
        case KurventypSwvAntenne:
            wert = v - kanal.korrSwv(k, f * kHzProMHz);
            break;
        default: // SAV curves get the plain channel value
            break;
        }
        kanal.wert[std::size_t(i)] = wert;
    }
}

} // namespace

double korrLog1(const KurveAlt &kurvealt, double fHz)
{
    return eintrag(kurvealt.korrlog1, kurvealt, fHz);
}

double korrLog2(const KurveAlt &kurvealt, double fHz)
{
    return eintrag(kurvealt.korrlog2, kurvealt, fHz);
}

double korrSwv1(const KurveAlt &kurvealt, double fHz)
{
    // Mean of the five entries around the index; near entry 0 only of those that exist.
    const int mitte = tabellenIndex(kurvealt, fHz, kLetzterEintrag - 2);
    const int von = std::max(mitte - 2, 0);
    const int bis = mitte + 2;
    double summe = 0;
    for (int i = von; i <= bis; ++i)
        summe += kurvealt.korrswv1[std::size_t(i)];
    return swvMelden(summe / (bis - von + 1));
}

double korrSwv2(const KurveAlt &kurvealt, double fHz)
{
    return swvMelden(eintrag(kurvealt.korrswv2, kurvealt, fHz));
}

QString beschreibungBereinigen(QString b)
{
    b.replace(QLatin1Char(' '), QLatin1Char('_'));
    b.remove(QLatin1String(";no_label"));
    for (const char c : {'+', '-', '\\', '/', ':', ';'})
        b.replace(QLatin1Char(c), QLatin1Char('_'));
    b.remove(QLatin1String(".hfd"));
    return b;
}

bool kurveKonvertieren(CurveRecord &record)
{
    const KurveAlt &k = record.kurvealt;
    if (k.kurventyp == KurventypImpedanz)
        return false;
    const bool diagnose = diagnoseAn();
    Wobbelgrunddaten &w = record.wobbelgrunddaten;
    w.anfang = k.frqanfang / kHzProMHz;
    w.schrittweite = k.frqschrittweite / kHzProMHz;

    const double idxteiler =
        k.frqschritte <= kNeuPunkteMax ? 1.0 : double(k.frqschritte) / kNeuPunkteMax;
    if (diagnose)
        qCDebug(converterDiagnostics) << "idxteiler" << idxteiler;
    w.schritte = std::min(qint32(double(k.frqschritte) / idxteiler), qint32(kNeuPunkteMax));
    if (diagnose)
        qCDebug(converterDiagnostics) << "wobbelgrunddaten.schritte" << w.schritte;
    record.punkte = w.schritte;
    record.kanal1ok = true;
    record.kanal2ok = true;

    const Kanal kanaele[] = {
        {k.k1, k.faktor1, k.shift1, k.linear1, false, korrLog1, korrSwv1, record.wert1},
        {k.k2, k.faktor2, k.shift2, k.linear2, k.audionf, korrLog2, korrSwv2, record.wert2},
    };
    for (const Kanal &kanal : kanaele)
        kanalUmrechnen(kanal, record, idxteiler);
    record.beschreibung = beschreibungBereinigen(record.beschreibung);
    return true;
}

QString convertedCurveProblem(const CurveRecord &record)
{
    if (record.punkte <= 0)
        return QCoreApplication::translate("ChannelConversion", "keine Messpunkte");
    const int punkte = std::min(int(record.punkte), kNeuPunkteMax);
    const bool geschrieben[] = {record.kanal1ok, record.kanal2ok};
    const std::array<double, kNeuPunkteMax> *werte[] = {&record.wert1, &record.wert2};
    for (int i = 0; i < punkte; ++i) {
        if (!std::isfinite(record.frequenz[std::size_t(i)])) {
            return QCoreApplication::translate("ChannelConversion",
                                               "Punkt %1: Frequenz nicht darstellbar")
                .arg(i + 1);
        }
    }
    for (int k = 0; k < 2; ++k) {
        for (int i = 0; geschrieben[k] && i < punkte; ++i) {
            if (!std::isfinite((*werte[k])[std::size_t(i)])) {
                return QCoreApplication::translate("ChannelConversion",
                                                   "Kanal %1, Punkt %2: Wert nicht darstellbar")
                    .arg(k + 1)
                    .arg(i + 1);
            }
        }
    }
    return QString();
}
