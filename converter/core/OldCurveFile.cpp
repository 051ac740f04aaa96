#include "core/OldCurveFile.h"

#include "core/Diagnostics.h"
#include "core/FieldReader.h"
#include "platform/FileCause.h"

#include <QByteArray>
#include <QCoreApplication>

#include <string_view>

namespace {

constexpr int kTable5Length = 10000;

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
void clearOldPart(CurveRecord &record)
{
    record.clearCurve();
    OldCurve &k = record.oldCurve;
    k.stepHz = 0;
    k.stepCount = 0;
    k.factor1 = 0;
    k.shift1 = 0;
    k.factor2 = 0;
    k.shift2 = 0;
}

// Reads the fields after the version tag; on a refusal fills the reason into result.
class OldFieldReader
{
public:
    OldFieldReader(FieldReader &fields, const Text &text, OldCurveFile::Result &result)
        : fields(fields)
        , text(text)
        , result(result)
    {
    }

    // One number field, named for the user by name (translated only when it fails).
    template <typename T>
    bool number(T &out, const char *name)
    {
        const FieldStatus outcome = fields.number(out);
        if (outcome == FieldStatus::Ok)
            return true;
        return error(outcome, OldCurveFile::tr(name));
    }

    // A failure in the field named field: missing, or not a number.
    bool error(FieldStatus outcome, const QString &field)
    {
        result.error = outcome == FieldStatus::Missing ? OldCurveFile::Error::EndsEarly
                                                       : OldCurveFile::Error::NotANumber;
        result.field = field;
        if (outcome == FieldStatus::NotANumber) {
            constexpr std::size_t kShownChars = 40; // a hostile word may be megabytes long
            const std::string_view w = fields.lastWord();
            result.text = text(w.substr(0, kShownChars));
            if (w.size() > kShownChars)
                result.text += QStringLiteral("...");
        }
        return false;
    }

    bool read(int version, CurveRecord &record);

private:
    // The header values that are taken over only once the kind of curve is known.
    struct Header
    {
        double factor1 = 0, shift1 = 0, factor2 = 0, shift2 = 0;
        qint32 mode = 0;
    };

    bool readHeader(int version, OldCurve &k, Header &header);
    bool applyMode(const Header &header, CurveRecord &record);
    bool readSav(int version, qint32 mode);
    bool readSamples(OldCurve &k);
    bool readLabel(int version, OldCurve &k, QString &label);

