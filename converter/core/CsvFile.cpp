#include "CsvFile.h"

#include "CurveMarkers.h"
#include "NewCurveFile.h"

#include <charconv>
#include <cmath>

QByteArray CsvFile::zelle(double value)
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

QByteArray CsvFile::inhalt(const CurveRecord &record)
{
    const QString einheit = quantityOf(record) == Quantity::Swr ? tr("SWV") : tr("dB");
    QString kopf = tr("Frequenz (MHz)");
    NewCurveFile::KanalPunkte kanaele[2];
    int spalten = 0;
    for (int k = 1; k <= 2; ++k) {
        const NewCurveFile::KanalPunkte p = NewCurveFile::kanalPunkte(record, k);
        if (!p.geschrieben)
            continue;
        kanaele[spalten++] = p;
        kopf += QLatin1Char(';') + tr("Kanal %1 (%2)").arg(k).arg(einheit);
    }
    QByteArray out = kopf.toUtf8() + "\r\n";
    const NewCurveFile::KanalPunkte alle = NewCurveFile::kanalPunkte(record, 1);
    out.reserve(out.size() + qsizetype(alle.anzahl) * 64);
    for (int i = 0; i < alle.anzahl; ++i) {
        out += zelle(alle.frequenz[i]);
        for (int s = 0; s < spalten; ++s)
            out += ';' + zelle(kanaele[s].wert[i]);
        out += "\r\n";
    }
    return out;
}
