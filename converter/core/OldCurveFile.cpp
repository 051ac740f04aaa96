#include "OldCurveFile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringDecoder>

#include <charconv>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

namespace {

constexpr int kTabelle5Laenge = 10000;

// Splits the file's bytes into words separated by white space and reads them as fields. Past
// the end every word is empty, which reads as 0 or as an empty label, as old files that end
// early are read.
class Felder
{
public:
    Felder(const char *begin, const char *end)
        : p(begin)
        , end(end)
    {
    }

    std::string_view wort()
    {
        leerUeberspringen();
        const char *start = p;
        while (p != end && !istLeer(*p))
            ++p;
        return std::string_view(start, std::size_t(p - start));
    }

    bool amEnde()
    {
        leerUeberspringen();
        return p == end;
    }

    // A number field is a whole word: an optional sign, then for a double a decimal number
    // (digits, optional fraction, optional exponent; no "inf", "nan" or hexadecimal), for an
    // integer digits within the range of T, without minus sign for an unsigned T. A word
    // missing at the end of the file reads as 0.
    template <typename T>
    bool zahl(T &out)
    {
        static_assert(std::is_floating_point_v<T> || sizeof(T) == 4, "for 32-bit integers");
        leerUeberspringen();
        if (kurzeZahl(out))
            return true;
        std::string_view w = wort();
        if (w.empty()) {
            out = 0;
            return true;
        }
        const bool plus = w.front() == '+'; // from_chars takes no "+"
        if (plus)
            w.remove_prefix(1);
        const bool minus = !w.empty() && w.front() == '-';
        if (minus && (plus || std::is_unsigned_v<T>))
            return false;
        const std::size_t erstes = minus ? 1 : 0;
        if (w.size() <= erstes ||
            !(istZiffer(w[erstes]) || (std::is_floating_point_v<T> && w[erstes] == '.')))
            return false;
        std::from_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::from_chars(w.data(), w.data() + w.size(), out, std::chars_format::general);
        else
            r = std::from_chars(w.data(), w.data() + w.size(), out, 10);
        return r.ec == std::errc() && r.ptr == w.data() + w.size();
    }

