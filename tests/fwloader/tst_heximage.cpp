#include "HexRecord.h"
#include "core/HexImage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

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
        QTest::addColumn<QString>("line"); // as the command line says it

        const QString ok = QStringLiteral("HEX-Datei OK!! Laenge: 16384 Byte");
        const QString unsuitable = QStringLiteral("HEX-Datei nicht geeignet!! (%1)");
        const QString damaged = QStringLiteral("HEX-Datei fehlerhaft!! (Satz %1: %2)");
        const QByteArray k22 = firmwareFile(0x3FFF);
        const QByteArray body = upper(0) + dataRecords(0, 0x3FFF);
        QTest::newRow("K22 file, K22 device")
            << k22 << 105 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("K22 file, K80 device")
            << k22 << 200 << HexStatus::NotForLF26K80 << 0x3FFF << 0
            << "HEX-Datei nicht fuer PIC18LF26K80!! (die Datei ist fuer den PIC18F26K22)";
        const QByteArray k80 = firmwareFile(0x3FFF, 0xC8, 0);
        QTest::newRow("K80 file, K80 device")
            << k80 << 200 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("K80 file, K22 device")
            << k80 << 199 << HexStatus::NotForF26K22 << 0x3FFF << 0
            << "HEX-Datei nicht fuer PIC18F26K22!! (die Datei ist fuer den PIC18LF26K80)";
        QTest::newRow("C8 01 is a K22 file")
            << firmwareFile(0x3FFF, 0xC8, 1) << 200 << HexStatus::NotForLF26K80 << 0x3FFF << 0
            << "HEX-Datei nicht fuer PIC18LF26K80!! (die Datei ist fuer den PIC18F26K22)";
        QTest::newRow("other sections skipped")
            << body + upper(0x30) + record(0, 0, "\x01\x02\x03") + upper(0xF0) +
                   record(0, 0x20, QByteArray(4, '\x11')) + endOfFile
            << 105 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("code at 0x10000, for a larger processor")
            << body + upper(1) + record(0, 0, QByteArray(16, '\x12')) + endOfFile << 105
            << HexStatus::Unsuitable << 0x3FFF << 1027
            << unsuitable.arg(
                   "Satz 1027: Daten bei 0x10000 liegen ausserhalb des Programmspeichers");
        QTest::newRow("no extended address record")
            << dataRecords(0, 0x3FFF) + endOfFile << 105 << HexStatus::Unsuitable << -1 << 0
            << unsuitable.arg("kein Satz vom Typ 04 (erwartet wird eine 32-Bit-HEX-Datei)");
        QTest::newRow("no jump at 0x20")
            << upper(0) + record(0, 0, QByteArray(64, '\0')) + endOfFile << 105
            << HexStatus::Unsuitable << 63 << 0
            << unsuitable.arg("kein Sprung zum Bootloader bei 0x20");
        QTest::newRow("empty file") << QByteArray() << 105 << HexStatus::Unsuitable << -1 << 0
                                    << unsuitable.arg("keine Daten");
        QTest::newRow("only the end record") << upper(0) + endOfFile << 105 << HexStatus::Unsuitable
                                             << -1 << 0 << unsuitable.arg("keine Daten");
        QTest::newRow("end record alone") << endOfFile << 105 << HexStatus::Unsuitable << -1 << 0
                                          << unsuitable.arg("keine Daten");
        QTest::newRow("one Ctrl-Z after the end")
            << k22 + "\x1A" << 105 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("last byte at 0xFBFF") << firmwareFile(0xFBFF) << 105 << HexStatus::Accepted
                                             << 0xFBFF << 0 << "HEX-Datei OK!! Laenge: 64512 Byte";
        const QString protectedArea = QStringLiteral("Daten ab 0x%1, der Bereich ab 0xFC00 ist "
                                                     "geschuetzt");
        QTest::newRow("last byte at 0xFC00")
            << upper(0) + dataRecords(0, 0xFBFF) + record(0, 0xFC00, "\x12") + endOfFile << 105
            << HexStatus::Unsuitable << 0xFBFF << 0 << unsuitable.arg(protectedArea.arg("FC00"));
        QTest::newRow("record across 0xFC00")
            << body + record(0, 0xFBF8, QByteArray(16, '\x12')) + endOfFile << 105
            << HexStatus::Unsuitable << 0xFBFF << 0 << unsuitable.arg(protectedArea.arg("FC00"));
        QTest::newRow("bytes beyond the image cells")
            << body + record(0, 0xFFF8, QByteArray(16, '\x12')) + endOfFile << 105
            << HexStatus::Unsuitable << 0x3FFF << 0 << unsuitable.arg(protectedArea.arg("FFF8"));
        QTest::newRow("out of address order")
            << upper(0) + dataRecords(0x100, 0x3FFF) + dataRecords(0, 0xFF) + endOfFile << 105
            << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("same bytes twice") << body + dataRecords(0x100, 0x1FF) + endOfFile << 105
                                          << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QByteArray blanks = k22;
        blanks.replace("\n", "  \t");
        QTest::newRow("records separated by blanks")
            << blanks << 105 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QByteArray crOnly = k22;
        crOnly.replace("\n", "\r");
        QTest::newRow("CR line ends") << crOnly << 105 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("lower-case digits")
            << k22.toLower() << 105 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("byte order mark")
            << "\xEF\xBB\xBF" + k22 << 105 << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("types 03 05 ignored, 02 with segment 0")
            << upper(0) + record(2, 0, QByteArray::fromHex("0000")) +
                   record(3, 0, QByteArray::fromHex("00000000")) +
                   record(5, 0, QByteArray::fromHex("00000000")) + dataRecords(0, 0x7F) + endOfFile
            << 105 << HexStatus::Accepted << 0x7F << 0 << "HEX-Datei OK!! Laenge: 128 Byte";
        // Segment 0x0100 puts the data at 0x1000: the jump at 0x20 is missing then.
        QTest::newRow("type 02 moves the data")
            << record(2, 0, QByteArray::fromHex("0100")) + dataRecords(0, 0x7F) + endOfFile << 105
            << HexStatus::Unsuitable << 0x107F << 0
            << unsuitable.arg("kein Sprung zum Bootloader bei 0x20");
        QTest::newRow("type 04 after 02 replaces it")
            << record(2, 0, QByteArray::fromHex("0100")) + upper(0) + dataRecords(0, 0x7F) +
                   endOfFile
            << 105 << HexStatus::Accepted << 0x7F << 0 << "HEX-Datei OK!! Laenge: 128 Byte";

        // Damaged files. Records are counted by the file's words; the first is the upper address.
        QTest::newRow("wrong checksum")
            << upper(0) + record(0, 0, QByteArray(16, '\0')) + record(0, 16, "\x01\x02", 1) + k22
            << 105 << HexStatus::Malformed << -1 << 3 << damaged.arg(3).arg("Pruefsumme falsch");
        QByteArray notHex = k22;
        notHex[notHex.indexOf(":10", 5) + 12] = 'G';
        QTest::newRow("letter G in data")
            << notHex << 105 << HexStatus::Malformed << -1 << 2
            << damaged.arg(2).arg("Zeichen, das keine Hex-Ziffer ist");
        QByteArray shortRecord = record(0, 0, QByteArray(16, '\x01')).trimmed();
        shortRecord.remove(9, 4); // two data bytes fewer than the count says
        shortRecord += '\n';
        QTest::newRow("count does not match")
            << upper(0) + shortRecord + k22 << 105 << HexStatus::Malformed << -1 << 2
            << damaged.arg(2).arg("Laenge passt nicht zur Zahl der Bytes");
        QTest::newRow("odd number of digits")
            << upper(0) + ":00000001F" << 105 << HexStatus::Malformed << -1 << 2
            << damaged.arg(2).arg("zu kurz oder ungerade Zahl von Ziffern");
        // A part without address records joined to one with them: its data would be lost.
        const QString joined = QStringLiteral("Daten vor dem ersten Satz vom Typ 04 (die Datei "
                                              "als 32-Bit-HEX-Datei neu erzeugen)");
        QTest::newRow("data before the first 04")
            << record(0, 0, QByteArray(16, '\x01')) + k22 << 105 << HexStatus::Malformed << -1 << 1
            << damaged.arg(1).arg(joined);
        QTest::newRow("upper address of one byte")
            << record(4, 0, "\x00") + k22 << 105 << HexStatus::Malformed << -1 << 1
            << damaged.arg(1).arg("Adresssatz ohne zwei Adressbytes");
        QByteArray lostColon = k22;
        lostColon.remove(lostColon.indexOf(":10", 5), 1); // record 2 holds the version cells
        QTest::newRow("colon lost") << lostColon << 105 << HexStatus::Malformed << -1 << 2
                                    << damaged.arg(2).arg("beginnt nicht mit ':'");
        QTest::newRow("words without colon")
            << "firmware V1.05\n" + k22 << 105 << HexStatus::Malformed << -1 << 1
            << damaged.arg(1).arg("beginnt nicht mit ':'");
        QTest::newRow("cut, no end record")
            << body << 105 << HexStatus::Malformed << -1 << 1025
            << damaged.arg(1025).arg("kein Dateiende-Satz (Typ 01), Datei abgeschnitten?");
        QTest::newRow("record after the end record")
            << k22 + record(0, 0, "\x01") << 105 << HexStatus::Malformed << -1 << 1027
            << damaged.arg(1027).arg("Text nach dem Dateiende-Satz");
        QTest::newRow("bare colon after the end")
            << k22 + " : " << 105 << HexStatus::Malformed << -1 << int(k22.count(':')) + 1
            << damaged.arg(int(k22.count(':')) + 1).arg("Text nach dem Dateiende-Satz");
        QTest::newRow("type 06") << body + record(6, 0, {}) + endOfFile << 105
                                 << HexStatus::Malformed << -1 << 1026
                                 << damaged.arg(1026).arg("unbekannter Satztyp 06");
        QTest::newRow("type FF") << upper(0) + record(0xFF, 0, {}) + k22 << 105
                                 << HexStatus::Malformed << -1 << 2
                                 << damaged.arg(2).arg("unbekannter Satztyp FF");
        QTest::newRow("overlap with other bytes")
            << body + record(0, 0x1C, "\x01") + endOfFile << 105 << HexStatus::Malformed << -1
            << 1026 << damaged.arg(1026).arg("zweiter, anderer Wert fuer Adresse 0x001C");
        QTest::newRow("overlap in another section is no concern")
            << body + upper(0x30) + record(0, 0, "\x01") + record(0, 0, "\x02") + endOfFile << 105
            << HexStatus::Accepted << 0x3FFF << 0 << ok;
        QTest::newRow("UTF-16") << QByteArray::fromHex("FFFE3A0031003000") << 105
                                << HexStatus::Malformed << -1 << 1
                                << damaged.arg(1).arg(
                                       "UTF-16 oder binaer, erwartet wird ASCII-Text");
    }
    void judgesTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, fwVersion);
        QFETCH(HexStatus, status);
        QFETCH(int, lastAddress);
        QFETCH(int, badRecord);
        QFETCH(QString, line);
        const HexLoadResult result = loadHexFile(writeFile(content), fwVersion);
        QCOMPARE(result.status, status);
        QCOMPARE(result.badRecord, badRecord);
        QCOMPARE(hexStatusLine(result), line);
        QCOMPARE(hexStatusText(result), line.left(line.indexOf(" (")));
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

    void countsTheBytes()
    {
        const HexLoadResult result = readHexFile(writeFile(
            upper(0) + dataRecords(0, 0x3FFF) + upper(0x30) + record(0, 0, "\x01\x02\x03") +
            upper(0xF0) + record(0, 0x20, "\x04\x05") + endOfFile));
        QCOMPARE(result.status, HexStatus::Accepted);
        QCOMPARE(result.dataBytes, qint64(0x4000));
        QCOMPARE(result.skippedBytes, qint64(5)); // 0x300000.. and 0xF00020..
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

    // Refused unread, at once: nothing but a regular file of sane size is read.
    void unreadableFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << dir.filePath(QStringLiteral("missing.hex"))
                                 << "Datei nicht gefunden";
        QTest::newRow("folder") << dir.path() << "keine gewoehnliche Datei";
#ifdef Q_OS_UNIX // a device, a FIFO and a sparse file
        QTest::newRow("endless device") << "/dev/zero"
                                        << "keine gewoehnliche Datei";
        const QString fifo = dir.filePath(QStringLiteral("fifo.hex"));
        if (!QFile::exists(fifo) && mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
            qFatal("cannot make a FIFO");
        QTest::newRow("FIFO without writer") << fifo << "keine gewoehnliche Datei";
        const QString huge = dir.filePath(QStringLiteral("huge.hex"));
        QFile sparse(huge); // 4 GiB of holes: its size modulo 2^32 would look small
        if (!sparse.open(QIODevice::WriteOnly) || !sparse.resize((qint64(1) << 32) + 0xFBF1))
            qFatal("cannot make a sparse file");
        QTest::newRow("4 GiB sparse file") << huge << "groesser als 16 MB, keine Firmware";
#endif
    }
    void unreadableFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QElapsedTimer clock;
        clock.start();
        const HexLoadResult result = loadHexFile(path, 105);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(result.status, HexStatus::NotReadable);
        QCOMPARE(hexStatusLine(result), "HEX-Datei nicht lesbar!! (" + reason + ')');
        QCOMPARE(result.image.lastAddress, -1);
    }
};

QTEST_GUILESS_MAIN(TestHexImage)
#include "tst_heximage.moc"
