#include "HexImage.h"
#include "HexRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray record(int type, int address, const QByteArray &data, int checksumError = 0)
{
    return hexRecord(type, address, data, checksumError) + '\n';
}

QByteArray upper(int value)
{
    return record(4, 0, QByteArray::fromHex(QByteArray::number(value, 16).rightJustified(4, '0')));
}

// The byte a test firmware holds at an address: the jump to the boot loader at 0x20, the
// processor cells at 0x1C and 0x1D, a pattern elsewhere.
int firmwareByte(int address, int cell1C, int cell1D)
{
    static const int jump[4] = {0x00, 0xEF, 0x7E, 0xF0};
    if (address >= 0x20 && address < 0x24)
        return jump[address - 0x20];
    if (address == 0x1C)
        return cell1C;
    if (address == 0x1D)
        return cell1D;
    return (address * 7 + 3) & 0xFF;
}

// Data records of 16 bytes from 0 to last, one per line.
QByteArray dataRecords(int first, int last, int cell1C = 0x67, int cell1D = 0)
{
    QByteArray text;
    for (int address = first; address <= last; address += 16) {
        QByteArray data;
        for (int i = address; i <= qMin(last, address + 15); ++i)
            data.append(char(firmwareByte(i, cell1C, cell1D)));
        text += record(0, address, data);
    }
    return text;
}

QByteArray firmwareFile(int last, int cell1C = 0x67, int cell1D = 0)
{
    return upper(0) + dataRecords(0, last, cell1C, cell1D) + record(1, 0, {});
}

const QByteArray endOfFile = record(1, 0, {});

} // namespace

