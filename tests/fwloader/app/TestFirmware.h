#pragma once

#include "HexRecord.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A firmware for the tests: length bytes from address 0 with the version cells at 0x1C that
// tell its processor and the jump to 0xFC00 at 0x20, written as an Intel HEX file.
struct TestFirmware
{
    explicit TestFirmware(int length, int version = 105, bool jump = true)
    {
        for (int a = 0; a < length; ++a)
            bytes.append(char((a * 7 + 3) & 0xFF));
        bytes[0x1C] = char(version & 0xFF);
        bytes[0x1D] = char(version >> 8);
        if (jump)
            bytes.replace(0x20, 4, QByteArray::fromHex("00EF7EF0"));
    }

    // One record of 16 data bytes per line after the upper address 0000; badRecord (counting
    // the records from 1) gets a wrong checksum.
    QByteArray hex(int badRecord = 0) const
    {
        QByteArray text;
        int number = 0;
        auto record = [&](int address, int type, const QByteArray &data) {
            text += hexRecord(type, address, data, ++number == badRecord ? 1 : 0) + "\r\n";
        };
        record(0, 4, QByteArray::fromHex("0000"));
        for (int a = 0; a < bytes.size(); a += 16)
            record(a, 0, bytes.mid(a, 16));
        record(0, 1, {});
        return text;
    }

    // What the device holds after the transfer: the blocks sent, 255 where the file has no data.
    QByteArray flashed() const
    {
        const int blocks = (bytes.size() - 1) / 64 + 1;
        return bytes + QByteArray(blocks * 64 - bytes.size(), char(0xFF));
    }

    bool write(const QString &path, int badRecord = 0) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(hex(badRecord)) > 0;
    }

    QByteArray bytes;
};
