#include "NewCurveFile.h"

#include "FileCause.h"
#include "Platform.h"

#include <QFileInfo>
#include <QLocale>
#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

const QLatin1String kEndung(".z2k");

QByteArray achtBit(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder(text);
}

// Where a file named name is written: a link is followed, so that the file it points to gets
// the new content and the link stays.
QString zielVon(const QString &name)
{
    QFileInfo info(name);
    for (int tiefe = 0; tiefe < 128 && info.isSymLink(); ++tiefe)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? name : info.filePath();
}

struct Datei
{
    Datei(const QString &name, const QByteArray &inhalt)
        : name(name)
        , ziel(zielVon(name))
        , inhalt(inhalt)
    {
    }
    QString name; // as the user named it
    QString ziel; // the file that is replaced
    QByteArray inhalt;
    QString temp;     // the complete new content, not yet in place
    QString beiseite; // the old file's content, kept until every new file is in place
    bool ersetzt = false;
};

QString grund(const Platform::FileResult &result)
{
    if (result.error == Platform::FileError::NotFound)
        return NewCurveFile::tr("der Ordner ist nicht vorhanden");
    return FileCause::text(result);
}

// Removes what a failed save left: temporary files, and old contents put back in place.
void zuruecknehmen(std::vector<Datei> &dateien)
{
    for (Datei &d : dateien) {
        if (!d.temp.isEmpty())
            Platform::removeFile(d.temp);
        if (d.ersetzt && d.beiseite.isEmpty())
            Platform::removeFile(d.ziel); // there was no file of that name before
        if (!d.beiseite.isEmpty()) {
            // Back in place; when it is a second link to the very file still there, the
            // replacement does nothing and the extra name is removed.
            Platform::replaceFile(d.beiseite, d.ziel);
            Platform::removeFile(d.beiseite);
        }
    }
}

} // namespace

QString dateinameAusText(QString text)
{
    for (const char c : {'/', ',', ':', '\\', ';'})
        text.replace(QLatin1Char(c), QLatin1Char('_'));
    return text;
}

QString NewCurveFile::basisName(const QString &chosenPath)
{
    if (chosenPath.endsWith(kEndung, Qt::CaseSensitive))
        return chosenPath.chopped(kEndung.size());
    return chosenPath;
}

QString NewCurveFile::kanal1Datei(const QString &basis)
{
    return basis + kEndung;
}

QString NewCurveFile::kanal2Datei(const QString &basis, bool beideKanaele)
{
    return beideKanaele ? basis + QLatin1String("_2") + kEndung : basis + kEndung;
}