// Reading Intel HEX firmware files into the image and judging them.
class TestHexImage : public QObject
{
    Q_OBJECT

private:
    QString writeFile(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("fw%1.hex").arg(++files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write test file");
        file.write(content);
        return path;
    }

    QTemporaryDir dir;
    int files = 0;

private slots:
    void judgesTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("fwVersion");
        QTest::addColumn<HexStatus>("status");
        QTest::addColumn<int>("lastAddress");
        QTest::addColumn<int>("badRecord");
        QTest::addColumn<QString>("text");

        const QByteArray k22 = firmwareFile(0x3FFF);
        QTest::newRow("K22 file, K22 device") << k22 << 105 << HexStatus::Accepted << 0x3FFF << 0
                                              << "HEX-Datei OK!! Laenge: 16383 Byte";
        QTest::newRow("K22 file, K80 device") << k22 << 200 << HexStatus::NotForF26K80 << 0x3FFF
                                              << 0 << "HEX-Datei nicht fuer PIC18F26K80!!";
        const QByteArray k80 = firmwareFile(0x3FFF, 0xC8, 0);
        QTest::newRow("K80 file, K80 device") << k80 << 200 << HexStatus::Accepted << 0x3FFF << 0
                                              << "HEX-Datei OK!! Laenge: 16383 Byte";
        QTest::newRow("K80 file, K22 device") << k80 << 199 << HexStatus::NotForF26K22 << 0x3FFF
                                              << 0 << "HEX-Datei nicht fuer PIC18F26K22!!";
        QTest::newRow("C8 01 is a K22 file")
            << firmwareFile(0x3FFF, 0xC8, 1) << 200 << HexStatus::NotForF26K80 << 0x3FFF << 0
            << "HEX-Datei nicht fuer PIC18F26K80!!";
        QTest::newRow("other sections skipped")
            << upper(0) + dataRecords(0, 0x3FFF) + upper(0x30) + record(0, 0, "\x01\x02\x03") +
                   upper(0xF0) + record(0, 0x20, QByteArray(4, '\x11')) + endOfFile
            << 105 << HexStatus::Accepted << 0x3FFF << 0 << "HEX-Datei OK!! Laenge: 16383 Byte";
        QTest::newRow("no extended address record")
            << dataRecords(0, 0x3FFF) + endOfFile << 105 << HexStatus::Unsuitable << -1 << 0
            << "HEX-Datei nicht geeignet!!";
        QTest::newRow("no jump at 0x20")
            << upper(0) + record(0, 0, QByteArray(64, '\0')) << 105 << HexStatus::Unsuitable << 63
            << 0 << "HEX-Datei nicht geeignet!!";
        QTest::newRow("empty file") << QByteArray() << 105 << HexStatus::Unsuitable << -1 << 0
                                    << "HEX-Datei nicht geeignet!!";
        QTest::newRow("last byte at 0xFBFF") << firmwareFile(0xFBFF) << 105 << HexStatus::Accepted
                                             << 0xFBFF << 0 << "HEX-Datei OK!! Laenge: 64511 Byte";
        QTest::newRow("last byte at 0xFC00")
            << firmwareFile(0xFBFF) + record(0, 0xFC00, "\x12") << 105 << HexStatus::Unsuitable
            << 0xFBFF << 0 << "HEX-Datei nicht geeignet!!";
        QTest::newRow("record across 0xFC00")
            << firmwareFile(0x3FFF) + record(0, 0xFBF8, QByteArray(16, '\x12')) << 105
            << HexStatus::Unsuitable << 0xFBFF << 0 << "HEX-Datei nicht geeignet!!";
        QTest::newRow("bytes beyond the image cells")
            << firmwareFile(0x3FFF) + record(0, 0xFFF8, QByteArray(16, '\x12')) << 105
            << HexStatus::Unsuitable << 0x3FFF << 0 << "HEX-Datei nicht geeignet!!";
        QTest::newRow("out of address order")
            << upper(0) + dataRecords(0x100, 0x3FFF) + dataRecords(0, 0xFF) << 105
            << HexStatus::Accepted << 0x3FFF << 0 << "HEX-Datei OK!! Laenge: 16383 Byte";
        QByteArray blanks = k22;
        blanks.replace("\n", "  \t");
        QTest::newRow("records separated by blanks")
            << blanks << 105 << HexStatus::Accepted << 0x3FFF << 0
            << "HEX-Datei OK!! Laenge: 16383 Byte";
        QTest::newRow("lower-case digits") << k22.toLower() << 105 << HexStatus::Accepted << 0x3FFF
                                           << 0 << "HEX-Datei OK!! Laenge: 16383 Byte";
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + k22 << 105 << HexStatus::Accepted
                                         << 0x3FFF << 0 << "HEX-Datei OK!! Laenge: 16383 Byte";
        QTest::newRow("words without colon skipped")
            << "firmware V1.05\n" + k22 + "end\n"
            << 105 << HexStatus::Accepted << 0x3FFF << 0 << "HEX-Datei OK!! Laenge: 16383 Byte";
        QTest::newRow("data after the end record")
            << k22 + record(0, 0x4000, "\x01") << 105 << HexStatus::Accepted << 0x4000 << 0
            << "HEX-Datei OK!! Laenge: 16384 Byte";
        QTest::newRow("types 02 03 05 ignored")
            << upper(0) + record(2, 0, "\x10\x00") + record(3, 0, "\x00\x00\x00\x00") +
                   record(5, 0, "\x00\x00\x00\x00") + dataRecords(0, 0x7F)
            << 105 << HexStatus::Accepted << 0x7F << 0 << "HEX-Datei OK!! Laenge: 127 Byte";

        // Records are counted by the words that start with ":"; the first is the upper address.
        QTest::newRow("wrong checksum")
            << upper(0) + record(0, 0, QByteArray(16, '\0')) + record(0, 16, "\x01\x02", 1) + k22
            << 105 << HexStatus::Malformed << -1 << 3 << "HEX-Datei fehlerhaft!!";
        QByteArray notHex = k22;
        notHex[notHex.indexOf(":10", 5) + 12] = 'G';
        QTest::newRow("letter G in data")
            << notHex << 105 << HexStatus::Malformed << -1 << 2 << "HEX-Datei fehlerhaft!!";
        QByteArray shortRecord = record(0, 0, QByteArray(16, '\x01')).trimmed();
        shortRecord.remove(9, 4); // two data bytes fewer than the count says
        shortRecord += '\n';
        QTest::newRow("count does not match")
            << upper(0) + shortRecord + k22 << 105 << HexStatus::Malformed << -1 << 2
            << "HEX-Datei fehlerhaft!!";
        QTest::newRow("odd number of digits")
            << upper(0) + ":00000001F" << 105 << HexStatus::Malformed << -1 << 2
            << "HEX-Datei fehlerhaft!!";
        QTest::newRow("bare colon") << k22 + " : " << 105 << HexStatus::Malformed << -1
                                    << int(k22.count(':')) + 1 << "HEX-Datei fehlerhaft!!";
        QTest::newRow("upper address of one byte")
            << record(4, 0, "\x00") + k22 << 105 << HexStatus::Malformed << -1 << 1
            << "HEX-Datei fehlerhaft!!";
    }
    void judgesTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, fwVersion);
        QFETCH(HexStatus, status);
        QFETCH(int, lastAddress);
        QFETCH(int, badRecord);
        QFETCH(QString, text);
        const HexLoadResult result = loadHexFile(writeFile(content), fwVersion);
        QCOMPARE(result.status, status);
        QCOMPARE(result.badRecord, badRecord);
        QCOMPARE(hexStatusText(result), text);
        if (status != HexStatus::Malformed)
            QCOMPARE(result.image.lastAddress, lastAddress);
        if (status == HexStatus::Accepted) {
            // Every byte of the file in its cell, 255 in every cell above the last address.
            const auto &cells = result.image.image;
            for (int address = 0; address <= qMin(lastAddress, 0x3FFF); ++address)
                QCOMPARE(cells[address], firmwareByte(address, cells[0x1C], cells[0x1D]));
            for (int address = lastAddress + 1; address < int(cells.size()); ++address)
                QCOMPARE(cells[address], 255);
        }
    }

    void laterFileStartsFromAFreshImage()
    {
        const HexLoadResult large = loadHexFile(writeFile(firmwareFile(0x3FFF)), 105);
        QCOMPARE(large.status, HexStatus::Accepted);
        const HexLoadResult small = loadHexFile(writeFile(firmwareFile(0x7F)), 105);
        QCOMPARE(small.status, HexStatus::Accepted);
        QCOMPARE(small.image.lastAddress, 0x7F);
        QCOMPARE(small.image.image[0x80], 255);
        QCOMPARE(small.image.image[0x3FFF], 255);
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << dir.filePath(QStringLiteral("missing.hex"));
        QTest::newRow("folder") << dir.path();
    }
    void unreadableFile()
    {
        QFETCH(QString, path);
        const HexLoadResult result = loadHexFile(path, 105);
        QCOMPARE(result.status, HexStatus::NotReadable);
        QCOMPARE(hexStatusText(result), QStringLiteral("HEX-Datei nicht lesbar!!"));
        QCOMPARE(result.image.lastAddress, -1);
    }
};

QTEST_GUILESS_MAIN(TestHexImage)
#include "tst_heximage.moc"
