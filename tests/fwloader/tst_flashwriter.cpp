#include "DeviceSimulator.h"
#include "ScriptedLine.h"
#include "core/FlashWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>

namespace {

// An image whose bytes differ from block to block and hold zeros, up to lastAddress.
std::unique_ptr<FirmwareImage> testImage(int lastAddress)
{
    auto firmware = std::make_unique<FirmwareImage>();
    for (int address = 0; address <= lastAddress; ++address)
        firmware->image[address] = (address * 13 + address / 64) & 0xFF;
    firmware->lastAddress = lastAddress;
    return firmware;
}

QByteArray expectedImage(const FirmwareImage &firmware)
{
    QByteArray bytes;
    for (int address = 0; address < flashBlockTotal(firmware) * 64; ++address)
        bytes.append(char(firmware.image[address]));
    return bytes;
}

} // namespace

// Writing the flash into the simulated device, with its faults.
class TestFlashWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void writesTheImage_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("lastAddress");

        QTest::newRow("0x3FFF, 256 blocks") << QStringList() << 0x3FFF;
        QTest::newRow("0x3FC0, last block one byte") << QStringList() << 0x3FC0;
        QTest::newRow("0xFBFF, 1008 blocks") << QStringList() << 0xFBFF;
        QTest::newRow("one block") << QStringList() << 0;
        QTest::newRow("two k at once") << QStringList{"--double-k-at", "3"} << 0x3FFF;
        QTest::newRow("byte other than k") << QStringList{"--garbage-at", "5"} << 0x3FFF;
        QTest::newRow("slow device") << QStringList{"--k-delay", "3"} << 0x3FF;
    }
    void writesTheImage()
    {
        QFETCH(QStringList, options);
        QFETCH(int, lastAddress);
        const QString imagePath = dir.filePath(QStringLiteral("received.bin"));
        QFile::remove(imagePath);
        DeviceSimulator device;
        QVERIFY(
            device.start(options + QStringList{"--save-image", imagePath, "--exit-after-flash"}));
        Modem modem;
        QVERIFY(modem.openTty(device.path()));
        // An earlier answer still queued must not be taken for a request.
        QVERIFY(modem.writeTty("@v;"));
        QVERIFY(modem.waitForInput(2000));

        const auto firmware = testImage(lastAddress);
        const int total = lastAddress / 64 + 1;
        // The progress counts the blocks sent, one call for each, never beyond the total.
        QList<int> progress;
        FlashHooks hooks;
        hooks.onBlock = [&](int sent, int blockTotal) {
            progress << sent;
            QCOMPARE(blockTotal, total);
        };
        QCOMPARE(writeFlash(modem, *firmware, FlashTimeouts{}, hooks), FlashResult::Written);
        QCOMPARE(progress.size(), total);
        QCOMPARE(progress.first(), 1);
        QCOMPARE(progress.last(), total);

        // The simulator saves the blocks by the addresses it was given, after the end mark.
        QVERIFY(device.waitForExit(5000));
        QCOMPARE(device.process.exitCode(), 0);
        QFile image(imagePath);
        QVERIFY(image.open(QIODevice::ReadOnly));
        QCOMPARE(image.readAll(), expectedImage(*firmware));
    }

    void sendsTheBytesInOrder()
    {
        ScriptedLine line;
        QVERIFY(!line.slavePath.isEmpty());
        Modem modem;
        QVERIFY(modem.openTty(line.slavePath));
        QVERIFY(line.send("k")); // stale, from before the start command
        QTest::qWait(50);

        // The device: asks for six blocks, then takes the end mark.
        QByteArray sent;
        std::thread deviceSide([&] {
            sent = line.receive(8);
            for (int block = 0; block < 6 && line.send("k"); ++block)
                sent += line.receive(66);
            sent += line.receive(2);
        });
        const auto firmware = testImage(0x17F);
        const FlashResult result = writeFlash(modem, *firmware, FlashTimeouts{2000, 2000, 2000});
        deviceSide.join();
        QCOMPARE(result, FlashResult::Written);
        QCOMPARE(sent.size(), 8 + 6 * 66 + 2);
        QCOMPARE(sent.left(8), QByteArray("@g*****;"));
        for (int block = 0; block < 6; ++block) {
            const QByteArray frame = sent.mid(8 + block * 66, 66);
            QCOMPARE(quint8(frame[0]), quint8((block * 64) & 0xFF));
            QCOMPARE(quint8(frame[1]), quint8(block * 64 >> 8));
            QCOMPARE(frame.mid(2), expectedImage(*firmware).mid(block * 64, 64));
        }
        QCOMPARE(sent.mid(8 + 5 * 66, 2), QByteArray("\x40\x01"));
        QCOMPARE(sent.right(2), QByteArray("\xFF\xFF"));
    }

    // Each wait for a request has one bound, whatever the device sends meanwhile.
    void stopsOnFaults_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("firstKMs");
        QTest::addColumn<int>("kMs");
        QTest::addColumn<int>("stopAfter"); // the caller asks to stop after this many blocks
        QTest::addColumn<FlashResult>("expected");
        QTest::addColumn<int>("sent");
        QTest::addColumn<bool>("atOnce"); // ends well before the bound
        QTest::addColumn<QString>("text");

        const QString noAnswer = QStringLiteral("Keine Antwort vom Geraet, Abbruch!");
        const QString lost = QStringLiteral("Verbindung zum Geraet unterbrochen, Abbruch!");
        const QString stopped = QStringLiteral("Flash schreiben abgebrochen!");
        QTest::newRow("no first k") << QStringList{"--stop-after", "0"} << 400 << 5000 << -1
                                    << FlashResult::Timeout << 0 << false << noAnswer;
        QTest::newRow("stops after 3 blocks")
            << QStringList{"--stop-after", "3"} << 5000 << 300 << -1 << FlashResult::Timeout << 3
            << false << noAnswer;
        QTest::newRow("chatters every 100 ms")
            << QStringList{"--chatter", "100"} << 700 << 5000 << -1 << FlashResult::Timeout << 0
            << false << noAnswer;
        QTest::newRow("2 blocks, then chatters")
            << QStringList{"--stop-after", "2", "--chatter", "50"} << 5000 << 400 << -1
            << FlashResult::Timeout << 2 << false << noAnswer;
        QTest::newRow("steady stream of other bytes")
            << QStringList{"--stop-after", "2", "--chatter", "0"} << 5000 << 5000 << -1
            << FlashResult::Timeout << 2 << true << noAnswer;
        QTest::newRow("hangs up at once") << QStringList{"--hangup-after", "0"} << 5000 << 5000
                                          << -1 << FlashResult::LineLost << 0 << true << lost;
        QTest::newRow("hangs up after 2 blocks")
            << QStringList{"--hangup-after", "2"} << 5000 << 5000 << -1 << FlashResult::LineLost
            << 2 << true << lost;
        QTest::newRow("stop asked for") << QStringList{} << 5000 << 5000 << 3
                                        << FlashResult::Interrupted << 3 << true << stopped;
        QTest::newRow("stop asked for while waiting")
            << QStringList{"--stop-after", "3"} << 5000 << 5000 << 3 << FlashResult::Interrupted
            << 3 << true << stopped;
    }
    void stopsOnFaults()
    {
        QFETCH(QStringList, options);
        QFETCH(int, firstKMs);
        QFETCH(int, kMs);
        QFETCH(int, stopAfter);
        QFETCH(FlashResult, expected);
        QFETCH(int, sent);
        QFETCH(bool, atOnce);
        QFETCH(QString, text);
        DeviceSimulator device;
        QVERIFY(device.start(options));
        Modem modem;
        QVERIFY(modem.openTty(device.path()));
        const auto firmware = testImage(0x3FFF);
        int lastSent = 0;
        FlashHooks hooks;
        hooks.onBlock = [&](int count, int) { lastSent = count; };
        if (stopAfter >= 0)
            hooks.stopRequested = [&] { return lastSent >= stopAfter; };
        QElapsedTimer clock;
        clock.start();
        const FlashResult result =
            writeFlash(modem, *firmware, FlashTimeouts{firstKMs, kMs, 1000}, hooks);
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(result, expected);
        QCOMPARE(lastSent, sent);
        QCOMPARE(flashResultText(result), text);
        // A time-out comes after its bound and not much later; the others come at once.
        const int bound = sent == 0 ? firstKMs : kMs;
        if (atOnce)
            QVERIFY2(elapsed < 2000, QByteArray::number(elapsed).constData());
        else
            QVERIFY2(elapsed >= bound - 20 && elapsed < bound + 1000,
                     QByteArray::number(elapsed).constData());
    }

    void refusesWithoutPort()
    {
        Modem modem;
        const auto firmware = testImage(0x3F);
        int calls = 0;
        FlashHooks hooks;
        hooks.onBlock = [&](int, int) { ++calls; };
        QCOMPARE(writeFlash(modem, *firmware, FlashTimeouts{}, hooks), FlashResult::NoPort);
        QCOMPARE(calls, 0);
        QCOMPARE(flashResultText(FlashResult::NoPort), QStringLiteral("Keine HW verbunden!"));
        QCOMPARE(flashResultText(FlashResult::Written), QStringLiteral("Flash neu beschrieben!"));
    }
};

QTEST_GUILESS_MAIN(TestFlashWriter)
#include "tst_flashwriter.moc"
