#include "OldCurveFile.h"

#include "Diagnostics.h"
#include "Felder.h"
#include "FileCause.h"

#include <QByteArray>
#include <QCoreApplication>

#include <string_view>

namespace {

constexpr int kTabelle5Laenge = 10000;

// Windows-1252, the old program's code page, without a system codec: 0x80 to 0x9F from this
// table (the five unassigned bytes keep their control characters), the rest as Latin-1.
QString windows1252(std::string_view bytes)
{
    static constexpr char16_t kC1[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar *t = out.data();
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        *t++ = (c >= 0x80 && c < 0xA0) ? QChar(kC1[c - 0x80]) : QChar(c);
    }
    return out;
}

class Text
{
public:
    explicit Text(bool utf8)
        : utf8(utf8)
    {
    }
    QString operator()(std::string_view bytes) const
    {
        return utf8 ? QString::fromUtf8(bytes.data(), qsizetype(bytes.size())) : windows1252(bytes);
    }

private:
    bool utf8;
};

// The old-file part of the record is cleared wholly, so that nothing of a refused file, nor of
// an earlier one, can be converted.
void altTeilLeeren(CurveRecord &record)
{
    record.kurveLoeschen();
    KurveAlt &k = record.kurvealt;
    k.frqschrittweite = 0;
    k.frqschritte = 0;
    k.faktor1 = 0;
    k.shift1 = 0;
    k.faktor2 = 0;
    k.shift2 = 0;
}

// Reads the fields after the version tag; on a refusal fills the reason into ergebnis.
class FeldLeser
{
public:
    FeldLeser(Felder &felder, const Text &text, OldCurveFile::Ergebnis &ergebnis)
        : felder(felder)
        , text(text)
        , ergebnis(ergebnis)
    {
    }

    // One number field, named for the user by name (translated only when it fails).
    template <typename T>
    bool zahl(T &out, const char *name)
    {
        const Lesen gelesen = felder.zahl(out);
        if (gelesen == Lesen::Ok)
            return true;
        return fehler(gelesen, OldCurveFile::tr(name));
    }

    // A failure in field feld: missing, or not a number.
    bool fehler(Lesen gelesen, const QString &feld)
    {
        ergebnis.fehler = gelesen == Lesen::Fehlt ? OldCurveFile::Fehler::EndetVorzeitig
                                                  : OldCurveFile::Fehler::KeineZahl;
        ergebnis.feld = feld;
        if (gelesen == Lesen::KeineZahl) {
            constexpr std::size_t kZeigen = 40; // a hostile word may be megabytes long
            const std::string_view w = felder.letztesWort();
            ergebnis.text = text(w.substr(0, kZeigen));
            if (w.size() > kZeigen)
                ergebnis.text += QStringLiteral("...");
        }
        return false;
    }

    bool lesen(int version, CurveRecord &record);

private:
    // The header values that are taken over only once the kind of curve is known.
    struct Kopf
    {
        double faktor1 = 0, shift1 = 0, faktor2 = 0, shift2 = 0;
        qint32 modus = 0;
    };

    bool kopfLesen(int version, KurveAlt &k, Kopf &kopf);
    bool modusUebernehmen(const Kopf &kopf, CurveRecord &record);
    bool savLesen(int version, qint32 modus);
    bool messwerteLesen(KurveAlt &k);
    bool labelLesen(int version, KurveAlt &k, QString &label);

