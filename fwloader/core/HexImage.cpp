#include "core/HexImage.h"

#include "core/DeviceIdentity.h"
#include "platform/FileCause.h"
#include "platform/Platform.h"

#include <QCoreApplication>

#include <vector>

namespace {

constexpr qint64 firstForbiddenAddress = 0xFC00;
constexpr qint64 imageEnd = 0x10000; // the end of the program memory

// The ID locations, configuration words and EEPROM data of these processors: a firmware file
// carries them beside the program, and the boot loader does not write them.
bool inOtherSection(qint64 address)
{
    const qint64 upper = address >> 16;
    return upper == 0x0020 || upper == 0x0030 || upper == 0x00F0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Old DOS tools end a text file with one Ctrl-Z (0x1A): the size of the text without it.
qsizetype endWithoutCtrlZ(const QByteArray &text)
{
    qsizetype end = text.size();
    while (end > 0 && isSpace(text.at(end - 1)))
        --end;
    const bool one =
        end > 0 && text.at(end - 1) == '\x1A' && (end < 2 || text.at(end - 2) != '\x1A');
    return one ? end - 1 : text.size();
}

QString tr(const char *text)
{
    return QCoreApplication::translate("LoaderWindow", text);
}

// Whether an image was built for the PIC18LF26K80 (version cells 0x1C/0x1D hold 200 or more).
bool builtForLf(const FirmwareImage &firmware)
{
    return firmware.image[0x1C] >= 200 && firmware.image[0x1D] == 0;
}

QString hex4(qint64 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

// The bytes of one record ":ccaaaatt<data>ss"; an empty reason when it is well formed.
QString decodeRecord(const char *word, qsizetype length, std::vector<quint8> &bytes)
{
    bytes.clear();
    if (word[0] != ':')
        return tr("beginnt nicht mit ':'");
    if (length < 11 || (length - 1) % 2 != 0)
        return tr("zu kurz oder ungerade Zahl von Ziffern");
    quint8 sum = 0; // the checksum works modulo 256
    for (qsizetype i = 1; i < length; i += 2) {
        const int high = hexDigit(word[i]);
        const int low = hexDigit(word[i + 1]);
        if (high < 0 || low < 0)
            return tr("Zeichen, das keine Hex-Ziffer ist");
        bytes.push_back(quint8(high * 16 + low));
        sum = quint8(sum + bytes.back());
    }
    if (qsizetype(bytes.size()) != qsizetype(bytes[0]) + 5)
        return tr("Laenge passt nicht zur Zahl der Bytes");
    if (sum != 0)
        return tr("Pruefsumme falsch");
    return {};
}

void refuse(HexLoadResult &result, HexStatus status, const QString &reason, int record = 0)
{
    result.status = status;
    result.reason = reason;
    result.badRecord = record;
}

// Reads a regular file of sane size whole; a FIFO, a device or a huge file is never read.
bool readWhole(const QString &path, QByteArray &text, HexLoadResult &result)
{
    const Platform::ReadResult read = Platform::readRegularFile(path, maxHexFileSize);
    const Platform::FileKind kind = read.status.kind;
    QString reason;
    // A folder the user may not enter hides whether the file exists: that is no missing file.
    if (read.status.result.error == Platform::FileError::NoPermission)
        reason = tr("kein Zugriff auf die Datei oder ihren Ordner");
    else if (kind == Platform::FileKind::Missing || kind == Platform::FileKind::DanglingLink)
        reason = FileCause::fileNotFound();
    else if (kind != Platform::FileKind::Regular)
        reason = FileCause::notRegularFile();
    else if (read.tooLarge)
        reason = tr("groesser als 16 MB, keine Firmware");
    else if (read.status.result.error == Platform::FileError::IoError)
        reason = tr("Lesefehler");
    else if (!read.status.result.ok())
        reason = tr("Datei kann nicht geoeffnet werden");
    if (!reason.isEmpty()) {
        refuse(result, HexStatus::NotReadable, reason);
        return false;
    }
    text = read.data;
    return true;
}

// The records of one file, taken one by one into the result's image.
class RecordReader
{
public:
    explicit RecordReader(HexLoadResult &result)
        : result(result)
        , stored(firstForbiddenAddress, false)
    {
    }

    // false: the record is refused and the result says why.
    bool take(const char *word, qsizetype length);
    // The verdict on the layout after the last record.
    void judge();

private:
    bool storeData(qint64 address, int count);

    HexLoadResult &result;
    std::vector<bool> stored;
    qint64 base = -1; // nothing is stored before the first segment or linear address record
    qint64 protectedFrom = -1;
    qint64 outsideAt = -1; // the first byte outside the program memory and the other sections
    int outsideRecord = 0;
    int dataRecords = 0;    // data records with at least one byte, wherever they lie
    int dataBeforeBase = 0; // the first of them before any address record; 0: none
    bool ended = false;
    int record = 0; // at most 8 M words in a file of 16 MB
    std::vector<quint8> bytes;
};

bool RecordReader::take(const char *word, qsizetype length)
{
    ++record;
    if (ended) {
        refuse(result, HexStatus::Malformed, tr("Text nach dem Dateiende-Satz"), record);
        return false;
    }
    QString reason = decodeRecord(word, length, bytes);
    const int count = reason.isEmpty() ? bytes[0] : 0;
    const int type = reason.isEmpty() ? bytes[3] : 0;
    if (reason.isEmpty() && type > 5)
        reason = tr("unbekannter Satztyp %1").arg(hex4(type).right(2));
    else if (reason.isEmpty() && (type == 2 || type == 4) && count != 2)
        reason = tr("Adresssatz ohne zwei Adressbytes");
    if (!reason.isEmpty()) {
        refuse(result, HexStatus::Malformed, reason, record);
        return false;
    }
    if (type == 0x00 && count > 0) {
        ++dataRecords;
        if (base < 0 && dataBeforeBase == 0)
            dataBeforeBase = record;
    }
    if (type == 0x01)
        ended = true;
    else if (type == 0x02)
        base = qint64(bytes[4] * 256 + bytes[5]) * 16;
    else if (type == 0x04)
        base = qint64(bytes[4] * 256 + bytes[5]) << 16;
    else if (type == 0x00 && base >= 0)
        return storeData(bytes[1] * 256 + bytes[2], count);
    // Start addresses (types 03 and 05) change nothing.
    return true;
}

bool RecordReader::storeData(qint64 address, int count)
{
    FirmwareImage &firmware = result.image;
    for (int i = 0; i < count; ++i) {
        const qint64 cell = base + address + i;
        const int value = bytes[4 + i];
        if (cell >= imageEnd && !inOtherSection(cell)) {
            if (outsideAt < 0) {
                outsideAt = cell;
                outsideRecord = record;
            }
        } else if (cell >= imageEnd) {
            ++result.skippedBytes;
        } else if (cell >= firstForbiddenAddress) {
            if (protectedFrom < 0 || cell < protectedFrom)
                protectedFrom = cell;
        } else if (!stored[cell]) {
            stored[cell] = true;
            firmware.image[cell] = value;
            firmware.lastAddress = qMax(firmware.lastAddress, int(cell));
            if (result.firstAddress < 0 || cell < result.firstAddress)
                result.firstAddress = int(cell);
            ++result.dataBytes;
        } else if (firmware.image[cell] != value) {
            refuse(result, HexStatus::Malformed,
                   tr("zweiter, anderer Wert fuer Adresse 0x%1").arg(hex4(cell)), record);
            return false;
        }
    }
    return true;
}

void RecordReader::judge()
{
    // A PIC18 firmware of ours jumps over the boot loader: GOTO 0xFC00 at 0x0020.
    const FirmwareImage &firmware = result.image;
    const bool gotoBootLoader = firmware.image[0x20] == 0x00 && firmware.image[0x21] == 0xEF &&
                                firmware.image[0x22] == 0x7E && firmware.image[0x23] == 0xF0;
    if (record == 0)
        refuse(result, HexStatus::Unsuitable, tr("keine Daten"));
    else if (!ended)
        refuse(result, HexStatus::Malformed,
               tr("kein Dateiende-Satz (Typ 01), Datei abgeschnitten?"), record);
    else if (dataRecords == 0)
        refuse(result, HexStatus::Unsuitable, tr("keine Daten"));
    else if (base < 0)
        refuse(result, HexStatus::Unsuitable,
               tr("kein Satz vom Typ 04 (erwartet wird eine 32-Bit-HEX-Datei)"));
    // Such records would be lost without a word (a file joined from a part without address
    // records and one with them): nothing is flashed that the user did not see judged.
    else if (dataBeforeBase > 0)
        refuse(result, HexStatus::Malformed,
               tr("Daten vor dem ersten Satz vom Typ 04 (die Datei als 32-Bit-HEX-Datei neu "
                  "erzeugen)"),
               dataBeforeBase);
    else if (protectedFrom >= 0)
        refuse(result, HexStatus::Unsuitable,
               tr("Daten ab 0x%1, der Bereich ab 0xFC00 ist geschuetzt").arg(hex4(protectedFrom)));
    // Code for a larger processor: flashing the rest would leave a program in pieces.
    else if (outsideAt >= 0)
        refuse(result, HexStatus::Unsuitable,
               tr("Daten bei 0x%1 liegen ausserhalb des Programmspeichers").arg(hex4(outsideAt)),
               outsideRecord);
    else if (result.dataBytes == 0)
        refuse(result, HexStatus::Unsuitable, tr("keine Daten"));
    else if (!gotoBootLoader)
        refuse(result, HexStatus::Unsuitable, tr("kein Sprung zum Bootloader bei 0x20"));
    else
        result.status = HexStatus::Accepted;
}

} // namespace

HexLoadResult readHexFile(const QString &path)
{
    HexLoadResult result;
    QByteArray text;
    if (!readWhole(path, text, result))
        return result;
    if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF") || text.contains('\0')) {
        refuse(result, HexStatus::Malformed, tr("UTF-16 oder binaer, erwartet wird ASCII-Text"), 1);
        return result;
    }

    RecordReader reader(result);
    const char *data = text.constData();
    const qsizetype size = endWithoutCtrlZ(text);
    // Editors on Windows may put a byte order mark in front of the first record.
    for (qsizetype pos = text.startsWith("\xEF\xBB\xBF") ? 3 : 0; pos < size;) {
        while (pos < size && isSpace(data[pos]))
            ++pos;
        const qsizetype start = pos;
        while (pos < size && !isSpace(data[pos]))
            ++pos;
        if (pos > start && !reader.take(data + start, pos - start))
            return result;
    }
    reader.judge();
    return result;
}

void checkProcessor(HexLoadResult &result, int fwVersion)
{
    if (result.status != HexStatus::Accepted)
        return;
    const bool fileForLf = builtForLf(result.image);
    if (fileForLf && !isLfProcessor(fwVersion))
        refuse(result, HexStatus::NotForF26K22, tr("die Datei ist fuer den PIC18LF26K80"));
    else if (!fileForLf && isLfProcessor(fwVersion))
        refuse(result, HexStatus::NotForLF26K80, tr("die Datei ist fuer den PIC18F26K22"));
}

QString fileProcessorName(const FirmwareImage &firmware)
{
    return processorName(knownProcessors[builtForLf(firmware) ? 1 : 0].fwVersion);
}

HexLoadResult loadHexFile(const QString &path, int fwVersion)
{
    HexLoadResult result = readHexFile(path);
    checkProcessor(result, fwVersion);
    return result;
}

QString hexStatusText(const HexLoadResult &result)
{
    const char *text = QT_TRANSLATE_NOOP("LoaderWindow", "HEX-Datei nicht lesbar!!");
    switch (result.status) {
    case HexStatus::Accepted:
        // The byte extent, as the label's word says: the highest address written, plus one.
        return tr("HEX-Datei OK!! Laenge: %1 Byte").arg(result.image.lastAddress + 1);
    case HexStatus::NotReadable:
        break;
    case HexStatus::Malformed:
        text = QT_TRANSLATE_NOOP("LoaderWindow", "HEX-Datei fehlerhaft!!");
        break;
    case HexStatus::Unsuitable:
        text = QT_TRANSLATE_NOOP("LoaderWindow", "HEX-Datei nicht geeignet!!");
        break;
    case HexStatus::NotForF26K22:
        text = QT_TRANSLATE_NOOP("LoaderWindow", "HEX-Datei nicht fuer PIC18F26K22!!");
        break;
    case HexStatus::NotForLF26K80:
        text = QT_TRANSLATE_NOOP("LoaderWindow", "HEX-Datei nicht fuer PIC18LF26K80!!");
        break;
    }
    return tr(text);
}

QString hexRefusalReason(const HexLoadResult &result)
{
    if (result.badRecord > 0 && !result.reason.isEmpty())
        return tr("Satz %1: %2").arg(QString::number(result.badRecord), result.reason);
    return result.reason;
}

QString hexStatusLine(const HexLoadResult &result)
{
    const QString text = hexStatusText(result);
    if (result.reason.isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, hexRefusalReason(result));
}