namespace {

constexpr double kZehnHoch[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual case, without any conversion to text: the value scaled by an exact power of ten
// into [100000, 1000000) with one rounding, so the product is off by far less than 1e-6; away
// from a midpoint its nearest integer is the correctly rounded six-digit mantissa. Values near
// a midpoint, or too large or small for the table, are left to the exact path.
bool sechsZiffernSchnell(double betrag, char *ziffern, int &exponent)
{
    if (!(betrag >= 1e-5 && betrag < 1e15))
        return false;
    int zweierExponent = 0;
    std::frexp(betrag, &zweierExponent);
    int e = int(std::floor((zweierExponent - 1) * 0.30102999566398120)); // about log10
    double y = 0;
    for (int versuch = 0; versuch < 3; ++versuch) {
        const int k = 5 - e;
        if (k < -22 || k > 22)
            return false;
        y = k >= 0 ? betrag * kZehnHoch[k] : betrag / kZehnHoch[-k];
        if (y >= 1e6)
            ++e;
        else if (y < 1e5)
            --e;
        else
            break;
    }
    if (y < 1e5 || y >= 1e6)
        return false;
    const double ganz = std::floor(y);
    const double rest = y - ganz;
    if (std::abs(rest - 0.5) < 1e-6)
        return false;
    std::uint32_t mantisse = std::uint32_t(ganz) + (rest > 0.5 ? 1 : 0);
    if (mantisse == 1000000) {
        mantisse = 100000;
        ++e;
    }
    for (int i = 5; i >= 0; --i) {
        ziffern[i] = char('0' + mantisse % 10);
        mantisse /= 10;
    }
    exponent = e;
    return true;
}

// The exact case: the digits of the shortest form that reads back as the value (std::to_chars),
// rounded to six. With seven or more digits that form lies on the same side of every six-digit
// midpoint as the value itself, except when it is such a midpoint (seven digits, the last a 5):
// then an exact multiply-add tells on which side the value lies, or that it is the tie, which
// goes away from zero. Returns the number of digits, or 0 when only Qt's own path is exact.
int sechsZiffernExakt(double betrag, char *ziffern, int &exponent)
{
    if (betrag < std::numeric_limits<double>::min())
        return 0; // the shortest form of a subnormal is too short to round
    char kurz[40];
    const char *const kurzEnde =
        std::to_chars(kurz, kurz + sizeof kurz, betrag, std::chars_format::scientific).ptr;
    int n = 0;
    const char *p = kurz;
    for (; *p != 'e'; ++p) {
        if (*p != '.')
            ziffern[n++] = *p;
    }
    ++p;
    if (*p == '+')
        ++p;
    std::from_chars(p, kurzEnde, exponent);
    if (n <= 6)
        return n;

    bool aufrunden = ziffern[6] >= '5';
    if (n == 7 && ziffern[6] == '5') {
        double mitte = 0;
        for (int i = 0; i < 7; ++i)
            mitte = mitte * 10 + (ziffern[i] - '0');
        const int stellen = 6 - exponent;
        double abstand; // the sign of betrag - mitte * 10^-stellen
        if (stellen >= 0 && stellen <= 22)
            abstand = std::fma(betrag, kZehnHoch[stellen], -mitte);
        else if (stellen < 0 && -stellen <= 22)
            abstand = -std::fma(mitte, kZehnHoch[-stellen], -betrag);
        else
            return 0;
        aufrunden = abstand >= 0;
    }
    if (aufrunden) {
        int i = 5;
        while (i >= 0 && ziffern[i] == '9')
            ziffern[i--] = '0';
        if (i >= 0) {
            ++ziffern[i];
        } else {
            ziffern[0] = '1';
            ++exponent;
        }
    }
    return 6;
}

// Six (or fewer) significant digits d1 d2 ... and the decimal exponent of d1 in the manner of
// "%g": plain notation for exponents -4 to 5, else d1.d2...e+XX; no trailing zeros.
char *darstellen(char *t, bool negativ, const char *ziffern, int n, int exponent)
{
    while (n > 1 && ziffern[n - 1] == '0')
        --n;
    if (negativ)
        *t++ = '-';
    if (exponent < -4 || exponent >= 6) {
        *t++ = ziffern[0];
        if (n > 1) {
            *t++ = '.';
            t = std::copy(ziffern + 1, ziffern + n, t);
        }
        *t++ = 'e';
        *t++ = exponent < 0 ? '-' : '+';
        const int e = exponent < 0 ? -exponent : exponent;
        if (e < 10)
            *t++ = '0';
        return std::to_chars(t, t + 3, e).ptr;
    }
    if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *t++ = i < n ? ziffern[i] : '0';
        if (n > exponent + 1) {
            *t++ = '.';
            t = std::copy(ziffern + exponent + 1, ziffern + n, t);
        }
        return t;
    }
    *t++ = '0';
    *t++ = '.';
    t = std::fill_n(t, -exponent - 1, '0');
    return std::copy(ziffern, ziffern + n, t);
}

} // namespace

char *NewCurveFile::zahlSchreiben(char *ziel, double value)
{
    // What a default QTextStream writes: six significant digits in the manner of "%g" ("."
    // whatever the locale), an exact tie in the seventh digit rounded away from zero (6703.125
    // gives 6703.13, where "%g" rounds to even) and a negative zero written as "0". Formatting
    // with a precision costs more than reading the whole file, hence the two quicker paths.
    if (value != value)
        return std::copy_n("nan", 3, ziel);
    if (value == 0) {
        *ziel = '0';
        return ziel + 1;
    }
    if (std::isinf(value))
        return value < 0 ? std::copy_n("-inf", 4, ziel) : std::copy_n("inf", 3, ziel);
    const double betrag = std::abs(value);
    char ziffern[24];
    int exponent = 0;
    int n = 6;
    if (!sechsZiffernSchnell(betrag, ziffern, exponent))
        n = sechsZiffernExakt(betrag, ziffern, exponent);
    if (n == 0) {
        const QByteArray text = QLocale::c().toString(value, 'g', 6).toLatin1();
        return std::copy(text.begin(), text.end(), ziel);
    }
    return darstellen(ziel, value < 0, ziffern, n, exponent);
}

void NewCurveFile::zahlAnhaengen(QByteArray &out, double value)
{
    char text[kZahlLaengeMax];
    out.append(text, zahlSchreiben(text, value) - text);
}