    Felder &felder;
    const Text &text;
    OldCurveFile::Ergebnis &ergebnis;
};

bool FeldLeser::lesen(int version, CurveRecord &record)
{
    // Versions in file order: 2 "#V3.05", 3 "#V4.04", 4 "#V4.05", 5 "#V4.10".
    Kopf kopf;
    QString label;
    if (!kopfLesen(version, record.kurvealt, kopf) || !modusUebernehmen(kopf, record) ||
        !savLesen(version, kopf.modus) || !messwerteLesen(record.kurvealt) ||
        !labelLesen(version, record.kurvealt, label))
        return false;
    if (label.isEmpty())
        label = QStringLiteral(";no_label");
    if (!label.startsWith(QLatin1Char(';')))
        label.prepend(QLatin1Char(';'));
    if (label.contains(QLatin1String("@;")))
        label.truncate(label.indexOf(QLatin1Char('@')));
    record.beschreibung += label;
    return true;
}

bool FeldLeser::kopfLesen(int version, KurveAlt &k, Kopf &kopf)
{
    using Fehler = OldCurveFile::Fehler;
    if (version == 5) {
        qint32 audio = 0;
        if (!zahl(audio, QT_TRANSLATE_NOOP("OldCurveFile", "Audio-Kennung")))
            return false;
        k.audionf = audio == 1;
    }
    if (!zahl(k.frqanfang, QT_TRANSLATE_NOOP("OldCurveFile", "Startfrequenz")) ||
        !zahl(k.frqschrittweite, QT_TRANSLATE_NOOP("OldCurveFile", "Frequenzschrittweite")) ||
        !zahl(k.frqschritte, QT_TRANSLATE_NOOP("OldCurveFile", "Anzahl der Frequenzschritte")) ||
        !zahl(kopf.faktor1, QT_TRANSLATE_NOOP("OldCurveFile", "Faktor Kanal 1")) ||
        !zahl(kopf.shift1, QT_TRANSLATE_NOOP("OldCurveFile", "Offset Kanal 1")) ||
        !zahl(kopf.faktor2, QT_TRANSLATE_NOOP("OldCurveFile", "Faktor Kanal 2")) ||
        !zahl(kopf.shift2, QT_TRANSLATE_NOOP("OldCurveFile", "Offset Kanal 2")) ||
        !zahl(kopf.modus, QT_TRANSLATE_NOOP("OldCurveFile", "Kurvenart")))
        return false;
    if (k.frqschritte > kAltSchritteMax) {
        ergebnis.fehler = Fehler::ZuVieleSchritte;
        return false;
    }
    if (k.frqschritte < 0) {
        ergebnis.fehler = Fehler::NegativeSchritte;
        ergebnis.text = QString::number(k.frqschritte);
        return false;
    }
    return true;
}

// The header values are taken over only with a known kind of curve.
bool FeldLeser::modusUebernehmen(const Kopf &kopf, CurveRecord &record)
{
    KurveAlt &k = record.kurvealt;
    const qint32 modus = kopf.modus;
    struct Modus
    {
        qint32 kurventyp;
        const char *name;
        bool linear;
    };
    static const Modus modi[] = {
        {KurventypWobbel, QT_TRANSLATE_NOOP("zor2conv", "Wobbel-Kurve-logarithmisch"), false},
        {KurventypSwv, QT_TRANSLATE_NOOP("zor2conv", "SWV-Kurve"), false},
        {KurventypWobbel, QT_TRANSLATE_NOOP("zor2conv", "Wobbel-Kurve-Linear"), true},
        {KurventypSwvAntenne, QT_TRANSLATE_NOOP("zor2conv", "SWV-Antenne-Kurve"), false},
        {KurventypImpedanz, QT_TRANSLATE_NOOP("zor2conv", "Impedanz-Kurve"), false},
        {KurventypSav, QT_TRANSLATE_NOOP("zor2conv", "SAV-Kurve"), false},
    };
    if (modus < 0 || modus > 5) {
        ergebnis.fehler = OldCurveFile::Fehler::UnbekannterModus;
        return false;
    }
    const Modus &m = modi[modus];
    k.faktor1 = kopf.faktor1;
    k.shift1 = kopf.shift1;
    k.faktor2 = kopf.faktor2;
    k.shift2 = kopf.shift2;
    k.kurventyp = m.kurventyp;
    k.linear1 = m.linear;
    k.linear2 = m.linear;
    const char *name =
        (modus == 0 && k.audionf) ? QT_TRANSLATE_NOOP("zor2conv", "Wobbel-Kurve-Audio_NF") : m.name;
    record.kurventypname = QCoreApplication::translate("zor2conv", name);
    return true;
}

// The SAV details of a newer file: read, checked and dropped.
bool FeldLeser::savLesen(int version, qint32 modus)
{
    if (modus == 5 && version >= 3) {
        const char *sav = QT_TRANSLATE_NOOP("OldCurveFile", "SAV-Angaben");
        double wert = 0;
        qint32 ganz = 0;
        for (int i = 0; i < 4; ++i) {
            if (!zahl(wert, sav))
                return false;
        }
        if (!zahl(ganz, sav) || !zahl(ganz, sav))
            return false;
    }
    return true;
}

bool FeldLeser::messwerteLesen(KurveAlt &k)
{
    int kanalNr = 1;
    for (auto *kanal : {&k.k1, &k.k2}) {
        for (qint32 i = 0; i < k.frqschritte; ++i) {
            const Lesen gelesen = felder.zahl((*kanal)[std::size_t(i)]);
            if (gelesen != Lesen::Ok) {
                return fehler(gelesen, OldCurveFile::tr("Kanal %1, Messwert %2 von %3")
                                           .arg(kanalNr)
                                           .arg(i + 1)
                                           .arg(k.frqschritte));
            }
        }
        ++kanalNr;
    }
    return true;
}

// The label (all remaining words of an older file, one word of a newer one) and, in a newer
// file, the correction tables after it.
bool FeldLeser::labelLesen(int version, KurveAlt &k, QString &label)
{
    if (version <= 3) {
        QByteArray woerter;
        while (!felder.amEnde()) {
            const std::string_view w = felder.wort();
            woerter.append(w.data(), qsizetype(w.size()));
        }
        label = text(std::string_view(woerter.constData(), std::size_t(woerter.size())));
    } else {
        const std::string_view wort = felder.wort();
        if (wort.empty())
            return fehler(Lesen::Fehlt, OldCurveFile::tr("Beschriftung"));
        label = text(wort);
        std::array<double, kAltSchritteMax> *tabellen[] = {&k.korrlog1, &k.korrlog2, &k.korrswv1,
                                                           &k.korrswv2};
        for (int t = 0; t < 5; ++t) {
            const int laenge = t < 4 ? kAltSchritteMax : kTabelle5Laenge;
            int index = 0;
            const Lesen gelesen = t < 4 ? felder.tabelle(tabellen[t], laenge, index)
                                        : felder.tabelle<1>(nullptr, laenge, index);
            // The conversion never reads the fifth table: a short one is accepted.
            if (gelesen != Lesen::Ok && !(t == 4 && gelesen == Lesen::Fehlt)) {
                return fehler(gelesen, OldCurveFile::tr("Korrekturtabelle %1, Wert %2 von %3")
                                           .arg(t + 1)
                                           .arg(index + 1)
                                           .arg(laenge));
            }
        }
    }
    return true;
}

} // namespace

