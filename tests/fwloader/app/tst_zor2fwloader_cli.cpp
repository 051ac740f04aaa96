#include "DeviceSimulator.h"
#include "TestFirmware.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

const QString foundLine = QStringLiteral("FW: V1.05\t[PIC18F26K22]: ZOR01");

} // namespace

// The command-line mode of ZOR2fwloader, run as a person runs it: the program itself against
// the device simulator, judged by its exit status and its two output streams.
class TestZOR2fwloaderCommandLine : public QObject
{
    Q_OBJECT

private:
    // Runs the program; runAs, when not 0, is the user id it runs under.
    static Run run(const QStringList &arguments, uid_t runAs = 0)
    {
        QProcess process;
        process.setProgram(QStringLiteral(ZOR2_FWLOADER_PATH));
        process.setArguments(arguments);
        if (runAs != 0) {
            process.setChildProcessModifier([runAs] {
                if (setgroups(0, nullptr) != 0 || setgid(runAs) != 0 || setuid(runAs) != 0)
                    _exit(99);
            });
        }
        process.start();
        Run result;
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished(3000);
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QString missingPort() const { return dir.filePath(QStringLiteral("no-such-port")); }
    QString imagePath() const { return dir.filePath(QStringLiteral("image.bin")); }
    QString hexPath() const { return dir.filePath(QStringLiteral("fw.hex")); }

    QTemporaryDir dir;

private slots:
    void cleanup()
    {
        QFile::remove(imagePath());
        QFile::remove(hexPath());
    }

    void probe_data()
    {
        QTest::addColumn<QStringList>("simulatorOptions"); // empty: no simulator in the list
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("found");
        QTest::newRow("found after a missing port") << QStringList{"--variant", "2"} << 0 << true;
        QTest::newRow("no device") << QStringList{} << 1 << false;
        QTest::newRow("wrong family") << QStringList{"--family", "Z7"} << 1 << false;
    }
    void probe()
    {
        QFETCH(QStringList, simulatorOptions);
        QFETCH(int, exitCode);
        QFETCH(bool, found);
        DeviceSimulator simulator;
        QStringList arguments{"--probe", "--port", missingPort()};
        if (!simulatorOptions.isEmpty()) {
            QVERIFY(simulator.start(simulatorOptions));
            arguments << "--port" << simulator.path();
        }
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        if (found) {
            QCOMPARE(result.out, "HW gefunden an: " + simulator.path() + '\n' + foundLine + '\n');
            QCOMPARE(result.err, QString());
        } else {
            QCOMPARE(result.out, QString());
            QCOMPARE(result.err, QStringLiteral("Keine HW gefunden!\n"));
        }
    }

    void probeNamesAPortItMayNotOpen_data()
    {
        QTest::addColumn<QString>("groupName"); // empty: only the owner may use the port
        QTest::addColumn<QString>("hint");
        QTest::newRow("owner only") << QString() << "dieser Benutzer darf das Geraet nicht";
        QTest::newRow("group may use it") << "daemon"
                                          << "Gruppe daemon. Den Benutzer in diese";
    }
    void probeNamesAPortItMayNotOpen()
    {
        QFETCH(QString, groupName);
        QFETCH(QString, hint);
        if (geteuid() != 0)
            QSKIP("needs root to run the loader as another user");
        const struct group *entry =
            groupName.isEmpty() ? nullptr : getgrnam(groupName.toLocal8Bit().constData());
        if (!groupName.isEmpty() && !entry)
            QSKIP("no such group here");
        DeviceSimulator simulator;
        QVERIFY(simulator.start());
        const QByteArray port = simulator.path().toLocal8Bit();
        QCOMPARE(chown(port.constData(), 0, entry ? entry->gr_gid : 0), 0);
        QCOMPARE(chmod(port.constData(), entry ? 0660 : 0600), 0);
        // The program must be reachable for the other user: skip where the build is not.
        const Run result = run({"--probe", "--port", simulator.path()}, 65534);
        if (result.exitCode == 99 || result.exitCode == 127 || result.exitCode == 126)
            QSKIP("the program cannot run as another user here");
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.startsWith("Keine HW gefunden!\nKein Zugriff auf " + simulator.path() +
                                       ": "),
                 qPrintable(result.err));
        QVERIFY2(result.err.contains(hint), qPrintable(result.err));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--port without a value") << QStringList{"--probe", "--port"};
        QTest::newRow("--flash without a file") << QStringList{"--flash"};
        QTest::newRow("--timeout without --flash") << QStringList{"--probe", "--timeout", "1"};
        QTest::newRow("timeout not a number") << QStringList{"--flash", "a.hex", "--timeout", "x"};
        QTest::newRow("timeout 0") << QStringList{"--flash", "a.hex", "--timeout", "0"};
        QTest::newRow("unknown option") << QStringList{"--probe", "--fast"};
        QTest::newRow("stray argument") << QStringList{"--probe", "COM3"};
        QTest::newRow("two modes") << QStringList{"--probe", "--flash", "a.hex"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QString());
        QVERIFY(result.err.contains("--help"));
    }

