#include "core/NewCurveReader.h"

#include "core/NumberText.h"
#include "core/OldCurveFile.h"
#include "platform/Platform.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
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

// How a field was read as a number.
enum class NumberField { Ok, NoNumber, NotRepresentable, TooLarge, TooSmall };

// A number exactly as the writer writes one: an optional minus, digits, an optional fraction,
// an optional exponent. The writer's "nan" and "inf" are numbers no curve may hold.
NumberField readNumber(std::string_view field, double &number)
{
    if (field == "nan" || field == "inf" || field == "-inf")
        return NumberField::NotRepresentable;
    const std::size_t digit = field.substr(0, 1) == "-" ? 1 : 0;
    if (field.size() <= digit || field[digit] < '0' || field[digit] > '9' || field.back() == '.')
        return NumberField::NoNumber;
    const char *end = field.data() + field.size();
    const std::from_chars_result r =
        std::from_chars(field.data(), end, number, std::chars_format::general);
    if (r.ptr != end || (r.ec != std::errc() && r.ec != std::errc::result_out_of_range))
        return NumberField::NoNumber;
    if (r.ec == std::errc::result_out_of_range) {
        const std::size_t exponent = field.find_first_of("eE");
        const bool tiny =
            exponent != std::string_view::npos && field.substr(exponent + 1, 1) == "-";
        return tiny ? NumberField::TooSmall : NumberField::TooLarge;
    }
    return NumberText::representable(number) ? NumberField::Ok : NumberField::NotRepresentable;
}

// Why a field is refused, or an empty text; what names the column: "die Frequenz", "der Wert".
QString numberProblem(NumberField outcome, const QString &what, std::string_view field)
{
    switch (outcome) {
    case NumberField::Ok:
        break;
    case NumberField::NoNumber:
        return NewCurveReader::tr("%1 \"%2\" ist keine Zahl").arg(what, shown(field));
    case NumberField::NotRepresentable:
        return NewCurveReader::tr("%1 \"%2\" ist nicht darstellbar").arg(what, shown(field));
    case NumberField::TooLarge:
        return NewCurveReader::tr("%1 \"%2\" ist nicht darstellbar: Zahl zu gross")
            .arg(what, shown(field));
    case NumberField::TooSmall:
        return NewCurveReader::tr("%1 \"%2\" ist nicht darstellbar: Zahl zu klein")
            .arg(what, shown(field));
    }
    return QString();
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
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        return refused(1, tr("die Datei beginnt mit einer UTF-8-Bytereihenfolgemarke (BOM)"));
    if (rest.front() != '#')
        return refused(1, tr("die erste Zeile beginnt nicht mit \"#\""));
    // A sweep may fall (an old file with a negative step is written so): the first two
    // frequencies that differ set the direction, which no later one may turn.
    int direction = 0; // 1 rising, -1 falling, 0 not yet known
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
        QString problem = numberProblem(readNumber(fieldF, f), tr("die Frequenz"), fieldF);
        if (problem.isEmpty())
            problem = numberProblem(readNumber(fieldW, w), tr("der Wert"), fieldW);
        if (!problem.isEmpty())
            return refused(line, problem);
        if (!e.curve.frequency.isEmpty() && f != e.curve.frequency.constLast()) {
            const int step = f > e.curve.frequency.constLast() ? 1 : -1;
            if (direction == 0)
                direction = step;
            else if (step != direction)
                return refused(line, step < 0
                                         ? tr("die Frequenz ist kleiner als in der Zeile davor")
                                         : tr("die Frequenz ist groesser als in der Zeile davor"));
        }
        if (e.curve.frequency.size() == kMaxPoints)
            return refused(line, tr("mehr als %1 Punkte").arg(kMaxPoints));
        e.curve.frequency.append(f);
        e.curve.value.append(w);
    }
    if (e.curve.frequency.isEmpty())
        return refused(2, tr("keine Messpunkte"));
    // Shown and judged in rising order, as every other curve.
    if (direction < 0) {
        std::reverse(e.curve.frequency.begin(), e.curve.frequency.end());
        std::reverse(e.curve.value.begin(), e.curve.value.end());
    }
    return e;
}
