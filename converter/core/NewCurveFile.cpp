#include "NewCurveFile.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <memory>
#include <vector>

namespace {

const QLatin1String kEndung(".z2k");

QByteArray achtBit(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder(text);
}

struct Datei
{
    QString name;
    QByteArray inhalt;
};

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

void NewCurveFile::zahlAnhaengen(QByteArray &out, double value)
{
    // A default QTextStream writes six significant digits like "%g", with two differences:
    // an exact tie in the seventh digit is rounded away from zero (6703.125 gives 6703.13, where
    // std::to_chars rounds to even), and a negative zero is written as "0". A tie shows as a
    // seventh digit 5; those few values take Qt's own, slower path. std::to_chars never looks at
    // the locale, so "." stays the decimal point.
    if (value != value) {
        out.append("nan"); // never "-nan"
        return;
    }
    char buffer[32];
    char *const end = buffer + sizeof buffer;
    const auto sieben = std::to_chars(buffer, end, value, std::chars_format::scientific, 6);
    const int vorzeichen = buffer[0] == '-' ? 1 : 0;
    if (sieben.ptr - buffer > vorzeichen + 7 && buffer[vorzeichen + 7] == '5') {
        out.append(QLocale::c().toString(value, 'g', 6).toLatin1());
        return;
    }
    const auto result =
        std::to_chars(buffer, end, value == 0 ? 0.0 : value, std::chars_format::general, 6);
    out.append(buffer, result.ptr - buffer);
}

QByteArray NewCurveFile::dateiInhalt(const QString &kopf, const CurveRecord &record, int kanal)
{
    QByteArray out = achtBit(QLatin1Char('#') + kopf);
    out.append('\n');
    const std::array<double, kNeuPunkteMax> &wert = kanal == 1 ? record.wert1 : record.wert2;
    const int punkte = std::clamp(int(record.punkte), 0, kNeuPunkteMax);
    out.reserve(out.size() + punkte * 24);
    for (int i = 0; i < punkte; ++i) {
        zahlAnhaengen(out, record.frequenz[std::size_t(i)]);
        out.append(';');
        zahlAnhaengen(out, wert[std::size_t(i)]);
        out.append('\n');
    }
    return out;
}

NewCurveFile::Ergebnis NewCurveFile::kurveNeuSpeichern(const QString &basis,
                                                       const QString &beschreibung,
                                                       const CurveRecord &record,
                                                       bool beideOderKeine)
{
    std::vector<Datei> dateien;
    const bool beide = record.kanal1ok && record.kanal2ok;
    if (record.kanal1ok) {
        QString kopf = beschreibung;
        kopf.replace(QLatin1Char(' '), QLatin1Char('_'));
        dateien.push_back({kanal1Datei(basis), dateiInhalt(kopf, record, 1)});
    }
    if (record.kanal2ok) {
        dateien.push_back({kanal2Datei(basis, beide),
                           dateiInhalt(QLatin1String("K2: ") + beschreibung, record, 2)});
    }

    Ergebnis ergebnis;
    ergebnis.letzteDatei = dateien.empty() ? basis : dateien.back().name;

    if (!beideOderKeine) {
        for (const Datei &datei : dateien) {
            QSaveFile file(datei.name);
            const bool ok = file.open(QIODevice::WriteOnly) &&
                            file.write(datei.inhalt) == datei.inhalt.size() && file.commit();
            (ok ? ergebnis.geschrieben : ergebnis.fehlgeschlagen).append(datei.name);
        }
        return ergebnis;
    }

    // All files are prepared before the first one replaces anything, so that a failure leaves
    // as little as possible behind; a file already in place is removed when a later one fails.
    std::vector<std::unique_ptr<QSaveFile>> offen;
    for (const Datei &datei : dateien) {
        auto file = std::make_unique<QSaveFile>(datei.name);
        if (!file->open(QIODevice::WriteOnly) || file->write(datei.inhalt) != datei.inhalt.size()) {
            ergebnis.fehlgeschlagen.append(datei.name);
            return ergebnis; // the open QSaveFiles discard their temporary files
        }
        offen.push_back(std::move(file));
    }
    for (std::size_t i = 0; i < offen.size(); ++i) {
        if (!offen[i]->commit()) {
            for (const QString &name : std::as_const(ergebnis.geschrieben))
                QFile::remove(name);
            ergebnis.geschrieben.clear();
            ergebnis.fehlgeschlagen.append(dateien[i].name);
            return ergebnis;
        }
        ergebnis.geschrieben.append(dateien[i].name);
    }
    return ergebnis;
}
