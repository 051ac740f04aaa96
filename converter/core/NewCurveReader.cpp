#include "core/NewCurveReader.h"

#include "core/OldCurveFile.h"
#include "platform/Platform.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <string_view>

namespace {

// A field as the user is shown it: one line, every unprintable byte as \xNN, at most 40 bytes.
QString shown(std::string_view field)
{
    QString out;
    for (std::size_t i = 0; i < field.size() && i < 40; ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        out += c >= 0x20 && c < 0x7f
                   ? QString(QLatin1Char(char(c)))
                   : QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
    }
    return field.size() > 40 ? out + QStringLiteral("...") : out;
}

// A number exactly as the writer writes one: an optional minus, digits, an optional fraction,
// an optional exponent; or inf, -inf, nan for a value that was none.
bool readNumber(std::string_view field, double &number)
{
    if (field == "nan" || field == "inf" || field == "-inf") {
        number = field == "nan" ? std::nan("") : (field[0] == '-' ? -HUGE_VAL : HUGE_VAL);
        return true;
    }
    const std::size_t digit = field.substr(0, 1) == "-" ? 1 : 0;
    if (field.size() <= digit || field[digit] < '0' || field[digit] > '9')
        return false;
    const char *end = field.data() + field.size();
    const std::from_chars_result r =
        std::from_chars(field.data(), end, number, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == end && field.back() != '.';
}

} // namespace

Quantity NewCurve::quantity() const
{
    // Blanks become "_" in a channel-1 header, so "_" separates words too.
    static const QRegularExpression swrPattern(QStringLiteral("(^|[^A-Za-z])SWV([^A-Za-z]|$)"));
    static const QRegularExpression db(QStringLiteral("(^|[^A-Za-z])dB([^A-Za-z]|$)"));
    const bool isSwr = swrPattern.match(header).hasMatch();
    const bool isDb = db.match(header).hasMatch();
    if (isSwr != isDb)
        return isSwr ? Quantity::Swr : Quantity::Level;
    return Quantity::Neutral;
}

QString NewCurveReader::Result::message() const
{
    return line > 0 ? tr("Zeile %1: %2").arg(line).arg(reason) : reason;
}

NewCurveReader::Result NewCurveReader::read(const QString &path)
{
    const Platform::ReadResult outcome = Platform::readRegularFile(path, kMaxSize);
    Result result;
    if (outcome.tooLarge) {
        result.reason = tr("Datei zu gross (%1 Bytes, hoechstens %2 MB)")
                            .arg(outcome.status.size)
                            .arg(kMaxSize / (1024 * 1024));
    } else if (!outcome.ok()) {
        // Why a file cannot be read is told as for an old curve file.
        OldCurveFile::Result old;
        old.file = outcome.status;
        result.reason = old.reason();
    } else {
        result = parse(outcome.data);
    }
    result.curve.path = path;
    return result;
}

NewCurveReader::Result NewCurveReader::parse(const QByteArray &content)
{
    Result e;
    const auto refused = [&e](int line, const QString &reason) {
        e.curve.frequency.clear();
        e.curve.value.clear();
        e.line = line;
        e.reason = reason;
        return e;
    };
    std::string_view rest(content.constData(), std::size_t(content.size()));
    if (rest.empty())
        return refused(1, tr("die Datei ist leer"));
    if (rest.front() != '#')
        return refused(1, tr("die erste Zeile beginnt nicht mit \"#\""));
    for (int line = 1; !rest.empty(); ++line) {
        const std::size_t lf = rest.find('\n');
        if (lf == std::string_view::npos)
            return refused(line, tr("die letzte Zeile endet nicht mit einem "
                                    "Zeilenvorschub; ist die Datei abgeschnitten?"));
        const std::string_view text = rest.substr(0, lf);
        rest.remove_prefix(lf + 1);
        if (!text.empty() && text.back() == '\r')
            return refused(line, tr("Zeilenende mit Wagenruecklauf (CR)"));
        if (line == 1) {
            QStringDecoder decoder(QStringConverter::System);
            e.curve.header = decoder(QByteArrayView(text.data() + 1, qsizetype(text.size() - 1)));
            continue;
        }
        if (text.empty())
            return refused(line, tr("leere Zeile"));
        const std::size_t semicolon = text.find(';');
        if (semicolon == std::string_view::npos)
            return refused(line,
                           tr("\";\" zwischen Frequenz und Wert fehlt: \"%1\"").arg(shown(text)));
        const std::string_view fieldF = text.substr(0, semicolon);
        const std::string_view fieldW = text.substr(semicolon + 1);
        if (fieldW.find(';') != std::string_view::npos)
            return refused(line, tr("mehr als zwei Spalten: \"%1\"").arg(shown(text)));
        double f = 0;
        double w = 0;
        if (!readNumber(fieldF, f) || !std::isfinite(f))
            return refused(line, tr("die Frequenz \"%1\" ist keine Zahl").arg(shown(fieldF)));
        if (!readNumber(fieldW, w))
            return refused(line, tr("der Wert \"%1\" ist keine Zahl").arg(shown(fieldW)));
        if (!e.curve.frequency.isEmpty() && f < e.curve.frequency.constLast())
            return refused(line, tr("die Frequenz ist kleiner als in der Zeile davor"));
        if (e.curve.frequency.size() == kMaxPoints)
            return refused(line, tr("mehr als %1 Punkte").arg(kMaxPoints));
        e.curve.frequency.append(f);
        e.curve.value.append(w);
    }
    return e;
}
