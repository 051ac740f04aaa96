#include "DeviceSimulator.h"
#include "TestFirmware.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run
{
    bool started = true;
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
    // Runs the program; runAs, when not 0, is the user id it runs under, and then the program
    // runs from a copy that this user can reach (see reachableCopy).
    static Run run(const QStringList &arguments, uid_t runAs = 0,
                   const QString &program = QStringLiteral(ZOR2_FWLOADER_PATH))
    {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        if (runAs != 0) {
            process.setWorkingDirectory(QFileInfo(program).absolutePath());
            process.setProcessEnvironment(environmentFor(QFileInfo(program).absolutePath()));
            process.setChildProcessModifier([runAs] {
                if (setgroups(0, nullptr) != 0 || setgid(runAs) != 0 || setuid(runAs) != 0)
                    _exit(99);
            });
        }
        process.start();
        Run result;
        if (!process.waitForStarted(20000)) {
            result.started = false;
            result.err = process.errorString();
            return result;
        }
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

    // The build folder may lie where another user cannot go (a home folder of mode 0700 on a
    // fresh system): the program and the leak checker's suppressions are copied into a folder
    // under the system's temporary folder that every user may enter. Returns the copy, or an
    // empty text with the reason in whyNot.
    static QString reachableCopy(QTemporaryDir &folder, QString *whyNot)
    {
        const QFileInfo temp(QDir::tempPath());
        if (!(temp.permissions() & QFile::ExeOther)) {
            *whyNot = QStringLiteral("the temporary folder %1 is closed to other users")
                          .arg(temp.absoluteFilePath());
            return QString();
        }
        const QString copy = folder.filePath(QStringLiteral("ZOR2fwloader"));
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        const QString suppressions = leakSuppressions();
        if (!folder.isValid() || !QFile::setPermissions(folder.path(), open) ||
            !QFile::copy(QStringLiteral(ZOR2_FWLOADER_PATH), copy) ||
            !QFile::setPermissions(copy, open) ||
            (!suppressions.isEmpty() &&
             !QFile::copy(suppressions, folder.filePath(QStringLiteral("lsan.txt"))))) {
            *whyNot = QStringLiteral("cannot copy the program into %1").arg(folder.path());
            return QString();
        }
        return copy;
    }

    static QString leakSuppressions()
    {
        const QString options = qEnvironmentVariable("LSAN_OPTIONS");
        const QRegularExpression file(QStringLiteral("suppressions=([^:]+)"));
        const QRegularExpressionMatch match = file.match(options);
        return match.hasMatch() ? match.captured(1) : QString();
    }

    // The test's environment with the leak checker's suppressions taken from folder.
    static QProcessEnvironment environmentFor(const QString &folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString suppressions = leakSuppressions();
        if (!suppressions.isEmpty()) {
            QString options = environment.value(QStringLiteral("LSAN_OPTIONS"));
            options.replace(suppressions, folder + QStringLiteral("/lsan.txt"));
            environment.insert(QStringLiteral("LSAN_OPTIONS"), options);
        }
        return environment;
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
        QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zor2-other-user-XXXXXX"));
        QString whyNot;
        const QString program = reachableCopy(folder, &whyNot);
        if (program.isEmpty())
            QSKIP(qPrintable(whyNot));
        const Run result = run({"--probe", "--port", simulator.path()}, 65534, program);
        if (!result.started)
            QSKIP(qPrintable("the program cannot be started as another user here: " + result.err));
        if (result.exitCode == 99)
            QSKIP("this process may not switch to another user here");
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
