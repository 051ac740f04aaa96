#include "DeviceSearch.h"
#include "DeviceSimulator.h"
#include "ScriptedLine.h"

#include <QTemporaryDir>
#include <QTest>

// The device search, one step at a time, over short port lists.
class TestDeviceSearch : public QObject
{
    Q_OBJECT

private:
    // Runs one step after the delay the previous step asked for.
    static SearchTick step(DeviceSearch &search, int delayMs)
    {
        if (delayMs > 0)
            QTest::qWait(delayMs);
        return search.fopentty();
    }

    QTemporaryDir dir;

private slots:
    void skipsPortsUntilTheDeviceAnswers()
    {
        DeviceSimulator wrongFamily, tooOld, device;
        QVERIFY(wrongFamily.start({QStringLiteral("--family"), QStringLiteral("Z3")}));
        QVERIFY(tooOld.start({QStringLiteral("--fw-version"), QStringLiteral("102")}));
        QVERIFY(device.start());
        const QString missing = dir.filePath(QStringLiteral("ttyUSB0"));
        Modem modem;
        DeviceSearch search(modem, {missing, wrongFamily.path(), tooOld.path(), device.path()});

        SearchTick tick = step(search, 0);
        QCOMPARE(tick.statusText, QStringLiteral("Suche HW :") + missing);
        QCOMPARE(tick.nextDelayMs, 100);
        QCOMPARE(tick.openFailure, OpenFailure::NotFound);
        QVERIFY(!search.ttyOpen());

        for (const DeviceSimulator *refused : {&wrongFamily, &tooOld}) {
            tick = step(search, tick.nextDelayMs);
            QCOMPARE(tick.statusText, QStringLiteral("Suche HW :") + refused->path());
            QCOMPARE(tick.nextDelayMs, 300);
            QVERIFY(search.ttyOpen() && search.versionPending());
            tick = step(search, tick.nextDelayMs);
            QCOMPARE(tick.nextDelayMs, 200);
            QVERIFY(tick.statusText.isEmpty());
            QVERIFY(!tick.found);
            QVERIFY(!search.ttyOpen() && !modem.isOpen());
        }
        QCOMPARE(search.identity().hwFamily, QStringLiteral("Z2"));
        QCOMPARE(search.identity().fwVersion, 102);

        tick = step(search, tick.nextDelayMs);
        QCOMPARE(tick.nextDelayMs, 300);
        tick = step(search, tick.nextDelayMs);
        QVERIFY(tick.found);
        QCOMPARE(tick.nextDelayMs, -1);
        QCOMPARE(tick.statusText, QStringLiteral("HW gefunden an: ") + device.path());
        QCOMPARE(search.ttyName(), device.path());
        QCOMPARE(firmwareLine(search.identity()),
                 QStringLiteral("FW: V1.05\t[PIC18F26K22]: ZOR01"));
        QVERIFY(search.ttyOpen() && modem.isOpen());

        // Found is final until the caller restarts the search.
        tick = step(search, 10);
        QCOMPARE(tick.nextDelayMs, -1);
        QVERIFY(!tick.found && tick.statusText.isEmpty());

        // After a failed transfer: the port is closed and the same port is tried first.
        search.restart();
        QVERIFY(!search.ttyOpen() && !modem.isOpen());
        tick = step(search, 0);
        QCOMPARE(tick.statusText, QStringLiteral("Suche HW :") + device.path());
        QVERIFY(step(search, tick.nextDelayMs).found);
    }

    void startsAgainAfterTheLastPort()
    {
        Modem modem;
        DeviceSearch search(modem,
                            {dir.filePath(QStringLiteral("a")), dir.filePath(QStringLiteral("b"))});
        QVERIFY(!search.fopentty().wrapped);
        QCOMPARE(search.ttyIndex(), 1);
        QVERIFY(search.fopentty().wrapped);
        QCOMPARE(search.ttyIndex(), 0);
        QCOMPARE(search.fopentty().statusText,
                 QStringLiteral("Suche HW :") + dir.filePath(QStringLiteral("a")));
    }

    void judgesWhatArrivedWithinTheStep_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("leftQueued");
        QTest::newRow("nothing") << QByteArray() << false << 0;
        QTest::newRow("ten bytes") << QByteArray("#vZ2105002") << false << 0;
        QTest::newRow("eleven bytes") << QByteArray("#vZ2105002;") << true << 0;
        QTest::newRow("surplus stays queued") << QByteArray("#vZ2105002;xyz") << true << 3;
    }
    void judgesWhatArrivedWithinTheStep()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, found);
        QFETCH(int, leftQueued);
        ScriptedLine line;
        QVERIFY(!line.slavePath.isEmpty());
        QVERIFY(line.send("stale"));
        Modem modem;
        DeviceSearch search(modem, {line.slavePath});
        QCOMPARE(search.fopentty().nextDelayMs, 300);
        // The stale bytes were dropped before the command went out.
        QCOMPARE(line.receive(3), QByteArray("@v;"));
        QVERIFY(line.send(reply));
        QTest::qWait(100);
        QCOMPARE(search.fopentty().found, found);
        QCOMPARE(search.ttyOpen(), found);
        if (found) {
            char rest[16];
            QCOMPARE(modem.readTty(rest, sizeof rest), leftQueued);
            search.discardInput();
            QCOMPARE(int(search.rxBuffer()[2]), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestDeviceSearch)
#include "tst_devicesearch.moc"
