#include "NewCurveReader.h"

#include "OldCurveFile.h"
#include "Platform.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <string_view>

namespace {

// A field as the user is shown it: one line, every unprintable byte as \xNN, at most 40 bytes.
QString gezeigt(std::string_view feld)
{
    QString out;
    for (std::size_t i = 0; i < feld.size() && i < 40; ++i) {
        const auto c = static_cast<unsigned char>(feld[i]);
        out += c >= 0x20 && c < 0x7f
                   ? QString(QLatin1Char(char(c)))
                   : QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
    }
    return feld.size() > 40 ? out + QStringLiteral("...") : out;
}

// A number exactly as the writer writes one: an optional minus, digits, an optional fraction,
// an optional exponent; or inf, -inf, nan for a value that was none.
bool zahlLesen(std::string_view feld, double &zahl)
{
    if (feld == "nan" || feld == "inf" || feld == "-inf") {
        zahl = feld == "nan" ? std::nan("") : (feld[0] == '-' ? -HUGE_VAL : HUGE_VAL);
        return true;
    }
    const std::size_t ziffer = feld.substr(0, 1) == "-" ? 1 : 0;
    if (feld.size() <= ziffer || feld[ziffer] < '0' || feld[ziffer] > '9')
        return false;
    const char *ende = feld.data() + feld.size();
    const std::from_chars_result r =
        std::from_chars(feld.data(), ende, zahl, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == ende && feld.back() != '.';
}

} // namespace

Quantity NewCurve::quantity() const
{
    // Blanks become "_" in a channel-1 header, so "_" separates words too.
    static const QRegularExpression swv(QStringLiteral("(^|[^A-Za-z])SWV([^A-Za-z]|$)"));
    static const QRegularExpression db(QStringLiteral("(^|[^A-Za-z])dB([^A-Za-z]|$)"));
    const bool istSwv = swv.match(header).hasMatch();
    const bool istDb = db.match(header).hasMatch();
    if (istSwv != istDb)
        return istSwv ? Quantity::Swr : Quantity::Level;
    return Quantity::Neutral;
}

QString NewCurveReader::Ergebnis::meldung() const
{
    return zeile > 0 ? tr("Zeile %1: %2").arg(zeile).arg(grund) : grund;
}

NewCurveReader::Ergebnis NewCurveReader::lesen(const QString &path)
{
    const Platform::ReadResult gelesen = Platform::readRegularFile(path, kGroesseMax);
    Ergebnis ergebnis;
    if (gelesen.tooLarge) {
        ergebnis.grund = tr("Datei zu gross (%1 Bytes, hoechstens %2 MB)")
                             .arg(gelesen.status.size)
                             .arg(kGroesseMax / (1024 * 1024));
    } else if (!gelesen.ok()) {
        // Why a file cannot be read is told as for an old curve file.
        OldCurveFile::Ergebnis alt;
        alt.datei = gelesen.status;
        ergebnis.grund = alt.grund();
    } else {
        ergebnis = auswerten(gelesen.data);
    }
    ergebnis.kurve.path = path;
    return ergebnis;
}

NewCurveReader::Ergebnis NewCurveReader::auswerten(const QByteArray &inhalt)
{
    Ergebnis e;
    const auto abgelehnt = [&e](int zeile, const QString &grund) {
        e.kurve.frequency.clear();
        e.kurve.value.clear();
        e.zeile = zeile;
        e.grund = grund;
        return e;
    };
    std::string_view rest(inhalt.constData(), std::size_t(inhalt.size()));
    if (rest.empty())
        return abgelehnt(1, tr("die Datei ist leer"));
    if (rest.front() != '#')
        return abgelehnt(1, tr("die erste Zeile beginnt nicht mit \"#\""));
    for (int zeile = 1; !rest.empty(); ++zeile) {
        const std::size_t lf = rest.find('\n');
        if (lf == std::string_view::npos)
            return abgelehnt(zeile, tr("die letzte Zeile endet nicht mit einem "
                                       "Zeilenvorschub; ist die Datei abgeschnitten?"));
        const std::string_view text = rest.substr(0, lf);
        rest.remove_prefix(lf + 1);
        if (!text.empty() && text.back() == '\r')
            return abgelehnt(zeile, tr("Zeilenende mit Wagenruecklauf (CR)"));
        if (zeile == 1) {
            QStringDecoder decoder(QStringConverter::System);
            e.kurve.header = decoder(QByteArrayView(text.data() + 1, qsizetype(text.size() - 1)));
            continue;
        }
        if (text.empty())
            return abgelehnt(zeile, tr("leere Zeile"));
        const std::size_t semikolon = text.find(';');
        if (semikolon == std::string_view::npos)
            return abgelehnt(
                zeile, tr("\";\" zwischen Frequenz und Wert fehlt: \"%1\"").arg(gezeigt(text)));
        const std::string_view feldF = text.substr(0, semikolon);
        const std::string_view feldW = text.substr(semikolon + 1);
        if (feldW.find(';') != std::string_view::npos)
            return abgelehnt(zeile, tr("mehr als zwei Spalten: \"%1\"").arg(gezeigt(text)));
        double f = 0;
        double w = 0;
        if (!zahlLesen(feldF, f) || !std::isfinite(f))
            return abgelehnt(zeile, tr("die Frequenz \"%1\" ist keine Zahl").arg(gezeigt(feldF)));
        if (!zahlLesen(feldW, w))
            return abgelehnt(zeile, tr("der Wert \"%1\" ist keine Zahl").arg(gezeigt(feldW)));
        if (!e.kurve.frequency.isEmpty() && f < e.kurve.frequency.constLast())
            return abgelehnt(zeile, tr("die Frequenz ist kleiner als in der Zeile davor"));
        if (e.kurve.frequency.size() == kPunkteMax)
            return abgelehnt(zeile, tr("mehr als %1 Punkte").arg(kPunkteMax));
        e.kurve.frequency.append(f);
        e.kurve.value.append(w);
    }
    return e;
}