    void help()
    {
        const Run result = run({"--help"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.contains("--flash FILE.hex"));
    }

    void flashWritesTheWholeImage()
    {
        DeviceSimulator simulator;
        QVERIFY(simulator.start({"--save-image", imagePath(), "--double-k-at", "2"}));
        const TestFirmware firmware(3000);
        QVERIFY(firmware.write(hexPath()));
        const Run result = run({"--flash", hexPath(), "--port", simulator.path()});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, "HW gefunden an: " + simulator.path() + '\n' + foundLine +
                                 "\nHEX-Datei OK!! Laenge: 2999 Byte\nFlash neu beschrieben!\n");
        QCOMPARE(result.err, QString()); // no progress bar when stderr is no terminal
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(imagePath()); }, 3000));
        QFile image(imagePath());
        QVERIFY(image.open(QIODevice::ReadOnly));
        QCOMPARE(image.readAll(), firmware.flashed());
    }

    void flashFailures_data()
    {
        QTest::addColumn<QStringList>("simulatorOptions"); // empty: no simulator in the list
        QTest::addColumn<QString>("file"); // "fw", "lf" (built for the LF), "bad", "missing"
        QTest::addColumn<QString>("err");
        const QString failed = QStringLiteral("\nFlash schreiben fehlgeschlagen!\n");
        QTest::newRow("no device") << QStringList{} << "fw"
                                   << "Keine HW gefunden!\n";
        QTest::newRow("file missing") << QStringList{"--variant", "2"} << "missing"
                                      << "HEX-Datei nicht lesbar!!\n";
        QTest::newRow("bad record") << QStringList{"--variant", "2"} << "bad"
                                    << "HEX-Datei fehlerhaft!! (Satz 4)\n";
        QTest::newRow("file for the LF") << QStringList{"--variant", "2"} << "lf"
                                         << "HEX-Datei nicht fuer PIC18F26K22!!\n";
        QTest::newRow("device with the LF") << QStringList{"--fw-version", "201"} << "fw"
                                            << "HEX-Datei nicht fuer PIC18F26K80!!\n";
        QTest::newRow("device stops answering") << QStringList{"--stop-after", "5"} << "fw"
                                                << "Keine Antwort vom Geraet, Abbruch!" + failed;
        QTest::newRow("line hangs up") << QStringList{"--hangup-after", "5"} << "fw"
                                       << "Verbindung zum Geraet unterbrochen, Abbruch!" + failed;
    }
    void flashFailures()
    {
        QFETCH(QStringList, simulatorOptions);
        QFETCH(QString, file);
        QFETCH(QString, err);
        DeviceSimulator simulator;
        QStringList arguments{"--flash", hexPath(), "--timeout", "0.3", "--port", missingPort()};
        if (!simulatorOptions.isEmpty()) {
            QVERIFY(simulator.start(simulatorOptions));
            arguments << "--port" << simulator.path();
        }
        if (file != QLatin1String("missing"))
            QVERIFY(TestFirmware(1024, file == QLatin1String("lf") ? 200 : 105)
                        .write(hexPath(), file == QLatin1String("bad") ? 4 : 0));
        QElapsedTimer clock;
        clock.start();
        const Run result = run(arguments);
        QVERIFY2(clock.elapsed() < 5000, "every wait of the transfer has a bound");
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, err);
        QVERIFY(!result.out.contains("Flash neu beschrieben!"));
    }
};

QTEST_GUILESS_MAIN(TestZOR2fwloaderCommandLine)
#include "tst_zor2fwloader_cli.moc"