    FieldReader &fields;
    const Text &text;
    OldCurveFile::Result &result;
};

bool OldFieldReader::read(int version, CurveRecord &record)
{
    // Versions in file order: 2 "#V3.05", 3 "#V4.04", 4 "#V4.05", 5 "#V4.10".
    Header header;
    QString label;
    if (!readHeader(version, record.oldCurve, header) || !applyMode(header, record) ||
        !readSav(version, header.mode) || !readSamples(record.oldCurve) ||
        !readLabel(version, record.oldCurve, label))
        return false;
    if (label.isEmpty())
        label = QStringLiteral(";no_label");
    if (!label.startsWith(QLatin1Char(';')))
        label.prepend(QLatin1Char(';'));
    if (label.contains(QLatin1String("@;")))
        label.truncate(label.indexOf(QLatin1Char('@')));
    record.description += label;
    return true;
}

bool OldFieldReader::readHeader(int version, OldCurve &k, Header &header)
{
    using Error = OldCurveFile::Error;
    if (version == 5) {
        qint32 audio = 0;
        if (!number(audio, QT_TRANSLATE_NOOP("OldCurveFile", "Audio-Kennung")))
            return false;
        k.audioSweep = audio == 1;
    }
    if (!number(k.startHz, QT_TRANSLATE_NOOP("OldCurveFile", "Startfrequenz")) ||
        !number(k.stepHz, QT_TRANSLATE_NOOP("OldCurveFile", "Frequenzschrittweite")) ||
        !number(k.stepCount, QT_TRANSLATE_NOOP("OldCurveFile", "Anzahl der Frequenzschritte")) ||
        !number(header.factor1, QT_TRANSLATE_NOOP("OldCurveFile", "Faktor Kanal 1")) ||
        !number(header.shift1, QT_TRANSLATE_NOOP("OldCurveFile", "Offset Kanal 1")) ||
        !number(header.factor2, QT_TRANSLATE_NOOP("OldCurveFile", "Faktor Kanal 2")) ||
        !number(header.shift2, QT_TRANSLATE_NOOP("OldCurveFile", "Offset Kanal 2")) ||
        !number(header.mode, QT_TRANSLATE_NOOP("OldCurveFile", "Kurvenart")))
        return false;
    if (k.stepCount > kMaxOldSteps) {
        result.error = Error::TooManySteps;
        return false;
    }
    if (k.stepCount < 0) {
        result.error = Error::NegativeStepCount;
        result.text = QString::number(k.stepCount);
        return false;
    }
    return true;
}

// The header values are taken over only with a known kind of curve.
bool OldFieldReader::applyMode(const Header &header, CurveRecord &record)
{
    OldCurve &k = record.oldCurve;
    const qint32 mode = header.mode;
    struct ModeInfo
    {
        qint32 curveType;
        const char *name;
        bool linear;
    };
    static const ModeInfo modes[] = {
        {CurveTypeSweep, QT_TRANSLATE_NOOP("ConverterWindow", "Wobbel-Kurve-logarithmisch"), false},
        {CurveTypeSwr, QT_TRANSLATE_NOOP("ConverterWindow", "SWV-Kurve"), false},
        {CurveTypeSweep, QT_TRANSLATE_NOOP("ConverterWindow", "Wobbel-Kurve-Linear"), true},
        {CurveTypeAntennaSwr, QT_TRANSLATE_NOOP("ConverterWindow", "SWV-Antenne-Kurve"), false},
        {CurveTypeImpedance, QT_TRANSLATE_NOOP("ConverterWindow", "Impedanz-Kurve"), false},
        {CurveTypeSav, QT_TRANSLATE_NOOP("ConverterWindow", "SAV-Kurve"), false},
    };
    if (mode < 0 || mode > 5) {
        result.error = OldCurveFile::Error::UnknownMode;
        return false;
    }
    const ModeInfo &m = modes[mode];
    k.factor1 = header.factor1;
    k.shift1 = header.shift1;
    k.factor2 = header.factor2;
    k.shift2 = header.shift2;
    k.curveType = m.curveType;
    k.linear1 = m.linear;
    k.linear2 = m.linear;
    const char *name = (mode == 0 && k.audioSweep)
                           ? QT_TRANSLATE_NOOP("ConverterWindow", "Wobbel-Kurve-Audio_NF")
                           : m.name;
    record.curveTypeName = QCoreApplication::translate("ConverterWindow", name);
    return true;
}

// The SAV details of a newer file: read, checked and dropped.
bool OldFieldReader::readSav(int version, qint32 mode)
{
    if (mode == 5 && version >= 3) {
        const char *sav = QT_TRANSLATE_NOOP("OldCurveFile", "SAV-Angaben");
        double value = 0;
        qint32 whole = 0;
        for (int i = 0; i < 4; ++i) {
            if (!number(value, sav))
                return false;
        }
        if (!number(whole, sav) || !number(whole, sav))
            return false;
    }
    return true;
}

bool OldFieldReader::readSamples(OldCurve &k)
{
    int channelNumber = 1;
    for (auto *channel : {&k.samples1, &k.samples2}) {
        for (qint32 i = 0; i < k.stepCount; ++i) {
            const FieldStatus outcome = fields.number((*channel)[std::size_t(i)]);
            if (outcome != FieldStatus::Ok) {
                return error(outcome, OldCurveFile::tr("Kanal %1, Messwert %2 von %3")
                                          .arg(channelNumber)
                                          .arg(i + 1)
                                          .arg(k.stepCount));
            }
        }
        ++channelNumber;
    }
    return true;
}

// The label (all remaining words of an older file, one word of a newer one) and, in a newer
// file, the correction tables after it.
bool OldFieldReader::readLabel(int version, OldCurve &k, QString &label)
{
    if (version <= 3) {
        QByteArray words;
        while (!fields.atEnd()) {
            const std::string_view w = fields.word();
            words.append(w.data(), qsizetype(w.size()));
        }
        label = text(std::string_view(words.constData(), std::size_t(words.size())));
    } else {
        const std::string_view word = fields.word();
        if (word.empty())
            return error(FieldStatus::Missing, OldCurveFile::tr("Beschriftung"));
        label = text(word);
        std::array<double, kMaxOldSteps> *tables[] = {&k.levelTable1, &k.levelTable2, &k.swrTable1,
                                                      &k.swrTable2};
        for (int t = 0; t < 5; ++t) {
            const int length = t < 4 ? kMaxOldSteps : kTable5Length;
            int index = 0;
            const FieldStatus outcome = t < 4 ? fields.table(tables[t], length, index)
                                              : fields.table<1>(nullptr, length, index);
            // The conversion never reads the fifth table: a short one is accepted.
            if (outcome != FieldStatus::Ok && !(t == 4 && outcome == FieldStatus::Missing)) {
                return error(outcome, OldCurveFile::tr("Korrekturtabelle %1, Wert %2 von %3")
                                          .arg(t + 1)
                                          .arg(index + 1)
                                          .arg(length));
            }
        }
    }
    return true;
}

} // namespace