NewCurveFile::KanalPunkte NewCurveFile::kanalPunkte(const CurveRecord &record, int kanal)
{
    KanalPunkte p;
    p.frequenz = record.frequenz.data();
    p.wert = kanal == 1 ? record.wert1.data() : record.wert2.data();
    p.anzahl = std::clamp(int(record.punkte), 0, kNeuPunkteMax);
    p.geschrieben = kanal == 1 ? record.kanal1ok : record.kanal2ok;
    return p;
}

QByteArray NewCurveFile::dateiInhalt(const QString &kopf, const CurveRecord &record, int kanal)
{
    QString zeile = QLatin1Char('#') + kopf;
    for (QChar &c : zeile) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar::Null)
            c = QLatin1Char(' ');
    }
    QByteArray out = achtBit(zeile);
    out.append('\n');
    const KanalPunkte p = kanalPunkte(record, kanal);
    const int punkte = p.anzahl;
    // One buffer, written through a pointer: appending number by number costs as much again.
    const qsizetype kopfLaenge = out.size();
    out.resize(kopfLaenge + qsizetype(punkte) * (2 * kZahlLaengeMax + 2));
    char *t = out.data() + kopfLaenge;
    for (int i = 0; i < punkte; ++i) {
        t = zahlSchreiben(t, p.frequenz[i]);
        *t++ = ';';
        t = zahlSchreiben(t, p.wert[i]);
        *t++ = '\n';
    }
    out.truncate(t - out.constData());
    return out;
}

NewCurveFile::Ergebnis NewCurveFile::kurveNeuSpeichern(const QString &basis,
                                                       const QString &beschreibung,
                                                       const CurveRecord &record,
                                                       bool beideOderKeine,
                                                       const QList<Beilage> &beilagen)
{
    std::vector<Datei> dateien;
    const bool beide = record.kanal1ok && record.kanal2ok;
    if (record.kanal1ok) {
        QString kopf = beschreibung;
        kopf.replace(QLatin1Char(' '), QLatin1Char('_'));
        dateien.emplace_back(kanal1Datei(basis), dateiInhalt(kopf, record, 1));
    }
    if (record.kanal2ok) {
        dateien.emplace_back(kanal2Datei(basis, beide),
                             dateiInhalt(QLatin1String("K2: ") + beschreibung, record, 2));
    }

    Ergebnis ergebnis;
    ergebnis.letzteDatei = dateien.empty() ? basis : dateien.back().name;
    for (const Beilage &beilage : beilagen)
        dateien.emplace_back(beilage.name, beilage.inhalt);
    const auto fehlschlag = [&ergebnis](const Datei &datei, const Platform::FileResult &result) {
        ergebnis.fehlgeschlagen.append(datei.name);
        ergebnis.gruende.append(grund(result));
    };

    if (!beideOderKeine) {
        for (Datei &datei : dateien) {
            Platform::FileResult r =
                Platform::writeTemporaryFile(datei.ziel, datei.inhalt, datei.temp);
            if (r.ok())
                r = Platform::replaceFile(datei.temp, datei.ziel);
            if (r.ok()) {
                ergebnis.geschrieben.append(datei.name);
            } else {
                Platform::removeFile(datei.temp);
                fehlschlag(datei, r);
            }
        }
        return ergebnis;
    }

    // Every new file is complete on disk before the first one replaces anything. The old files
    // are kept aside until all new ones are in place, so that a failure can put them back.
    for (Datei &datei : dateien) {
        const Platform::FileResult r =
            Platform::writeTemporaryFile(datei.ziel, datei.inhalt, datei.temp);
        if (!r.ok()) {
            fehlschlag(datei, r);
            zuruecknehmen(dateien);
            return ergebnis;
        }
    }
    for (std::size_t i = 0; i < dateien.size(); ++i) {
        Datei &datei = dateien[i];
        Platform::FileResult r;
        const bool letzte = i + 1 == dateien.size(); // nothing can fail after it
        if (!letzte && Platform::fileStatus(datei.ziel).kind == Platform::FileKind::Regular)
            r = Platform::keepAside(datei.ziel, datei.beiseite);
        if (r.ok())
            r = Platform::replaceFile(datei.temp, datei.ziel);
        if (!r.ok()) {
            fehlschlag(datei, r);
            zuruecknehmen(dateien);
            return ergebnis;
        }
        datei.temp.clear();
        datei.ersetzt = true;
    }
    for (const Datei &datei : dateien) {
        if (!datei.beiseite.isEmpty())
            Platform::removeFile(datei.beiseite);
        ergebnis.geschrieben.append(datei.name);
    }
    return ergebnis;
}