    // Reads n numbers into table (n may exceed the table: the rest is read and dropped).
    template <std::size_t N>
    bool tabelle(std::array<double, N> *table, int n)
    {
        double wert = 0;
        for (int i = 0; i < n; ++i) {
            if (!zahl(wert))
                return false;
            if (table && i < int(N))
                (*table)[std::size_t(i)] = wert;
        }
        return true;
    }

private:
    // The common case, read at a fraction of from_chars' cost: a word of an optional minus and
    // at most 15 digits (9 for an integer) with, for a double, an optional decimal point. The
    // digits and the power of ten are exact doubles, so the one division rounds exactly as
    // from_chars does. Anything else (plus sign, exponent, long or broken words) is left to the
    // full path; nothing is consumed then.
    template <typename T>
    bool kurzeZahl(T &out)
    {
        static constexpr double zehnHoch[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        constexpr int hoechstens = std::is_floating_point_v<T> ? 15 : 9;
        const char *q = p;
        const bool minus = q != end && *q == '-';
        if (minus) {
            if (std::is_unsigned_v<T>)
                return false;
            ++q;
        }
        std::uint64_t ziffern = 0;
        int anzahl = 0;
        int nachkomma = -1;
        for (; q != end && !istLeer(*q); ++q) {
            const char c = *q;
            if (istZiffer(c)) {
                if (++anzahl > hoechstens)
                    return false;
                ziffern = ziffern * 10 + std::uint64_t(c - '0');
                if (nachkomma >= 0)
                    ++nachkomma;
            } else if (std::is_floating_point_v<T> && c == '.' && nachkomma < 0) {
                nachkomma = 0;
            } else {
                return false;
            }
        }
        if (anzahl == 0)
            return false;
        p = q;
        if constexpr (std::is_floating_point_v<T>) {
            out = double(ziffern) / zehnHoch[nachkomma < 0 ? 0 : nachkomma];
            if (minus)
                out = -out;
        } else {
            out = minus ? T(-std::int64_t(ziffern)) : T(ziffern);
        }
        return true;
    }

    void leerUeberspringen()
    {
        while (p != end && istLeer(*p))
            ++p;
    }

    // White space as the old program's text stream knew it: blank, tab, line and page ends.
    static bool istLeer(char c) { return kLeer[static_cast<unsigned char>(c)]; }
    static bool istZiffer(char c) { return c >= '0' && c <= '9'; }

    static constexpr std::array<bool, 256> kLeer = [] {
        std::array<bool, 256> leer{};
        for (const char c : {' ', '\t', '\n', '\r', '\v', '\f'})
            leer[static_cast<unsigned char>(c)] = true;
        return leer;
    }();

    const char *p;
    const char *end;
};

QString text(std::string_view bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

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

OldCurveFile::Fehler felderLesen(Felder &felder, int version, CurveRecord &record)
{
    using Fehler = OldCurveFile::Fehler;
    KurveAlt &k = record.kurvealt;
    // Versions in file order: 2 "#V3.05", 3 "#V4.04", 4 "#V4.05", 5 "#V4.10".
    if (version == 5) {
        qint32 audio = 0;
        if (!felder.zahl(audio))
            return Fehler::KeineZahl;
        k.audionf = audio == 1;
    }
    double faktor1 = 0, shift1 = 0, faktor2 = 0, shift2 = 0;
    qint32 modus = 0;
    if (!felder.zahl(k.frqanfang) || !felder.zahl(k.frqschrittweite) ||
        !felder.zahl(k.frqschritte) || !felder.zahl(faktor1) || !felder.zahl(shift1) ||
        !felder.zahl(faktor2) || !felder.zahl(shift2) || !felder.zahl(modus))
        return Fehler::KeineZahl;
    if (k.frqschritte > kAltSchritteMax)
        return Fehler::ZuVieleSchritte;

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
    if (modus < 0 || modus > 5)
        return Fehler::UnbekannterModus;
    const Modus &m = modi[modus];
    k.faktor1 = faktor1;
    k.shift1 = shift1;
    k.faktor2 = faktor2;
    k.shift2 = shift2;
    k.kurventyp = m.kurventyp;
    k.linear1 = m.linear;
    k.linear2 = m.linear;
    const char *name =
        (modus == 0 && k.audionf) ? QT_TRANSLATE_NOOP("zor2conv", "Wobbel-Kurve-Audio_NF") : m.name;
    record.kurventypname = QCoreApplication::translate("zor2conv", name);

    if (modus == 5 && version >= 3) {
        double sav = 0;
        qint32 ganz = 0;
        for (int i = 0; i < 4; ++i) {
            if (!felder.zahl(sav))
                return Fehler::KeineZahl;
        }
        if (!felder.zahl(ganz) || !felder.zahl(ganz))
            return Fehler::KeineZahl;
    }

    for (auto *kanal : {&k.k1, &k.k2}) {
        for (qint32 i = 0; i < k.frqschritte; ++i) {
            if (!felder.zahl((*kanal)[std::size_t(i)]))
                return Fehler::KeineZahl;
        }
    }

    QString label;
    if (version <= 3) {
        QByteArray woerter;
        while (!felder.amEnde()) {
            const std::string_view w = felder.wort();
            woerter.append(w.data(), qsizetype(w.size()));
        }
        label = text(std::string_view(woerter.constData(), std::size_t(woerter.size())));
    } else {
        label = text(felder.wort());
        if (!felder.tabelle(&k.korrlog1, kAltSchritteMax) ||
            !felder.tabelle(&k.korrlog2, kAltSchritteMax) ||
            !felder.tabelle(&k.korrswv1, kAltSchritteMax) ||
            !felder.tabelle(&k.korrswv2, kAltSchritteMax) ||
            !felder.tabelle<1>(nullptr, kTabelle5Laenge))
            return Fehler::KeineZahl;
    }

    if (label.isEmpty())
        label = QStringLiteral(";no_label");
    if (!label.startsWith(QLatin1Char(';')))
        label.prepend(QLatin1Char(';'));
    if (label.contains(QLatin1String("@;")))
        label.truncate(label.indexOf(QLatin1Char('@')));
    record.beschreibung += label;
    return Fehler::Ok;
}

} // namespace

OldCurveFile::Ergebnis OldCurveFile::kurveAltLesen(const QString &path, CurveRecord &record)
{
    Ergebnis ergebnis;
    altTeilLeeren(record); // before any refusal, also one for a file that cannot be opened
    record.beschreibung = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ergebnis.fehler = Fehler::NichtLesbar;
        return ergebnis;
    }
    const QByteArray data = file.readAll();
    Felder felder(data.constData(), data.constData() + data.size());
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

    ergebnis.fehler = felderLesen(felder, version, record);
    if (ergebnis.fehler != Fehler::Ok) {
        altTeilLeeren(record);
        record.beschreibung = path;
        return ergebnis;
    }
    ergebnis.versioncode = version;
    return ergebnis;
}

void OldCurveFile::beschreibungUebernehmen(CurveRecord &record)
{
    record.beschreibung.replace(QLatin1Char('_'), QLatin1Char(' '));
}

void OldCurveFile::kopfdatenAusgeben(const CurveRecord &record)
{
    if (!QLoggingCategory::defaultCategory()->isDebugEnabled())
        return; // switched off: not even formatted
    const KurveAlt &k = record.kurvealt;
    const double audio = k.audionf ? 1.0 / 32.0 : 1.0;
    qDebug() << record.beschreibung;
    qDebug() << "Frq-Anfang" << k.frqanfang;
    qDebug() << "Frq-Schrittweite" << k.frqschrittweite;
    qDebug() << "Frq-Schritte" << k.frqschritte;
    qDebug() << "Kanal1 Lin/Log" << k.linear1;
    qDebug() << "Kanal1 faktor" << k.faktor1;
    qDebug() << "Kanal1 shift" << k.shift1;
    qDebug() << "Kanal2 Lin/Log" << k.linear2;
    qDebug() << "Kanal2 faktor" << k.faktor2;
    qDebug() << "Kanal2 shift" << k.shift2;
    qDebug() << "Kanal1 k1[10]" << k.k1[10];
    qDebug() << "Kanal2 k2[10]" << k.k2[10];
    qDebug() << "dB1" << double(k.k1[10]) * k.faktor1 + k.shift1;
    qDebug() << "dB2" << double(k.k2[10]) * audio * k.faktor2 + k.shift2;
}

QString ordnerVon(const QString &filePath)
{
    const QString absolut = QFileInfo(filePath).absoluteFilePath();
    return absolut.left(absolut.lastIndexOf(QLatin1Char('/')) + 1);
}
