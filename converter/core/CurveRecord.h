#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// Glossary: the German names the old program and the old curve file's fields go by, and ours.
//   Old curve (KurveAlt -> OldCurve; the record's kurvealt -> oldCurve):
//     k1, k2 -> samples1, samples2          frqanfang -> startHz
//     frqschrittweite -> stepHz             frqschritte -> stepCount
//     faktor1, faktor2 -> factor1, factor2  frqteiler -> frequencyDivisor
//     kurventyp -> curveType                audionf -> audioSweep
//     korrswv1, korrswv2 -> swrTable1, swrTable2
//     korrlog1, korrlog2 -> levelTable1, levelTable2
//     (shift1, shift2, linear1, linear2 keep their names)
//   Curve types (Kurventyp -> CurveType): KurventypWobbel -> CurveTypeSweep, KurventypSwv ->
//     CurveTypeSwr, KurventypSwvAntenne -> CurveTypeAntennaSwr, KurventypImpedanz ->
//     CurveTypeImpedance, KurventypSav -> CurveTypeSav
//   Converted curve (CurveRecord):
//     beschreibung -> description           kurventypname -> curveTypeName
//     punkte -> pointCount                  frequenz -> frequency
//     wert1, wert2 -> value1, value2        kanal1ok, kanal2ok -> channel1Ok, channel2Ok
//     wobbelgrunddaten (Wobbelgrunddaten) -> sweepGrid (SweepGrid): schritte -> steps,
//     schrittweite -> stepMHz, anfang -> startMHz
//   Capacities: kAltSchritteMax -> kMaxOldSteps, kNeuPunkteMax -> kMaxNewPoints
//   Steps: kurveAltLesen -> OldCurveFile::readOldCurve, kurveAltOeffnen -> openOldCurve,
//     versioncode -> versionCode, kurveKonvertieren -> convertCurve, beschreibungBereinigen ->
//     cleanDescription, korrLog1/2 -> levelCorrection1/2, korrSwv1/2 -> swrCorrection1/2,
//     kurveNeuSpeichern -> NewCurveFile::saveNewCurveAllOrNone, kurveLoeschen -> clearCurve

// The converter's whole data model: one old two-channel curve as read from an old curve file
// (".hfd"), and the two new curves derived from it. All capacities are fixed; the record is about
// 400 KB, so hold it as a member or allocate it once, never on a small stack in a loop.

// Capacity of the old file's sample arrays and correction tables.
constexpr int kMaxOldSteps = 9999;
// Capacity of the converted curve: points per channel.
constexpr int kMaxNewPoints = 2001;

// The old file's header, its raw samples and its correction tables.
struct OldCurve
{
    std::array<quint32, kMaxOldSteps> samples1{};
    std::array<quint32, kMaxOldSteps> samples2{};
    double startHz = 0; // Hz
    double stepHz = 0;  // Hz
    qint32 stepCount = 0;
    double factor1 = 0;
    double shift1 = 0;
    double factor2 = 0;
    double shift2 = 0;
    bool linear1 = false;
    bool linear2 = false;
    // Divisor applied to a frequency before a correction-table index is formed; always 1.
    qint32 frequencyDivisor = 1;
    // 0 sweep, 1 SWR, 2 antenna SWR, 3 impedance, 4 SAV.
    qint32 curveType = 0;
    // Audio-frequency sweep: channel-2 counts are scaled by 1/32.
    bool audioSweep = false;
    std::array<double, kMaxOldSteps> swrTable1{};
    std::array<double, kMaxOldSteps> swrTable2{};
    std::array<double, kMaxOldSteps> levelTable1{};
    std::array<double, kMaxOldSteps> levelTable2{};
};

// Start, step width and number of the converted points.
struct SweepGrid
{
    qint32 steps = 0;
    double stepMHz = 0;  // MHz
    double startMHz = 0; // MHz
};

enum CurveType : qint32 {
    CurveTypeSweep = 0,
    CurveTypeSwr = 1,
    CurveTypeAntennaSwr = 2,
    CurveTypeImpedance = 3,
    CurveTypeSav = 4,
};

struct CurveRecord
{
    OldCurve oldCurve;
    // The chosen file's path followed by the file's label; becomes the file-name base.
    QString description;
    QString curveTypeName;
    qint32 pointCount = 0;
    std::array<double, kMaxNewPoints> frequency{}; // MHz
    std::array<double, kMaxNewPoints> value1{};
    std::array<double, kMaxNewPoints> value2{};
    bool channel1Ok = false;
    bool channel2Ok = false;
    SweepGrid sweepGrid;

    // Resets the record before a file is opened and after a save: start frequency, samples,
    // tables, type and flags become zero. Scales, offsets, step count, description and the
    // converted curve are left as they are (the reader and the conversion overwrite them).
    void clearCurve();
};
