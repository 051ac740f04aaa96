#include "NewCurveFile.h"

#include "FileCause.h"
#include "Platform.h"
#include "ZahlText.h"

#include <QFileInfo>
#include <QStringEncoder>

#include <algorithm>
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
    Datei(const QString &name, const QByteArray &inhalt)
        : name(name)
        , ausgabe(Platform::outputTarget(name))
        , ziel(ausgabe.path)
        , inhalt(inhalt)
    {
    }
    QString name; // as the user named it
    Platform::OutputTarget ausgabe;
    QString ziel; // the file that is replaced: a link of this user followed
    QByteArray inhalt;
    QString temp;     // the complete new content, not yet in place
    QString beiseite; // the old file's content, kept until every new file is in place
    bool ersetzt = false;
};

QString grund(const Platform::FileResult &result, const Datei &datei)
{
    if (result.error == Platform::FileError::NotFound) {
        // A dangling link leads elsewhere: the folder its target lacks is named.
        if (datei.ziel != datei.name) {
            const qsizetype slash = datei.ziel.lastIndexOf(QLatin1Char('/'));
            return NewCurveFile::tr("der Ordner %1 ist nicht vorhanden")
                .arg(slash < 0 ? QStringLiteral(".") : datei.ziel.left(slash + 1));
        }
        return NewCurveFile::tr("der Ordner ist nicht vorhanden");
    }
    return FileCause::text(result);
}

// Why nothing may be written at the file's name, or an empty text: only a regular file, a
// missing one, or a link of this user to either is replaced.
QString abgelehnt(const Datei &datei)
{
    using Problem = Platform::OutputTarget::Problem;
    const Platform::OutputTarget &a = datei.ausgabe;
    if (!a.result.ok())
        return FileCause::text(a.result);
    switch (a.problem) {
    case Problem::None:
        break;
    case Problem::ForeignLink:
        return NewCurveFile::tr("die Verknuepfung %1 gehoert einem anderen Benutzer und wird "
                                "nicht verfolgt")
            .arg(a.link);
    case Problem::LinkLoop:
        return NewCurveFile::tr("die Verknuepfungen bilden eine Schleife");
    case Problem::NotRegular:
        switch (a.kind) {
        case Platform::FileKind::Folder:
            return FileCause::text({Platform::FileError::IsAFolder, QString()});
        case Platform::FileKind::Fifo:
            return NewCurveFile::tr("dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei");
        case Platform::FileKind::Device:
            return NewCurveFile::tr("dort ist ein Geraet, keine gewoehnliche Datei");
        case Platform::FileKind::Socket:
            return NewCurveFile::tr("dort ist ein Socket, keine gewoehnliche Datei");
        default:
            return NewCurveFile::tr("dort ist keine gewoehnliche Datei");
        }
    }
    return QString();
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
    // A line break from the description would end up in the file name, where it breaks every
    // shell and file manager.
    for (QChar &c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = QLatin1Char('_');
    }
    return text;
}