OldCurveFile::Result OldCurveFile::readOldCurve(const QString &path, CurveRecord &record)
{
    Result result;
    clearOldPart(record); // before any refusal, also one for a file that cannot be opened
    record.description = Platform::nameAsText(path); // the decoded text, as shown
    const Platform::ReadResult outcome = Platform::readRegularFile(path, kMaxSize);
    result.file = outcome.status;
    if (!outcome.ok()) {
        result.error = outcome.tooLarge ? Error::TooLarge : Error::Unreadable;
        return result;
    }
    std::string_view data(outcome.data.constData(), std::size_t(outcome.data.size()));
    if (data.substr(0, 3) == "\xEF\xBB\xBF")
        data.remove_prefix(3); // a byte-order mark, as editors put before UTF-8 text
    // Well-formed UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
    const Text text(QByteArrayView(data.data(), qsizetype(data.size())).isValidUtf8());
    FieldReader fields(data.data(), data.data() + data.size());
    const std::string_view tag = fields.word();
    static const std::string_view tags[] = {"#V3.05", "#V4.04", "#V4.05", "#V4.10"};
    int version = 1;
    for (int i = 0; i < 4; ++i) {
        if (tag == tags[i])
            version = i + 2;
    }
    if (version == 1) {
        result.error = Error::NotOldFormat;
        return result;
    }

    if (!OldFieldReader(fields, text, result).read(version, record)) {
        clearOldPart(record);
        record.description = Platform::nameAsText(path); // the decoded text, as shown
        return result;
    }
    result.error = Error::Ok;
    result.versionCode = version;
    return result;
}

QString OldCurveFile::Result::reason() const
{
    using Platform::FileKind;
    switch (error) {
    case Error::Ok:
        break;
    case Error::Unreadable:
        switch (file.kind) {
        case FileKind::Missing:
        case FileKind::Regular:
            if (file.result.error == Platform::FileError::NotFound || file.result.ok())
                return FileCause::fileNotFound();
            if (file.result.error == Platform::FileError::NoPermission)
                return OldCurveFile::tr("keine Leseberechtigung");
            return OldCurveFile::tr("Datei kann nicht gelesen werden: %1")
                .arg(FileCause::text(file.result));
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
    case Error::TooLarge:
        return OldCurveFile::tr("Datei zu gross (%1 Bytes, hoechstens %2 MB)")
            .arg(file.size)
            .arg(kMaxSize / (1024 * 1024));
    case Error::NotOldFormat:
        return OldCurveFile::tr("keine Kurvendatei im alten Format");
    case Error::TooManySteps:
        return OldCurveFile::tr("zu viele Frequenzschritte (hoechstens 9999)");
    case Error::NegativeStepCount:
        return OldCurveFile::tr("negative Anzahl der Frequenzschritte (%1)").arg(text);
    case Error::UnknownMode:
        return OldCurveFile::tr("unbekannte Kurvenart");
    case Error::NotANumber:
        return OldCurveFile::tr("das Feld \"%1\" enthaelt keine gueltige Zahl: \"%2\"")
            .arg(field, text);
    case Error::EndsEarly:
        return OldCurveFile::tr("Datei endet vorzeitig, es fehlt: %1").arg(field);
    }
    return QString();
}

void OldCurveFile::acceptDescription(CurveRecord &record)
{
    record.description.replace(QLatin1Char('_'), QLatin1Char(' '));
}

OldCurveFile::Result OldCurveFile::openOldCurve(const QString &path, CurveRecord &record)
{
    const Result result = readOldCurve(path, record);
    if (result.ok()) {
        acceptDescription(record);
        logHeader(record);
    }
    return result;
}

void OldCurveFile::logHeader(const CurveRecord &record)
{
    if (!converterDiagnostics().isDebugEnabled())
        return; // switched off: not even formatted
    const OldCurve &k = record.oldCurve;
    const double audio = k.audioSweep ? 1.0 / 32.0 : 1.0;
    qCDebug(converterDiagnostics) << record.description;
    qCDebug(converterDiagnostics) << "Frq-Anfang" << k.startHz;
    qCDebug(converterDiagnostics) << "Frq-Schrittweite" << k.stepHz;
    qCDebug(converterDiagnostics) << "Frq-Schritte" << k.stepCount;
    qCDebug(converterDiagnostics) << "Kanal1 Lin/Log" << k.linear1;
    qCDebug(converterDiagnostics) << "Kanal1 faktor" << k.factor1;
    qCDebug(converterDiagnostics) << "Kanal1 shift" << k.shift1;
    qCDebug(converterDiagnostics) << "Kanal2 Lin/Log" << k.linear2;
    qCDebug(converterDiagnostics) << "Kanal2 faktor" << k.factor2;
    qCDebug(converterDiagnostics) << "Kanal2 shift" << k.shift2;
    qCDebug(converterDiagnostics) << "Kanal1 k1[10]" << k.samples1[10];
    qCDebug(converterDiagnostics) << "Kanal2 k2[10]" << k.samples2[10];
    qCDebug(converterDiagnostics) << "dB1" << double(k.samples1[10]) * k.factor1 + k.shift1;
    qCDebug(converterDiagnostics) << "dB2" << double(k.samples2[10]) * audio * k.factor2 + k.shift2;
}
