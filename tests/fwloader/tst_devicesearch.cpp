#include "DeviceSimulator.h"
#include "ScriptedLine.h"
#include "core/DeviceSearch.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// The device search: every port of a round at once, the first in list order wins.
class TestDeviceSearch : public QObject
{
    Q_OBJECT

private:
    static QList<PortOutcome> outcomes(const DeviceSearch &search)
    {
        QList<PortOutcome> list;
        for (const PortResult &port : search.results())
            list << port.outcome;
        return list;
    }

    QTemporaryDir dir;

private slots:
    void skipsPortsUntilTheDeviceAnswers()
    {
        DeviceSimulator wrongFamily, tooOld, device, second;
        QVERIFY(wrongFamily.start({QStringLiteral("--family"), QStringLiteral("Z3")}));
        QVERIFY(tooOld.start({QStringLiteral("--fw-version"), QStringLiteral("102")}));
        QVERIFY(device.start());
        QVERIFY(second.start()); // answers too, but the first in list order wins
        const QString missing = dir.filePath(QStringLiteral("ttyUSB0"));
        DeviceSearch search(
            {missing, wrongFamily.path(), tooOld.path(), device.path(), second.path()});
        QSignalSpy progress(&search, &DeviceSearch::progress);
        QSignalSpy waiting(&search, &DeviceSearch::waitingFor);

        QVERIFY(search.searchOnce());
        QCOMPARE(search.ttyName(), device.path());
        QCOMPARE(firmwareLine(search.identity()),
                 QStringLiteral("FW: V1.05\t[PIC18F26K22]: ZOR01"));
        QVERIFY(search.link().isOpen());
        QCOMPARE(outcomes(search).mid(0, 4),
                 QList<PortOutcome>({PortOutcome::Missing, PortOutcome::Refused,
                                     PortOutcome::Refused, PortOutcome::Found}));
        QCOMPARE(search.results()[2].identity.fwVersion, 102);
        QCOMPARE(progress.first(), QList<QVariant>({0, 5}));
        // The first port is named at the start, then the first one still open.
        QCOMPARE(waiting.at(0).at(0).toString(), missing);
        QCOMPARE(waiting.at(1).at(0).toString(), wrongFamily.path());

        // Found is final until the caller restarts the search.
        search.start();
        QVERIFY(!search.isRunning() && search.found());

        // After a failed transfer: the port is closed and the next round finds it again.
        search.restart();
        QVERIFY(!search.found() && !search.link().isOpen());
        QVERIFY(search.searchOnce());
        QCOMPARE(search.ttyName(), device.path());
    }

    void judgesWhatArrivedWithinTheBound_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("leftQueued");
        QTest::addColumn<int>("silentBefore"); // ports in front that never answer
        QTest::newRow("nothing") << QByteArray() << false << 0 << 0;
        QTest::newRow("ten bytes") << QByteArray("#vZ2105002") << false << 0 << 0;
        QTest::newRow("eleven bytes") << QByteArray("#vZ2105002;") << true << 0 << 0;
        QTest::newRow("surplus stays queued") << QByteArray("#vZ2105002;xyz") << true << 3 << 0;
        // One bound for all of them: one after the other they would take 40 times 0.3 s.
        QTest::newRow("behind 40 silent ports") << QByteArray("#vZ2105002;") << true << 0 << 40;
    }
    void judgesWhatArrivedWithinTheBound()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, found);
        QFETCH(int, leftQueued);
        QFETCH(int, silentBefore);
        std::vector<std::unique_ptr<ScriptedLine>> silent(static_cast<std::size_t>(silentBefore));
        QStringList ports;
        for (auto &port : silent)
            ports << (port = std::make_unique<ScriptedLine>())->slavePath;
        ScriptedLine line;
        QVERIFY(!line.slavePath.isEmpty());
        QVERIFY(line.send("stale"));
        DeviceSearch search(ports << line.slavePath);
        QElapsedTimer clock;
        clock.start();
        search.start();
        // The stale bytes were dropped before the command went out.
        QCOMPARE(line.receive(3), QByteArray("@v;"));
        QVERIFY(line.send(reply));
        QTRY_VERIFY_WITH_TIMEOUT(!search.isRunning(), 2000);
        QVERIFY2(clock.elapsed() < 2000, QByteArray::number(clock.elapsed()).constData());
        QCOMPARE(search.found(), found);
        QCOMPARE(search.results().back().outcome,
                 found ? PortOutcome::Found : PortOutcome::NoAnswer);
        for (const auto &port : silent)
            QCOMPARE(port->receive(3), QByteArray("@v;"));
        if (found) {
            QTest::qWait(50);
            char rest[16];
            QCOMPARE(search.link().readTty(rest, sizeof rest), leftQueued);
        }
    }
};

QTEST_GUILESS_MAIN(TestDeviceSearch)
#include "tst_devicesearch.moc"