QString textPanelText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar &c : text) {
        if (c == QChar::Nbsp)
            c = QLatin1Char(' ');
        else if (c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
                 c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
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
    out.resize(kopfLaenge + qsizetype(punkte) * (2 * ZahlText::kLaengeMax + 2));
    char *t = out.data() + kopfLaenge;
    for (int i = 0; i < punkte; ++i) {
        t = ZahlText::schreiben(t, p.frequenz[i]);
        *t++ = ';';
        t = ZahlText::schreiben(t, p.wert[i]);
        *t++ = '\n';
    }
    out.truncate(t - out.constData());
    return out;
}

namespace {

// The channels' files of a save; letzteDatei of the result names the last of them.
std::vector<Datei> kanalDateien(const QString &basis, const QString &beschreibung,
                                const CurveRecord &record, NewCurveFile::Ergebnis &ergebnis)
{
    std::vector<Datei> dateien;
    const bool beide = record.kanal1ok && record.kanal2ok;
    if (record.kanal1ok) {
        dateien.emplace_back(
            NewCurveFile::kanal1Datei(basis),
            NewCurveFile::dateiInhalt(NewCurveFile::kopf(beschreibung, 1), record, 1));
    }
    if (record.kanal2ok) {
        dateien.emplace_back(
            NewCurveFile::kanal2Datei(basis, beide),
            NewCurveFile::dateiInhalt(NewCurveFile::kopf(beschreibung, 2), record, 2));
    }
    ergebnis.letzteDatei = dateien.empty() ? basis : dateien.back().name;
    return dateien;
}

void fehlschlag(NewCurveFile::Ergebnis &ergebnis, const Datei &datei,
                const Platform::FileResult &result)
{
    ergebnis.fehlgeschlagen.append(datei.name);
    ergebnis.gruende.append(grund(result, datei));
}

// Judges every file before anything is written: what is at its name, and whether two names lead
// to one file, where the later file would silently replace the earlier. Refused files are
// reported and dropped from dateien; true when none was refused.
bool pruefen(std::vector<Datei> &dateien, NewCurveFile::Ergebnis &ergebnis)
{
    std::vector<bool> weg(dateien.size(), false);
    for (std::size_t i = 0; i < dateien.size(); ++i) {
        QString warum = abgelehnt(dateien[i]);
        for (std::size_t j = 0; warum.isEmpty() && j < dateien.size(); ++j) {
            if (j != i && NewCurveFile::vergleichsPfad(dateien[j].ziel) ==
                              NewCurveFile::vergleichsPfad(dateien[i].ziel))
                warum = NewCurveFile::tr("sie fuehrt zur selben Datei wie %1").arg(dateien[j].name);
        }
        if (!warum.isEmpty()) {
            ergebnis.fehlgeschlagen.append(dateien[i].name);
            ergebnis.gruende.append(warum);
            weg[i] = true;
        }
    }
    std::size_t i = 0;
    dateien.erase(
        std::remove_if(dateien.begin(), dateien.end(), [&](const Datei &) { return weg[i++]; }),
        dateien.end());
    return ergebnis.ok();
}

} // namespace

QString NewCurveFile::vergleichsPfad(const QString &name)
{
    const QString pfad = Platform::resolvedPath(Platform::outputTarget(name).path);
    const qsizetype slash = pfad.lastIndexOf(QLatin1Char('/'));
    return Platform::namesIgnoreCase(slash <= 0 ? QStringLiteral("/") : pfad.left(slash))
               ? pfad.toCaseFolded()
               : pfad;
}

QString NewCurveFile::kopf(const QString &beschreibung, int kanal)
{
    if (kanal == 2)
        return QLatin1String("K2: ") + beschreibung;
    QString kopf = beschreibung;
    return kopf.replace(QLatin1Char(' '), QLatin1Char('_'));
}

NewCurveFile::Ergebnis NewCurveFile::kurveNeuSpeichern(const QString &basis,
                                                       const QString &beschreibung,
                                                       const CurveRecord &record)
{
    Ergebnis ergebnis;
    std::vector<Datei> dateien = kanalDateien(basis, beschreibung, record, ergebnis);
    pruefen(dateien, ergebnis);
    for (Datei &datei : dateien) {
        Platform::FileResult r = Platform::writeTemporaryFile(datei.ziel, datei.inhalt, datei.temp);
        if (r.ok())
            r = Platform::replaceFile(datei.temp, datei.ziel);
        if (r.ok()) {
            ergebnis.geschrieben.append(datei.name);
        } else {
            Platform::removeFile(datei.temp);
            fehlschlag(ergebnis, datei, r);
        }
    }
    return ergebnis;
}

NewCurveFile::Ergebnis NewCurveFile::kurveNeuSpeichernAlleOderKeine(const QString &basis,
                                                                    const QString &beschreibung,
                                                                    const CurveRecord &record,
                                                                    const QList<Beilage> &beilagen)
{
    Ergebnis ergebnis;
    std::vector<Datei> dateien = kanalDateien(basis, beschreibung, record, ergebnis);
    for (const Beilage &beilage : beilagen)
        dateien.emplace_back(beilage.name, beilage.inhalt);
    if (!pruefen(dateien, ergebnis))
        return ergebnis; // nothing written, nothing touched

    // Every new file is complete on disk before the first one replaces anything. The old files
    // are kept aside until all new ones are in place, so that a failure can put them back.
    for (Datei &datei : dateien) {
        const Platform::FileResult r =
            Platform::writeTemporaryFile(datei.ziel, datei.inhalt, datei.temp);
        if (!r.ok()) {
            fehlschlag(ergebnis, datei, r);
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
            fehlschlag(ergebnis, datei, r);
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
