// Fuzzes the old curve file reader through the conversion to the new files' content, as the
// batch mode runs them. Input: the old file's bytes.
// Invariants: a refused file leaves the old-file part of the record cleared, with no value of
// an earlier file, and gives its reason; an accepted file gives, per channel, a new file of
// exactly punkte + 1 lines whose header holds no line break (nor a line or paragraph separator).
#include "OldCurveFile.h"
#include "ChannelConversion.h"
#include "FuzzSupport.h"
#include "NewCurveFile.h"

#include <QLoggingCategory>

#include <cstring>
#include <memory>

namespace {

template <typename T, std::size_t N>
bool gleich(const std::array<T, N> &a, const std::array<T, N> &b)
{
    return std::memcmp(a.data(), b.data(), sizeof a) == 0; // bit for bit, and fast
}

bool gleich(const KurveAlt &a, const KurveAlt &b)
{
    return gleich(a.k1, b.k1) && gleich(a.k2, b.k2) && a.frqanfang == b.frqanfang &&
           a.frqschrittweite == b.frqschrittweite && a.frqschritte == b.frqschritte &&
           a.faktor1 == b.faktor1 && a.shift1 == b.shift1 && a.faktor2 == b.faktor2 &&
           a.shift2 == b.shift2 && a.linear1 == b.linear1 && a.linear2 == b.linear2 &&
           a.frqteiler == b.frqteiler && a.kurventyp == b.kurventyp && a.audionf == b.audionf &&
           gleich(a.korrswv1, b.korrswv1) && gleich(a.korrswv2, b.korrswv2) &&
           gleich(a.korrlog1, b.korrlog1) && gleich(a.korrlog2, b.korrlog2);
}

// Makes the record look as an earlier file left it: no field zero, and the arrays not zero at
// either end (the rest holds what the file read before left there).
void frueheresFileVortaeuschen(CurveRecord &record)
{
    KurveAlt &k = record.kurvealt;
    k.k1.front() = k.k1.back() = 7;
    k.k2.front() = k.k2.back() = 8;
    for (auto *t : {&k.korrswv1, &k.korrswv2, &k.korrlog1, &k.korrlog2})
        t->front() = t->back() = 0.5;
    k.frqanfang = 1e5;
    k.frqschrittweite = 5e4;
    k.frqschritte = 9999;
    k.faktor1 = 0.2;
    k.shift1 = -80;
    k.faktor2 = 0.3;
    k.shift2 = -81;
    k.linear1 = k.linear2 = true;
    k.kurventyp = KurventypSav;
    k.audionf = true;
    record.kurventypname = QStringLiteral("SAV-Kurve");
}

void neueDateiPruefen(const CurveRecord &record, const QString &kopf, int kanal)
{
    const QByteArray inhalt = NewCurveFile::dateiInhalt(kopf, record, kanal);
    invariant(inhalt.endsWith('\n') && inhalt.count('\n') == record.punkte + 1,
              "a new file has punkte + 1 lines, each ending in a line feed");
    const QByteArray kopfzeile = inhalt.left(inhalt.indexOf('\n'));
    invariant(!kopfzeile.contains('\r') && !kopfzeile.contains("\xe2\x80\xa8") &&
                  !kopfzeile.contains("\xe2\x80\xa9"),
              "the header of a new file holds no line break");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The conversion's diagnostic lines would cost more than the conversion.
    static const bool still =
        (QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false")), true);
    Q_UNUSED(still);
    static MemoryFile input;
    static const std::unique_ptr<KurveAlt> geleert = std::make_unique<KurveAlt>();
    static const std::unique_ptr<CurveRecord> record = std::make_unique<CurveRecord>();

    const QString &path = input.write(data, size);
    frueheresFileVortaeuschen(*record);
    record->kurveLoeschen();
    const OldCurveFile::Ergebnis ergebnis = OldCurveFile::kurveAltLesen(path, *record);
    invariant(ergebnis.ok() == (ergebnis.fehler == OldCurveFile::Fehler::Ok),
              "a file is accepted exactly when no reason for a refusal is given");
    if (!ergebnis.ok()) {
        invariant(!ergebnis.grund().isEmpty(), "a refusal gives its reason");
        invariant(gleich(record->kurvealt, *geleert) && record->kurventypname.isEmpty(),
                  "a refused file leaves the old-file part of the record cleared");
        invariant(record->beschreibung == path, "a refused file leaves its path as description");
        return 0;
    }
    const KurveAlt &k = record->kurvealt;
    invariant(k.frqschritte >= 0 && k.frqschritte <= kAltSchritteMax,
              "an accepted file has 0 to 9999 steps");

    OldCurveFile::beschreibungUebernehmen(*record);
    if (!kurveKonvertieren(*record)) {
        invariant(k.kurventyp == KurventypImpedanz, "only an impedance curve is not converted");
        return 0;
    }
    invariant(record->punkte >= 0 && record->punkte <= kNeuPunkteMax &&
                  record->punkte == record->wobbelgrunddaten.schritte,
              "a converted curve has 0 to 2001 points");
    neueDateiPruefen(*record, NewCurveFile::kopf(record->beschreibung, 1), 1);
    neueDateiPruefen(*record, NewCurveFile::kopf(record->beschreibung, 2), 2);
    return 0;
}
