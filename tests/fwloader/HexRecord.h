#pragma once

#include <QByteArray>

// One Intel HEX record ":ccaaaatt<data>ss" in upper-case digits, without a line end.
// checksumError is added to the correct checksum, to make a damaged record.
inline QByteArray hexRecord(int type, int address, const QByteArray &data, int checksumError = 0)
{
    QByteArray bytes;
    bytes.append(char(data.size()));
    bytes.append(char(address >> 8));
    bytes.append(char(address & 0xFF));
    bytes.append(char(type));
    bytes.append(data);
    int sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    bytes.append(char((0x100 - (sum & 0xFF) + checksumError) & 0xFF));
    return ':' + bytes.toHex().toUpper();
}
