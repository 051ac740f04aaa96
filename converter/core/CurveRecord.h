#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// The converter's whole data model: one old two-channel curve as read from an old curve file
// (".hfd"), and the two new curves derived from it. All capacities are fixed; the record is about
// 400 KB, so hold it as a member or allocate it once, never on a small stack in a loop.

// Capacity of the old file's sample arrays and correction tables.
constexpr int kAltSchritteMax = 9999;
// Capacity of the converted curve: points per channel.
constexpr int kNeuPunkteMax = 2001;

// The old file's header, its raw samples and its correction tables.
struct KurveAlt
{
    std::array<quint32, kAltSchritteMax> k1{};
    std::array<quint32, kAltSchritteMax> k2{};
    double frqanfang = 0;       // Hz
    double frqschrittweite = 0; // Hz
    qint32 frqschritte = 0;
    double faktor1 = 0;
    double shift1 = 0;
    double faktor2 = 0;
    double shift2 = 0;
    bool linear1 = false;
    bool linear2 = false;
    // Divisor applied to a frequency before a correction-table index is formed; always 1.
    qint32 frqteiler = 1;
    // 0 sweep, 1 SWR, 2 antenna SWR, 3 impedance, 4 SAV.
    qint32 kurventyp = 0;
    // Audio-frequency sweep: channel-2 counts are scaled by 1/32.
    bool audionf = false;
    std::array<double, kAltSchritteMax> korrswv1{};
    std::array<double, kAltSchritteMax> korrswv2{};
    std::array<double, kAltSchritteMax> korrlog1{};
    std::array<double, kAltSchritteMax> korrlog2{};
};

// Start, step width and number of the converted points.
struct Wobbelgrunddaten
{
    qint32 schritte = 0;
    double schrittweite = 0; // MHz
    double anfang = 0;       // MHz
};

enum Kurventyp : qint32 {
    KurventypWobbel = 0,
    KurventypSwv = 1,
    KurventypSwvAntenne = 2,
    KurventypImpedanz = 3,
    KurventypSav = 4,
};

struct CurveRecord
{
    KurveAlt kurvealt;
    // The chosen file's path followed by the file's label; becomes the file-name base.
    QString beschreibung;
    QString kurventypname;
    qint32 punkte = 0;
    std::array<double, kNeuPunkteMax> frequenz{}; // MHz
    std::array<double, kNeuPunkteMax> wert1{};
    std::array<double, kNeuPunkteMax> wert2{};
    bool kanal1ok = false;
    bool kanal2ok = false;
    Wobbelgrunddaten wobbelgrunddaten;

    // Resets the record before a file is opened and after a save: start frequency, samples,
    // tables, type and flags become zero. Scales, offsets, step count, description and the
    // converted curve are left as they are (the reader and the conversion overwrite them).
    void kurveLoeschen();
};