OldCurveFile::Ergebnis OldCurveFile::kurveAltLesen(const QString &path, CurveRecord &record)
{
    Ergebnis ergebnis;
    altTeilLeeren(record); // before any refusal, also one for a file that cannot be opened
    record.beschreibung = Platform::nameAsText(path); // the decoded text, as shown
    const Platform::ReadResult gelesen = Platform::readRegularFile(path, kGroesseMax);
    ergebnis.datei = gelesen.status;
    if (!gelesen.ok()) {
        ergebnis.fehler = gelesen.tooLarge ? Fehler::ZuGross : Fehler::NichtLesbar;
        return ergebnis;
    }
    std::string_view data(gelesen.data.constData(), std::size_t(gelesen.data.size()));
    if (data.substr(0, 3) == "\xEF\xBB\xBF")
        data.remove_prefix(3); // a byte-order mark, as editors put before UTF-8 text
    // Well-formed UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
    const Text text(QByteArrayView(data.data(), qsizetype(data.size())).isValidUtf8());
    Felder felder(data.data(), data.data() + data.size());
    const std::string_view tag = felder.wort();
    static const std::string_view tags[] = {"#V3.05", "#V4.04", "#V4.05", "#V4.10"};
    int version = 1;
    for (int i = 0; i < 4; ++i) {
        if (tag == tags[i])
            version = i + 2;
    }
    if (version == 1) {
        ergebnis.fehler = Fehler::KeinAltformat;
        return ergebnis;
    }

    if (!FeldLeser(felder, text, ergebnis).lesen(version, record)) {
        altTeilLeeren(record);
        record.beschreibung = Platform::nameAsText(path); // the decoded text, as shown
        return ergebnis;
    }
    ergebnis.fehler = Fehler::Ok;
    ergebnis.versioncode = version;
    return ergebnis;
}

