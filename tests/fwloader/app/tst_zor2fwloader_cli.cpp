#include "DeviceSimulator.h"
#include "OtherUser.h"
#include "ScriptedLine.h"
#include "TestFirmware.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <vector>

#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
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
                   const QString &program = QStringLiteral(ZOR2_FWLOADER_PATH),
                   const std::function<void(QProcess &)> &prepare = {})
    {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setProcessEnvironment(withoutDisplay());
        if (prepare)
            prepare(process);
        if (runAs != 0) {
            process.setWorkingDirectory(QFileInfo(program).absolutePath());
            process.setProcessEnvironment(
                OtherUser::environmentFor(withoutDisplay(), QFileInfo(program).absolutePath()));
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

    // The command line never needs a display: every run here has none.
    static QProcessEnvironment withoutDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        return environment;
    }

    // Starts the program flashing hexPath() and returns once it has accepted the file.
    bool startTransfer(QProcess &loader, const QStringList &arguments)
    {
        loader.setProcessEnvironment(withoutDisplay());
        loader.start(QStringLiteral(ZOR2_FWLOADER_PATH),
                     QStringList{"--flash", hexPath()} + arguments);
        return QTest::qWaitFor(
            [&] {
                loader.waitForReadyRead(50);
                return loader.peek(4096).contains("HEX-Datei OK");
            },
            5000);
    }

    // text with %1, %2 ... replaced by the values, whichever of them it holds.
    static QString filled(QString text, const QStringList &values)
    {
        for (int i = values.size(); i >= 1; --i)
            text.replace(QStringLiteral("%%1").arg(i), values.at(i - 1));
        return text;
    }

    QString missingPort() const { return dir.filePath(QStringLiteral("no-such-port")); }

    // The image the simulator saved after the end mark.
    QByteArray flashedImage()
    {
        if (!QTest::qWaitFor([&] { return QFile::exists(imagePath()); }, 3000))
            return "<no image>";
        QFile image(imagePath());
        return image.open(QIODevice::ReadOnly) ? image.readAll() : QByteArray("<no image>");
    }
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
        QTest::addColumn<bool>("otherPorts"); // /dev/null, a folder, a silent and a busy line
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("found");
        // The lines after "Keine HW gefunden!", one per named port: %1 the simulator, %2 the
        // missing port, %3 the folder, %4 the silent line, %5 the busy line.
        QTest::addColumn<QString>("why");
        const QString missing = QStringLiteral("Port %2 gibt es nicht\n");
        QTest::newRow("found after a missing port")
            << QStringList{"--variant", "2"} << false << 0 << true << QString();
        QTest::newRow("no device") << QStringList{} << false << 1 << false << missing;
        QTest::newRow("wrong family")
            << QStringList{"--family", "Z9", "--fw-version", "102"} << false << 1 << false
            << missing +
                   "An %1 antwortet ein Geraet Z9 mit FW: V1.02, das nicht unterstuetzt wird.\n";
        QTest::newRow("firmware too old")
            << QStringList{"--fw-version", "102"} << false << 1 << false
            << missing +
                   "An %1 antwortet ein Geraet Z2 mit FW: V1.02, das nicht unterstuetzt wird.\n";
        QTest::newRow("every reason")
            << QStringList{} << true << 1 << false
            << missing + "/dev/null ist kein serieller Port\n%3 ist kein serieller Port\n"
                         "An %4 antwortet kein Geraet\nPort %5 ist belegt\n";
    }
    void probe()
    {
        QFETCH(QStringList, simulatorOptions);
        QFETCH(bool, otherPorts);
        QFETCH(int, exitCode);
        QFETCH(bool, found);
        QFETCH(QString, why);
        DeviceSimulator simulator;
        ScriptedLine silent, busy;
        QStringList arguments{"--probe", "--port", missingPort()};
        if (otherPorts) {
            // Another loader's lock on the line, as a second process sees it.
            const int held = ::open(busy.slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
            QVERIFY(held >= 0 && flock(held, LOCK_EX | LOCK_NB) == 0);
            arguments += {"--port", "/dev/null",      "--port", dir.path(),
                          "--port", silent.slavePath, "--port", busy.slavePath};
        }
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
            const QString lines = filled(why, {simulator.path(), missingPort(), dir.path(),
                                               silent.slavePath, busy.slavePath});
            QCOMPARE(result.err, "Keine HW gefunden!\n" + lines);
        }
    }

    // A second loader that names the port being flashed by any spelling finds it busy and
    // sends nothing: the first one writes the whole image. As root, only the lock keeps the
    // second one out.
    void secondLoaderFindsThePortBusy_data()
    {
        QTest::addColumn<QString>("spelling"); // %1 the device path, %2 the test's folder
        QTest::addColumn<QString>("link");     // a link made first: %2/name -> target
        QTest::addColumn<QString>("workDir");
        QTest::newRow("same name") << "%1" << QString() << QString();
        QTest::newRow("symbolic link") << "%2/by-id"
                                       << "%1" << QString();
        QTest::newRow("relative link") << "%2/rel"
                                       << "../..%1" << QString();
        QTest::newRow("doubled slash") << "/%1" << QString() << QString();
        QTest::newRow("dot-dot") << "/dev/pts/../pts/%3" << QString() << QString();
        QTest::newRow("relative to the working folder") << "../pts/%3" << QString() << "/dev/pts";
    }
    void secondLoaderFindsThePortBusy()
    {
        QFETCH(QString, spelling);
        QFETCH(QString, link);
        QFETCH(QString, workDir);
        if (geteuid() != 0 && spelling != QLatin1String("%1"))
            QSKIP("the port's exclusive mode keeps out other users; the lock matters for root");
        DeviceSimulator simulator;
        QVERIFY(simulator.start({"--k-delay", "20", "--save-image", imagePath()}));
        const QString number = simulator.path().mid(9);
        const QString name = filled(spelling, {simulator.path(), dir.path(), number});
        if (!link.isEmpty()) {
            QFile::remove(name);
            QVERIFY(QFile::link(link.arg(simulator.path()), name));
        }
        const TestFirmware firmware(4096); // 64 blocks, about 1.5 s
        QVERIFY(firmware.write(hexPath()));
        QProcess first;
        QVERIFY(startTransfer(first, {"--port", simulator.path()}));
        const Run second = run({"--probe", "--port", name}, 0, QStringLiteral(ZOR2_FWLOADER_PATH),
                               [&](QProcess &p) { p.setWorkingDirectory(workDir); });
        QCOMPARE(second.exitCode, 1);
        QCOMPARE(second.err, "Keine HW gefunden!\nPort " + name + " ist belegt\n");
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(first.readAllStandardOutput().endsWith("Flash neu beschrieben!\n"));
        QCOMPARE(flashedImage(), firmware.flashed());
    }

    void probeNamesAPortItMayNotOpen_data()
    {
        QTest::addColumn<QString>("groupName"); // empty: only the owner may use the port
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("relative"); // the port named without /dev/, as in "ttyUSB0"
        QTest::newRow("owner only")
            << QString() << "dieser Benutzer darf das Geraet nicht" << false;
        QTest::newRow("group may use it") << "daemon"
                                          << "Gruppe daemon. Den Benutzer in diese" << false;
        QTest::newRow("group, relative name") << "daemon"
                                              << "Gruppe daemon. Den Benutzer in diese" << true;
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
        QFETCH(bool, relative);
        const QString name = relative ? simulator.path().mid(5) : simulator.path();
        QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zor2-other-user-XXXXXX"));
        QString whyNot;
        const QString program =
            OtherUser::reachableCopy(folder, QStringLiteral(ZOR2_FWLOADER_PATH), &whyNot);
        if (program.isEmpty())
            QSKIP(qPrintable(whyNot));
        const Run result = run({"--probe", "--port", name}, 65534, program);
        if (!result.started)
            QSKIP(qPrintable("the program cannot be started as another user here: " + result.err));
        if (result.exitCode == 99)
            QSKIP("this process may not switch to another user here");
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.startsWith("Keine HW gefunden!\nKein Zugriff auf " + name + ": "),
                 qPrintable(result.err));
        QVERIFY2(result.err.contains(hint), qPrintable(result.err));
    }

    // Mistyped calls, all without a display: each is told, none starts a window or aborts.
    // What each call is told is the parse's own test; here the program as it runs.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString hint = QStringLiteral("Hilfe: 'ZOR2fwloader --help'.");
        const QString noDisplay = QStringLiteral("kein Bildschirm gefunden");
        QTest::newRow("--timeout alone") << QStringList{"--timeout", "5"} << hint;
        QTest::newRow("unknown option alone") << QStringList{"--bogus"} << hint;
        QTest::newRow("short unknown option") << QStringList{"-p"} << hint;
        QTest::newRow("--probe=1") << QStringList{"--probe=1"} << hint;
        QTest::newRow("--help=1") << QStringList{"--help=1"} << hint;
        QTest::newRow("value is an option")
            << QStringList{"--port", "/dev/null", "--port", "-h"} << hint;
        QTest::newRow("window without display") << QStringList{} << noDisplay;
        QTest::newRow("--port alone without display") << QStringList{"--port", "X"} << noDisplay;
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QCOMPARE(result.err.count('\n'), message.startsWith("Hilfe") ? 2 : 1);
    }

    void helpAndVersion()
    {
        const Run help = run({"--help"});
        QCOMPARE(help.exitCode, 0);
        for (const char *option :
             {"--probe", "--flash DATEI.hex", "--check DATEI.hex", "--processor NAME",
              "--port PFAD", "--timeout SEKUNDEN", "--help", "--version"})
            QVERIFY2(help.out.contains(option), option);
        const Run version = run({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QStringLiteral("ZOR2fwloader " ZOR2_VERSION "\n"));
    }

    void check_data()
    {
        QTest::addColumn<int>("version"); // of the file; 0: a file cut before its end
        QTest::addColumn<QString>("processor");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("verdicts");
        const QString facts = QStringLiteral("Daten: 1024 Byte, Adressen 0x0000 bis 0x03FF\n"
                                             "Zu schreiben: 16 Bloecke zu 64 Byte (1024 Byte)\n"
                                             "Uebergangen: 0 Byte in anderen Bereichen "
                                             "(Konfiguration, EEPROM)\n");
        const QString ok = QStringLiteral("HEX-Datei OK!! Laenge: 1024 Byte\n");
        QTest::newRow("K22 file, both") << 105 << QString() << 0
                                        << facts + "PIC18F26K22: " + ok +
                                               "PIC18LF26K80: HEX-Datei nicht fuer PIC18LF26K80!! "
                                               "(die Datei ist fuer den PIC18F26K22)\n";
        QTest::newRow("K22 file for the LF") << 105 << "pic18lf26k80" << 1
                                             << facts + "PIC18LF26K80: HEX-Datei nicht fuer "
                                                        "PIC18LF26K80!! (die Datei ist fuer den "
                                                        "PIC18F26K22)\n";
        QTest::newRow("LF file for the LF")
            << 200 << "PIC18LF26K80" << 0 << facts + "PIC18LF26K80: " + ok;
        QTest::newRow("cut file") << 0 << QString() << 1
                                  << "HEX-Datei fehlerhaft!! (Satz 65: kein Dateiende-Satz (Typ "
                                     "01), Datei abgeschnitten?)\n";
    }
    void check()
    {
        QFETCH(int, version);
        QFETCH(QString, processor);
        QFETCH(int, exitCode);
        QFETCH(QString, verdicts);
        QVERIFY(TestFirmware(1024, version ? version : 105).write(hexPath()));
        if (version == 0)
            QVERIFY(QFile::resize(hexPath(), QFileInfo(hexPath()).size() - 13));
        QStringList arguments{"--check", hexPath()};
        if (!processor.isEmpty())
            arguments << "--processor" << processor;
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.out, verdicts);
        QCOMPARE(result.err, QString());
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
                                 "\nHEX-Datei OK!! Laenge: 3000 Byte\nFlash neu beschrieben!\n");
        QCOMPARE(result.err, QString()); // no progress bar when stderr is no terminal
        QCOMPARE(flashedImage(), firmware.flashed());
    }

    // Output that cannot be written is no success; a transfer runs to its end all the same.
    void unwritableOutputFails_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("closed"); // stdout closed instead of on a full disk
        QTest::newRow("--help, full") << "--help" << false;
        QTest::newRow("--check, full") << "--check" << false;
        QTest::newRow("--flash, full") << "--flash" << false;
        QTest::newRow("--flash, closed") << "--flash" << true;
    }
    void unwritableOutputFails()
    {
        QFETCH(QString, mode);
        QFETCH(bool, closed);
        DeviceSimulator simulator;
        QVERIFY(simulator.start({"--save-image", imagePath()}));
        const TestFirmware firmware(2048);
        QVERIFY(firmware.write(hexPath()));
        QStringList arguments{mode};
        if (mode != QLatin1String("--help") && mode != QLatin1String("--probe"))
            arguments << hexPath();
        if (mode == QLatin1String("--probe") || mode == QLatin1String("--flash"))
            arguments << "--port" << simulator.path();
        const Run result =
            run(arguments, 0, QStringLiteral(ZOR2_FWLOADER_PATH), [closed](QProcess &p) {
                if (closed)
                    p.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
                else
                    p.setStandardOutputFile(QStringLiteral("/dev/full"));
            });
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(
            result.err,
            QStringLiteral("ZOR2fwloader: die Standardausgabe kann nicht geschrieben werden\n"));
        if (mode == QLatin1String("--flash"))
            QCOMPARE(flashedImage(), firmware.flashed());
    }

    void flashFailures_data()
    {
        QTest::addColumn<QStringList>("simulatorOptions"); // empty: no simulator in the list
        // "fw", "lf" (built for the LF), "bad", "missing", or an absolute path
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("err");
        const QString failed = QStringLiteral(
            "\nFlash schreiben fehlgeschlagen!\nDas Geraet hat jetzt eine unvollstaendige "
            "Firmware: vor dem naechsten Flashen aus- und wieder einschalten.\n");
        QTest::newRow("no device") << QStringList{} << "fw"
                                   << "Keine HW gefunden!\nPort %1 gibt es nicht\n";
        // The file is judged before the search: no device is needed to hear about it.
        QTest::newRow("file missing, no device") << QStringList{} << "missing"
                                                 << "HEX-Datei nicht lesbar!! (Datei nicht "
                                                    "gefunden)\n";
        QTest::newRow("bad record, no device") << QStringList{} << "bad"
                                               << "HEX-Datei fehlerhaft!! (Satz 4: Pruefsumme "
                                                  "falsch)\n";
        QTest::newRow("endless input") << QStringList{"--variant", "2"} << "/dev/zero"
                                       << "HEX-Datei nicht lesbar!! (keine gewoehnliche "
                                          "Datei)\n";
        QTest::newRow("file for the LF") << QStringList{"--variant", "2"} << "lf"
                                         << "HEX-Datei nicht fuer PIC18F26K22!! (die Datei ist "
                                            "fuer den PIC18LF26K80)\n";
        QTest::newRow("device with the LF") << QStringList{"--fw-version", "201"} << "fw"
                                            << "HEX-Datei nicht fuer PIC18LF26K80!! (die Datei "
                                               "ist fuer den PIC18F26K22)\n";
        QTest::newRow("device stops answering") << QStringList{"--stop-after", "5"} << "fw"
                                                << "Keine Antwort vom Geraet, Abbruch!" + failed;
        QTest::newRow("device chatters instead")
            << QStringList{"--stop-after", "2", "--chatter", "100"} << "fw"
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
        const QString path = file.startsWith('/') ? file : hexPath();
        QStringList arguments{"--flash", path, "--timeout", "0.3", "--port", missingPort()};
        if (!simulatorOptions.isEmpty()) {
            QVERIFY(simulator.start(simulatorOptions));
            arguments << "--port" << simulator.path();
        }
        if (!file.startsWith('/') && file != QLatin1String("missing"))
            QVERIFY(TestFirmware(1024, file == QLatin1String("lf") ? 200 : 105)
                        .write(hexPath(), file == QLatin1String("bad") ? 4 : 0));
        QElapsedTimer clock;
        clock.start();
        const Run result = run(arguments);
        QVERIFY2(clock.elapsed() < 5000, "every wait of the transfer has a bound");
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, err.contains("%1") ? err.arg(missingPort()) : err);
        QVERIFY(!result.out.contains("Flash neu beschrieben!"));
    }

    // A signal ends the transfer between two blocks, says what the device holds now, and
    // leaves the port free for the next run.
    void signalEndsTheTransfer_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("searching"); // during the search rather than the transfer
        QTest::newRow("SIGINT") << int(SIGINT) << false;
        QTest::newRow("SIGTERM") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP") << int(SIGHUP) << false;
        QTest::newRow("SIGINT during the search") << int(SIGINT) << true;
    }
    void signalEndsTheTransfer()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, searching);
        if (searching) {
            // During the search: the port being asked is closed, and its lock file goes with it.
            ScriptedLine silent;
            const QString lockFile = "/run/lock/LCK.." + silent.slavePath.mid(5).replace('/', '_');
            QProcess loader;
            loader.start(QStringLiteral(ZOR2_FWLOADER_PATH),
                         {"--probe", "--port", silent.slavePath});
            QVERIFY(QTest::qWaitFor([&] { return QFile::exists(lockFile); }, 10000));
            QCOMPARE(::kill(pid_t(loader.processId()), signalNumber), 0);
            QVERIFY(loader.waitForFinished(5000));
            QCOMPARE(loader.exitCode(), 128 + signalNumber);
            QVERIFY(!QFile::exists(lockFile));
            return;
        }
        DeviceSimulator simulator;
        QVERIFY(simulator.start({"--k-delay", "20"}));
        QVERIFY(TestFirmware(8192).write(hexPath())); // 128 blocks, about 3 s
        QProcess loader;
        QVERIFY(startTransfer(loader, {"--port", simulator.path()}));
        QTest::qWait(300);
        QCOMPARE(::kill(pid_t(loader.processId()), signalNumber), 0);
        QVERIFY(loader.waitForFinished(5000));
        QCOMPARE(loader.exitStatus(), QProcess::NormalExit);
        QCOMPARE(loader.exitCode(), 128 + signalNumber);
        QVERIFY(!loader.readAllStandardOutput().contains("Flash neu beschrieben!"));
        QCOMPARE(QString::fromUtf8(loader.readAllStandardError()),
                 QStringLiteral("Flash schreiben abgebrochen!\nDas Geraet hat jetzt eine "
                                "unvollstaendige Firmware: vor dem naechsten Flashen aus- und "
                                "wieder einschalten.\n"));
        // The device still waits for blocks and does not answer, but the port opens.
        const Run again = run({"--probe", "--port", simulator.path()});
        QCOMPARE(again.err,
                 "Keine HW gefunden!\nAn " + simulator.path() + " antwortet kein Geraet\n");
    }

    // A low soft limit of descriptors is raised at start; below a low hard limit the ports are
    // asked in batches. Port by port, 41 ports would take 12 s.
    void probeWithFewDescriptors_data()
    {
        QTest::addColumn<int>("soft");
        QTest::addColumn<int>("hard");
        QTest::newRow("soft limit 16") << 16 << 4096;
        QTest::newRow("hard limit 64") << 64 << 64;
    }
    void probeWithFewDescriptors()
    {
        QFETCH(int, soft);
        QFETCH(int, hard);
        std::vector<ScriptedLine> silent(40);
        DeviceSimulator simulator;
        QVERIFY(simulator.start());
        QStringList arguments{"--probe", "--port", simulator.path()};
        for (const ScriptedLine &line : silent)
            arguments.insert(1, line.slavePath), arguments.insert(1, "--port");
        QElapsedTimer clock;
        clock.start();
        const Run result = run(arguments, 0, ZOR2_FWLOADER_PATH, [=](QProcess &p) {
            p.setChildProcessModifier([=] {
                const rlimit limit{rlim_t(soft), rlim_t(hard)};
                setrlimit(RLIMIT_NOFILE, &limit);
            });
        });
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()).constData());
    }

    void simulatorLinkLeavesOtherFilesAlone()
    {
        const QString precious = dir.filePath(QStringLiteral("precious.txt"));
        QFile file(precious);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        QProcess simulator;
        simulator.start(QStringLiteral(ZOR2_DEVSIM_PATH), {"--link", precious});
        QVERIFY(simulator.waitForFinished(5000));
        QCOMPARE(simulator.exitCode(), 2);
        QVERIFY(simulator.readAllStandardError().contains("left alone"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me"));
        QVERIFY(!QFileInfo(precious).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestZOR2fwloaderCommandLine)
#include "tst_zor2fwloader_cli.moc"
