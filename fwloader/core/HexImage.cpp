#include "HexImage.h"

#include "DeviceIdentity.h"

#include <QCoreApplication>
#include <QFile>

#include <vector>

namespace {

constexpr int firstForbiddenAddress = 0xFC00;

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

// The bytes of one record ":ccaaaatt<data>ss", or false when it is no well-formed record.
bool decodeRecord(const char *word, int length, std::vector<int> &bytes)
{
    bytes.clear();
    if (length < 11 || (length - 1) % 2 != 0)
        return false;
    int sum = 0;
    for (int i = 1; i < length; i += 2) {
        const int high = hexDigit(word[i]);
        const int low = hexDigit(word[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(high * 16 + low);
        sum += bytes.back();
    }
    const int count = bytes[0];
    return int(bytes.size()) == count + 5 && (sum & 0xFF) == 0;
}

} // namespace

HexLoadResult loadHexFile(const QString &path, int fwVersion)
{
    HexLoadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = HexStatus::NotReadable;
        return result;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = HexStatus::NotReadable;
        return result;
    }

    FirmwareImage &firmware = result.image;
    int upperAddress = 0xFFFF; // nothing is stored before the first extended address record
    bool outsideImage = false;
    int record = 0;
    std::vector<int> bytes;
    const char *data = text.constData();
    const int size = int(text.size());
    // Editors on Windows may put a byte order mark in front of the first record.
    for (int pos = text.startsWith("\xEF\xBB\xBF") ? 3 : 0; pos < size;) {
        while (pos < size && isSpace(data[pos]))
            ++pos;
        const int start = pos;
        while (pos < size && !isSpace(data[pos]))
            ++pos;
        if (pos == start || data[start] != ':')
            continue;
        ++record;
        if (!decodeRecord(data + start, pos - start, bytes)) {
            result.status = HexStatus::Malformed;
            result.badRecord = record;
            return result;
        }
        const int count = bytes[0];
        const int address = bytes[1] * 256 + bytes[2];
        const int type = bytes[3];
        if (type == 0x04) {
            if (count != 2) {
                result.status = HexStatus::Malformed;
                result.badRecord = record;
                return result;
            }
            upperAddress = bytes[4] * 256 + bytes[5];
        } else if (type == 0x00 && upperAddress == 0) {
            for (int i = 0; i < count; ++i) {
                const int cell = address + i;
                if (cell >= firstForbiddenAddress) {
                    outsideImage = true;
                    continue;
                }
                firmware.image[cell] = bytes[4 + i];
                firmware.lastAddress = qMax(firmware.lastAddress, cell);
            }
        }
        // Other record types (end of file, segment and start addresses) change nothing.
    }

    // A PIC18 firmware of ours jumps over the boot loader: GOTO 0xFC00 at 0x0020.
    const bool gotoBootLoader = firmware.image[0x20] == 0x00 && firmware.image[0x21] == 0xEF &&
                                firmware.image[0x22] == 0x7E && firmware.image[0x23] == 0xF0;
    if (outsideImage || !gotoBootLoader || firmware.lastAddress > firstForbiddenAddress - 1) {
        result.status = HexStatus::Unsuitable;
        return result;
    }
    const bool fileForLf = firmware.image[0x1C] >= 200 && firmware.image[0x1D] == 0;
    if (fileForLf && !isLfProcessor(fwVersion))
        result.status = HexStatus::NotForF26K22;
    else if (!fileForLf && isLfProcessor(fwVersion))
        result.status = HexStatus::NotForF26K80;
    else
        result.status = HexStatus::Accepted;
    return result;
}

QString hexStatusText(const HexLoadResult &result)
{
    const char *text = QT_TRANSLATE_NOOP("ZOR2fwloader", "HEX-Datei nicht lesbar!!");
    switch (result.status) {
    case HexStatus::Accepted:
        return QCoreApplication::translate("ZOR2fwloader", "HEX-Datei OK!! Laenge: %1 Byte")
            .arg(result.image.lastAddress);
    case HexStatus::NotReadable:
        break;
    case HexStatus::Malformed:
        text = QT_TRANSLATE_NOOP("ZOR2fwloader", "HEX-Datei fehlerhaft!!");
        break;
    case HexStatus::Unsuitable:
        text = QT_TRANSLATE_NOOP("ZOR2fwloader", "HEX-Datei nicht geeignet!!");
        break;
    case HexStatus::NotForF26K22:
        text = QT_TRANSLATE_NOOP("ZOR2fwloader", "HEX-Datei nicht fuer PIC18F26K22!!");
        break;
    case HexStatus::NotForF26K80:
        text = QT_TRANSLATE_NOOP("ZOR2fwloader", "HEX-Datei nicht fuer PIC18F26K80!!");
        break;
    }
    return QCoreApplication::translate("ZOR2fwloader", text);
}