QString OldCurveFile::Ergebnis::grund() const
{
    using Platform::FileKind;
    switch (fehler) {
    case Fehler::Ok:
        break;
    case Fehler::NichtLesbar:
        switch (datei.kind) {
        case FileKind::Missing:
        case FileKind::Regular:
            if (datei.result.error == Platform::FileError::NotFound || datei.result.ok())
                return OldCurveFile::tr("Datei nicht gefunden");
            if (datei.result.error == Platform::FileError::NoPermission)
                return OldCurveFile::tr("keine Leseberechtigung");
            return OldCurveFile::tr("Datei kann nicht gelesen werden: %1")
                .arg(FileCause::text(datei.result));
        case FileKind::DanglingLink:
            return OldCurveFile::tr("die Verknuepfung zeigt auf keine vorhandene Datei");
        case FileKind::Folder:
            return OldCurveFile::tr("ist ein Ordner, keine Datei");
        case FileKind::Fifo:
            return OldCurveFile::tr("ist eine FIFO (benannte Pipe), keine Datei");
        case FileKind::Device:
            return OldCurveFile::tr("ist ein Geraet, keine Datei");
        case FileKind::Socket:
            return OldCurveFile::tr("ist ein Socket, keine Datei");
        case FileKind::Other:
            return FileCause::notRegularFile();
        }
        break;
    case Fehler::ZuGross:
        return OldCurveFile::tr("Datei zu gross (%1 Bytes, hoechstens %2 MB)")
            .arg(datei.size)
            .arg(kGroesseMax / (1024 * 1024));
    case Fehler::KeinAltformat:
        return OldCurveFile::tr("keine Kurvendatei im alten Format");
    case Fehler::ZuVieleSchritte:
        return OldCurveFile::tr("zu viele Frequenzschritte (hoechstens 9999)");
    case Fehler::NegativeSchritte:
        return OldCurveFile::tr("negative Anzahl der Frequenzschritte (%1)").arg(text);
    case Fehler::UnbekannterModus:
        return OldCurveFile::tr("unbekannte Kurvenart");
    case Fehler::KeineZahl:
        return OldCurveFile::tr("das Feld \"%1\" enthaelt keine gueltige Zahl: \"%2\"")
            .arg(feld, text);
    case Fehler::EndetVorzeitig:
        return OldCurveFile::tr("Datei endet vorzeitig, es fehlt: %1").arg(feld);
    }
    return QString();
}

void OldCurveFile::beschreibungUebernehmen(CurveRecord &record)
{
    record.beschreibung.replace(QLatin1Char('_'), QLatin1Char(' '));
}

OldCurveFile::Ergebnis OldCurveFile::kurveAltOeffnen(const QString &path, CurveRecord &record)
{
    const Ergebnis ergebnis = kurveAltLesen(path, record);
    if (ergebnis.ok()) {
        beschreibungUebernehmen(record);
        kopfdatenAusgeben(record);
    }
    return ergebnis;
}

void OldCurveFile::kopfdatenAusgeben(const CurveRecord &record)
{
    if (!converterDiagnostics().isDebugEnabled())
        return; // switched off: not even formatted
    const KurveAlt &k = record.kurvealt;
    const double audio = k.audionf ? 1.0 / 32.0 : 1.0;
    qCDebug(converterDiagnostics) << record.beschreibung;
    qCDebug(converterDiagnostics) << "Frq-Anfang" << k.frqanfang;
    qCDebug(converterDiagnostics) << "Frq-Schrittweite" << k.frqschrittweite;
    qCDebug(converterDiagnostics) << "Frq-Schritte" << k.frqschritte;
    qCDebug(converterDiagnostics) << "Kanal1 Lin/Log" << k.linear1;
    qCDebug(converterDiagnostics) << "Kanal1 faktor" << k.faktor1;
    qCDebug(converterDiagnostics) << "Kanal1 shift" << k.shift1;
    qCDebug(converterDiagnostics) << "Kanal2 Lin/Log" << k.linear2;
    qCDebug(converterDiagnostics) << "Kanal2 faktor" << k.faktor2;
    qCDebug(converterDiagnostics) << "Kanal2 shift" << k.shift2;
    qCDebug(converterDiagnostics) << "Kanal1 k1[10]" << k.k1[10];
    qCDebug(converterDiagnostics) << "Kanal2 k2[10]" << k.k2[10];
    qCDebug(converterDiagnostics) << "dB1" << double(k.k1[10]) * k.faktor1 + k.shift1;
    qCDebug(converterDiagnostics) << "dB2" << double(k.k2[10]) * audio * k.faktor2 + k.shift2;
}
