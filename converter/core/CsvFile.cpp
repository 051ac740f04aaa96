#include "core/CsvFile.h"

#include "core/CurveMarkers.h"
#include "core/NewCurveFile.h"

#include <charconv>
#include <cmath>

QByteArray CsvFile::cell(double value)
{
    if (!std::isfinite(value))
        return QByteArray();
    if (value == 0)
        return QByteArrayLiteral("0"); // also for -0
    // Fixed notation at the shortest precision that round-trips: a spreadsheet reads it as a
    // number in every setting, where "1e-05" may stay text.
    char text[400];
    const std::to_chars_result r =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    QByteArray out(text, int(r.ptr - text));
    out.replace('.', ',');
    return out;
}

QByteArray CsvFile::content(const CurveRecord &record)
{
    const QString unitOf = quantityOf(record) == Quantity::Swr ? tr("SWV") : tr("dB");
    QString header = tr("Frequenz (MHz)");
    NewCurveFile::ChannelPoints channels[2];
    int columns = 0;
    for (int k = 1; k <= 2; ++k) {
        const NewCurveFile::ChannelPoints p = NewCurveFile::channelPoints(record, k);
        if (!p.written)
            continue;
        channels[columns++] = p;
        header += QLatin1Char(';') + tr("Kanal %1 (%2)").arg(k).arg(unitOf);
    }
    QByteArray out = header.toUtf8() + "\r\n";
    const NewCurveFile::ChannelPoints all = NewCurveFile::channelPoints(record, 1);
    out.reserve(out.size() + qsizetype(all.count) * 64);
    for (int i = 0; i < all.count; ++i) {
        out += cell(all.frequency[i]);
        for (int s = 0; s < columns; ++s)
            out += ';' + cell(channels[s].value[i]);
        out += "\r\n";
    }
    return out;
}
