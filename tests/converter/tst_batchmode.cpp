#include "AnsweringDialogs.h"
#include "CurveChart.h"
#include "CurvePreview.h"
#include "OtherUser.h"
#include "TestFiles.h"
#include "core/ChannelConversion.h"
#include "core/NewCurveReader.h"
#include "core/OldCurveFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <functional>
#include <memory>

#include <signal.h>
#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Runs the built program's batch mode the way a script would.
class TestBatchMode : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    QTemporaryDir dir;

    static Run start(const QStringList &arguments, const QString &workingDir = QString(),
                     const std::function<void(QProcess &)> &prepare = {})
    {
        QProcess process;
        if (!workingDir.isEmpty())
            process.setWorkingDirectory(workingDir);
        if (prepare)
            prepare(process);
        if (process.program().isEmpty()) // else the program through another, as prepared
            process.start(QStringLiteral(ZOR2CONV_PROGRAM), arguments);
        else
            process.start();
        Run run;
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished(5000);
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // An SWR curve of three points, values v = factor * n + shift, no correction tables.
    static QByteArray swrCurve()
    {
        return "#V3.05 1000000 250000 3 0.5 -10 0.25 -20 1\n10 20 30\n40 50 60\nmy curve 1\n";
    }

    // The description the window proposes for a file: its path and label, cleaned.
    static QString proposal(const QString &path, const QString &label)
    {
        QString text = path;
        text.replace(QLatin1Char('/'), QLatin1Char('_'))
            .replace(QLatin1Char('-'), QLatin1Char('_'))
            .replace(QLatin1Char(':'), QLatin1Char('_')); // a Windows drive
        text.remove(QLatin1String(".hfd"));
        return text + label;
    }

    // Saves from the preview window as its CSV (name "*.csv") or picture button; the box's text.
    static QString saveFromPreview(const QString &input, const QString &name)
    {
        auto record = std::make_unique<CurveRecord>();
        if (!OldCurveFile::openOldCurve(input, *record).ok() || !convertCurve(*record))
            return QStringLiteral("<not converted>");
        AnsweringDialogs dialogs;
        dialogs.saveAnswers = {name};
        CurvePreview preview(dialogs);
        preview.showCurve(*record, record->description);
        const char *button = name.endsWith(".csv") ? "saveCsvButton" : "savePictureButton";
        findChildOrFail<QPushButton>(&preview, button)->click();
        return dialogs.warnings.isEmpty() ? QString() : dialogs.warnings.constFirst().second;
    }

    QString subfolder(const QString &name)
    {
        const QString path = dir.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path())); // the preview's settings
    }

    void writesBothChannelsAsTheWindowDoes()
    {
        const QString folder = subfolder(QStringLiteral("eins"));
        const QString input = writeTestFile(folder + "/swr.hfd", swrCurve());
        const Run run = start({"--convert", input});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, folder + "/swr.z2k\n" + folder + "/swr_2.z2k\n");
        const QByteArray header = proposal(input, "_mycurve1").toLocal8Bit();
        QCOMPARE(readTestFile(folder + "/swr.z2k"), "#" + header + "\n1;-5\n1.25;0\n1.5;5\n");
        QCOMPARE(readTestFile(folder + "/swr_2.z2k"),
                 "#K2: " + header + "\n1;-10\n1.25;-7.5\n1.5;-5\n");
    }

    // The window's text panel gives a non-breaking space back as a blank; so does the batch.
    void descriptionAsTheTextPanelGivesItBack()
    {
        const QString folder = subfolder(QStringLiteral("nbsp"));
        const QString input =
            writeTestFile(folder + "/n.hfd", "#V4.05 0 1 1 1 0 1 0 0 5 5 Filter\xc2\xa0"
                                             "10MHz " +
                                                 QByteArray("0 ").repeated(4 * 9999));
        QCOMPARE(start({"--convert", input}).exitCode, 0);
        const QByteArray header = proposal(input, "_Filter").toUtf8();
        QCOMPARE(readTestFile(folder + "/n.z2k"), "#" + header + "_10MHz\n0;5\n");
        QCOMPARE(readTestFile(folder + "/n_2.z2k"), "#K2: " + header + " 10MHz\n0;5\n");
    }

    void relativeInputAndCreatedOutputFolder()
    {
        const QString folder = subfolder(QStringLiteral("zwei"));
        writeTestFile(folder + "/in/a b.hfd", swrCurve());
        const Run run = start({"--convert", "in/a b.hfd", "--output-dir", "neu/tief"}, folder);
        QCOMPARE(run.exitCode, 0);
        const QString dest = folder + "/neu/tief/a b";
        QCOMPARE(run.out, dest + ".z2k\n" + dest + "_2.z2k\n");
        // the description holds the input's absolute path, a blank made "_"
        QVERIFY(readTestFile(dest + ".z2k")
                    .startsWith("#" + proposal(folder + "/in/a_b.hfd", "_mycurve1").toLocal8Bit() +
                                "\n1;-5\n"));
    }

    void replacesExistingFiles()
    {
        const QString folder = subfolder(QStringLiteral("drei"));
        const QString input = writeTestFile(folder + "/k.hfd", swrCurve());
        writeTestFile(folder + "/k.z2k", "alt");
        QCOMPARE(start({"--convert", input}).exitCode, 0);
        QVERIFY(readTestFile(folder + "/k.z2k").startsWith("#"));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not an old file")
            << QByteArray("Hallo Welt") << "keine Kurvendatei im alten Format";
        QTest::newRow("impedance") << QByteArray("#V3.05 0 1 1 1 0 1 0 4 5 5")
                                   << "Impedanzkurve, kann nicht umgewandelt werden";
        QTest::newRow("too many steps") << QByteArray("#V3.05 0 1 10000 1 0 1 0 0")
                                        << "zu viele Frequenzschritte (hoechstens 9999)";
        QTest::newRow("unknown mode")
            << QByteArray("#V3.05 0 1 1 1 0 1 0 7 5 5") << "unbekannte Kurvenart";
        QTest::newRow("not a number")
            << QByteArray("#V3.05 0 1 1 1 0 1 0 0 5 x5")
            << "das Feld \"Kanal 2, Messwert 1 von 1\" enthaelt keine gueltige Zahl: \"x5\"";
        QTest::newRow("unreadable") << QByteArray() << "Datei nicht gefunden";
        QTest::newRow("output in the way") << swrCurve()
                                           << "die Ausgabedatei %1/schlecht_2.z2k kann nicht "
                                              "geschrieben werden: ein Ordner dieses Namens ist "
                                              "im Weg";
        QTest::newRow("overflow") << QByteArray("#V3.05 0 1 1 1e306 0 1 0 1 1000 5")
                                  << "Kanal 1, Punkt 1: Wert nicht darstellbar";
        QTest::newRow("zero steps") << QByteArray("#V3.05 0 1 0 1 0 1 0 0") << "keine Messpunkte";
        // A message stays one line, and no file drives the terminal.
        const QString field =
            "das Feld \"Kanal 2, Messwert 1 von 1\" enthaelt keine gueltige Zahl: ";
        QTest::newRow("NUL") << QByteArray("#V3.05 0 1 1 1 0 1 0 0 5 x\0y", 28)
                             << field + "\"x\\x00y\"";
        QTest::newRow("escape") << QByteArray("#V3.05 0 1 1 1 0 1 0 0 5 \x1b[2J")
                                << field + "\"\\x1b[2J\"";
        QTest::newRow("cut off") << swrCurve().left(55)
                                 << "Datei endet vorzeitig, es fehlt: Kanal 2, Messwert 2 von 3";
    }
    void refusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString folder = subfolder(QStringLiteral("vier"));
        const QString goodFile = writeTestFile(folder + "/gut.hfd", swrCurve());
        const QString badFile = folder + "/schlecht.hfd";
        if (!content.isEmpty())
            writeTestFile(badFile, content);
        QDir(folder).mkdir(QStringLiteral("schlecht_2.z2k")); // only in the way of a good file
        const Run run = start({"--convert", badFile, goodFile});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, badFile + ": " + reason.replace("%1", folder) + "\n");
        QCOMPARE(run.out, folder + "/gut.z2k\n" + folder + "/gut_2.z2k\n");
        QVERIFY(!QFile::exists(folder + "/schlecht.z2k"));
    }

    void laterDuplicateOutputIsRefused_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("duplicate");
        QTest::newRow("same name, two folders") << QStringList{"x/a.hfd", "y/a.hfd"} << "a.z2k";
        QTest::newRow("channel 2 name") << QStringList{"x/a.hfd", "x/a_2.hfd"} << "a_2.z2k";
    }
    void laterDuplicateOutputIsRefused()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, duplicate);
        const QString folder = subfolder(QStringLiteral("fuenf"));
        QStringList arguments{"--convert"};
        for (const QString &e : inputs)
            arguments << writeTestFile(folder + "/" + e, swrCurve());
        arguments << "--output-dir" << folder + "/aus";
        const Run run = start(arguments);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, arguments.at(2) + ": die Ausgabedatei " + folder + "/aus/" + duplicate +
                              " wurde in diesem Lauf schon geschrieben\n");
        QCOMPARE(run.out.count(QLatin1Char('\n')), 2);
        // the first input's files are untouched
        QVERIFY(readTestFile(folder + "/aus/a.z2k").contains("_x_a_mycurve1"));
    }

    void bothFilesOrNone()
    {
        const QString folder = subfolder(QStringLiteral("sechs"));
        const QString input = writeTestFile(folder + "/k.hfd", swrCurve());
        QDir(folder).mkdir(QStringLiteral("k_2.z2k"));
        const Run run = start({"--convert", input});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QVERIFY(!QFile::exists(folder + "/k.z2k"));
    }

    // Output names judged before anything is written; "name>target" is a link made first, a
    // name alone a FIFO. A table or picture is saved from the preview window instead.
    void outputNamesJudged_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("reason"); // %1: the folder
        QTest::newRow("fifo") << ""
                              << "dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei";
        QTest::newRow("crossing") << "k.z2k>k_2.z2k"
                                  << "sie fuehrt zur selben Datei wie %1/k_2.z2k";
        QTest::newRow("foreign, as root") << "k.z2k>geheim"
                                          << "die Verknuepfung %1/k.z2k gehoert "
                                             "einem anderen Benutzer und wird nicht verfolgt";
        QTest::newRow("window table, fifo")
            << "k.csv"
            << "dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei";
        QTest::newRow("window table, foreign, as root")
            << "k.csv>geheim"
            << "die Verknuepfung %1/k.csv gehoert einem anderen Benutzer und wird nicht verfolgt";
        QTest::newRow("window picture, foreign, as root")
            << "k.png>geheim"
            << "die Verknuepfung %1/k.png gehoert einem anderen Benutzer und wird nicht verfolgt";
    }
    void outputNamesJudged()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows has no FIFOs in its folders, and its links need rights users lack");
#else
        QFETCH(QString, link);
        QFETCH(QString, reason);
        if (link.endsWith("geheim") && geteuid() != 0)
            QSKIP("a link of another user is made by root only");
        const QString folder = subfolder(QStringLiteral("namen"));
        const QString input = writeTestFile(folder + "/k.hfd", swrCurve());
        writeTestFile(folder + "/geheim", "root=1\n");
        const QByteArray samples2 = QFile::encodeName(writeTestFile(folder + "/k_2.z2k", "alt 2"));
        const QByteArray name = QFile::encodeName(folder + "/" + link.section('>', 0, 0));
        if (link.isEmpty())
            QVERIFY(unlink(samples2) == 0 && mkfifo(samples2, 0600) == 0);
        else if (!link.contains('>'))
            QVERIFY(mkfifo(name, 0600) == 0);
        else
            QVERIFY(symlink(QFile::encodeName(link.section('>', 1)), name) == 0);
        if (link.endsWith("geheim"))
            QVERIFY(lchown(name, 65534, 65534) == 0);
        const QString file = link.isEmpty() ? "k_2.z2k" : link.section('>', 0, 0);
        if (!file.endsWith(".z2k")) { // the window's words, the batch's reason; nothing changed
            QCOMPARE(saveFromPreview(input, folder + "/" + file),
                     (file.endsWith(".csv") ? "Die Tabelle " : "Das Bild ") + folder + "/" + file +
                         " konnte nicht gespeichert werden.\n" + reason.arg(folder));
            struct stat st;
            QVERIFY(lstat(name, &st) == 0 && S_ISLNK(st.st_mode) == link.contains('>'));
            QCOMPARE(readTestFile(folder + "/geheim"), QByteArray("root=1\n"));
            return;
        }
        const Run run = start({"--convert", input, "--png"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QString("%2: die Ausgabedatei %1/%3 kann nicht geschrieben werden: " +
                                  reason + "\n")
                              .arg(folder, input, file));
        QCOMPARE(run.out, QString());
        QCOMPARE(readTestFile(folder + "/geheim"), QByteArray("root=1\n"));
        struct stat st; // a FIFO stays, and is never read
        QVERIFY(lstat(samples2, &st) == 0);
        QVERIFY(link.isEmpty() ? S_ISFIFO(st.st_mode) : readTestFile(samples2) == "alt 2");
#endif
    }

    // A replaced file keeps owner and group: replaced by root, or by a member of its group.
    void ownerAndGroupKept_data()
    {
        QTest::addColumn<QStringList>("who");
        QTest::newRow("root") << QStringList{"-u", "root"};
        QTest::newRow("group member")
            << QStringList{"-u", "nobody", "-g", "nogroup", "-G", "users"};
        QTest::newRow("window table, root, in this process") << QStringList();
    }
    void ownerAndGroupKept()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows files keep no owner and group that a replacement could lose");
#else
        QFETCH(QStringList, who);
        const group *users = getgrnam("users");
        if (geteuid() != 0 || !users)
            QSKIP("needs root and a group users");
        QVERIFY(chmod(QFile::encodeName(dir.path()), 0755) == 0);
        const QString folder = subfolder(QStringLiteral("besitz"));
        QVERIFY(chmod(QFile::encodeName(folder), 0777) == 0);
        const QString input = writeTestFile(folder + "/k.hfd", swrCurve());
        const QString oldName = folder + (who.isEmpty() ? "/k.csv" : "/k.z2k");
        const QByteArray old = QFile::encodeName(writeTestFile(oldName, "alt"));
        QVERIFY(chown(old, 65534, users->gr_gid) == 0);
        if (who.isEmpty()) {
            QCOMPARE(saveFromPreview(input, oldName), QString());
            struct stat st;
            QVERIFY(stat(old, &st) == 0 && st.st_uid == 65534 && st.st_gid == users->gr_gid);
            return;
        }
        QTemporaryDir copyFolder(QDir::tempPath() + QStringLiteral("/zor2-other-user-XXXXXX"));
        QString whyNot;
        const QString program =
            OtherUser::reachableCopy(copyFolder, QStringLiteral(ZOR2CONV_PROGRAM), &whyNot);
        if (program.isEmpty())
            QSKIP(qPrintable(whyNot));
        // A root the other user may not enter (a throw-away system folder of mode 0700) lets
        // that user start nothing at all.
        QProcess probe;
        probe.start(QStringLiteral("runuser"), who + QStringList{"--", program, "--version"});
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
            QSKIP(qPrintable("the program cannot be run as another user here: " +
                             QString::fromLocal8Bit(probe.readAllStandardError())));
        const auto asOtherUser = [&](QProcess &p) {
            p.setProgram(QStringLiteral("runuser"));
            p.setArguments(who + QStringList{"--", program, "--convert", input});
            p.setWorkingDirectory(copyFolder.path());
            p.setProcessEnvironment(OtherUser::environmentFor(
                QProcessEnvironment::systemEnvironment(), copyFolder.path()));
        };
        const Run run = start({}, QString(), asOtherUser);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        struct stat st;
        QVERIFY(stat(old, &st) == 0);
        QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(st.st_gid, users->gr_gid);
#endif
    }

    // Names in Latin-1 bytes from old disks: found, written under the same bytes, shown escaped.
    void latin1Names()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows names are text, never bytes in another code");
#else
        const QString folder = subfolder(QStringLiteral("latin1"));
        const QByteArray place = QFile::encodeName(folder);
        // Qt cannot see these names to remove them with the test's folder.
        const auto gone = qScopeGuard([&] { QProcess::execute("rm", {"-rf", folder}); });
        QVERIFY(rename(QFile::encodeName(writeTestFile(folder + "/v.hfd", swrCurve())),
                       place + "/m\xe4.hfd") == 0);
        const Run run = start({}, folder, [](QProcess &p) {
            p.setProgram(QStringLiteral("bash"));
            p.setArguments(
                {"-c", "exec \"$0\" --convert $'m\\xe4.hfd' $'f\\xfc.hfd' --output-dir $'aus\\xe4'",
                 ZOR2CONV_PROGRAM});
        });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("f\\xFC.hfd: Datei nicht gefunden\n"));
        QCOMPARE(run.out, folder + "/aus\\xE4/m\\xE4.z2k\n" + folder + "/aus\\xE4/m\\xE4_2.z2k\n");
#endif
    }

    // Stopped mid-batch: each input's outputs all new or all old, no temporary file left.
    void stoppedBySignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
#ifdef SIGHUP
        QTest::newRow("SIGHUP") << int(SIGHUP);
#endif
    }
    void stoppedBySignal()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows sends no signal to another process; Ctrl-C reaches only its own console");
#else
        QFETCH(int, signal);
        const QString outDir = subfolder(QStringLiteral("signal")) + "/aus";
        QStringList arguments{"--convert", "--png", "--output-dir", outDir};
        for (int i = 0; i < 60; ++i) {
            arguments << writeTestFile(outDir + QStringLiteral("-ein/k%1.hfd").arg(i), swrCurve());
            for (const char *suffix : {".z2k", "_2.z2k", ".png"})
                writeTestFile(outDir + QStringLiteral("/k%1").arg(i) + suffix, "alt");
        }
        QProcess process;
        process.start(QStringLiteral(ZOR2CONV_PROGRAM), arguments);
        QVERIFY(process.waitForReadyRead(30000)); // the first input's files are in place
        QVERIFY(::kill(pid_t(process.processId()), signal) == 0);
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signal);
        int newFiles = 0;
        for (int i = 0; i < 60; ++i) {
            const QString k = outDir + QStringLiteral("/k%1").arg(i);
            const int old = (readTestFile(k + ".z2k") == "alt") +
                            (readTestFile(k + "_2.z2k") == "alt") +
                            (readTestFile(k + ".png") == "alt");
            QVERIFY2(old == 0 || old == 3, qPrintable(k + " split"));
            newFiles += old == 0;
        }
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()),
                 QStringLiteral("zor2conv: durch Signal %1 abgebrochen, %2 von 60 Eingaben "
                                "bearbeitet\n")
                     .arg(signal)
                     .arg(newFiles));
        QVERIFY(newFiles >= 1 && newFiles < 60);
        QCOMPARE(QDir(outDir).entryList(QDir::Files | QDir::Hidden).size(), 180);
#endif
    }

    // An 80 KB description as the picture's title: the peak memory stays that of any picture.
    // Measured after the child ends: the sanitizers cannot start under an address-space limit.
    void longDescriptionPictureInBoundedMemory()
    {
        const QString input =
            writeTestFile(subfolder(QStringLiteral("lang")) + "/lang.hfd",
                          swrCurve().replace("my curve 1", QByteArray(80000, 'x')));
        QCOMPARE(start({"--convert", input, "--png"}).exitCode, 0);
#ifdef Q_OS_UNIX // Windows keeps no peak of the children that ended
        rusage usage{};
        QVERIFY(getrusage(RUSAGE_CHILDREN, &usage) == 0); // the peak of any child so far
        QVERIFY2(usage.ru_maxrss < 600 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
#endif
        QCOMPARE(QImageReader(QString(input).replace(".hfd", ".png")).size(), QSize(1200, 800));
    }

    // The title drawn: plain text on one line, shortened to the width with "…" where it is wider.
    void pictureTitle_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("shown"); // ending in "…": the beginning of what is shown
        QTest::newRow("fits, markup") << "<h1>T</h1>\n<br>&amp;"
                                      << "<h1>T</h1> <br>&amp;";
        QTest::newRow("80 KB") << QString("<br>").repeated(20000) << "<br><br>…";
    }
    void pictureTitle()
    {
        QFETCH(QString, description);
        QFETCH(QString, shown);
        QTextDocument title;
        title.setDocumentMargin(0);
        title.setHtml(chartTitleHtml(description, title.defaultFont(), 600));
        QVERIFY(title.idealWidth() <= 600 && (title.idealWidth() > 550 || !shown.endsWith("…")));
        QVERIFY(title.toPlainText().startsWith(shown.remove("…")));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no input") << QStringList{"--convert"} << 2
                                  << "zor2conv: keine Eingabedatei angegeben\nAufruf:";
        QTest::newRow("unknown option") << QStringList{"--convert", "a.hfd", "--schnell"} << 2
                                        << "zor2conv: unbekannte Option --schnell\nAufruf:";
        QTest::newRow("folder missing") << QStringList{"--convert", "a.hfd", "--output-dir"} << 2
                                        << "zor2conv: --output-dir braucht einen Ordner\nAufruf:";
        QTest::newRow("folder twice")
            << QStringList{"--convert", "a.hfd", "--output-dir", "x", "--output-dir", "y"} << 2
            << "zor2conv: --output-dir ist zweimal angegeben\nAufruf:";
        QTest::newRow("window, two old files")
            << QStringList{"a.hfd", "b.hfd"} << 2
            << "zor2conv: b.hfd: das Fenster oeffnet nur eine alte Kurvendatei; mehrere wandelt "
               "zor2conv --convert um\nAufruf:";
        QTest::newRow("help") << QStringList{"--help"} << 0 << QString();
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = start(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
        if (exitCode == 0) {
            QVERIFY(run.out.startsWith(QLatin1String("Aufruf: zor2conv --convert")));
            // The program's own text, line by line: nothing in it is escaped.
            QVERIFY2(run.out.contains("\n  --csv ") && !run.out.contains("\\x"),
                     qPrintable(run.out));
        } else
            QCOMPARE(run.out, QString());
    }

    void diagnosticsOnlyWhenVerbose()
    {
        const QString folder = subfolder(QStringLiteral("sieben"));
        const QString input = writeTestFile(folder + "/k.hfd", swrCurve());
        const Run still = start({"--convert", input, "-len"});
        QCOMPARE(still.exitCode, 0);
        QCOMPARE(still.err, QString());
        const Run verbose = start({"--convert", input, "--verbose", "-len"});
        QCOMPARE(verbose.exitCode, 0);
        const QStringList lines = verbose.err.split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("fname: \"zor2convert_en\""));
        QVERIFY(lines.contains(QStringLiteral("Frq-Schritte 3")));
        QVERIFY(lines.contains(QStringLiteral("idxteiler 1")));
        QCOMPARE(lines.count(QStringLiteral("0")), 6); // one bare number per SWR lookup
    }

    // Anything but a regular file of sane size is refused at once, and the next input is still
    // converted.
    void specialInputsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fifo") << "fifo"
                              << "ist eine FIFO (benannte Pipe), keine Datei";
        QTest::newRow("/dev/zero") << "/dev/zero"
                                   << "ist ein Geraet, keine Datei";
        QTest::newRow("sparse 30 GB") << "sparse"
                                      << "Datei zu gross (32212254720 Bytes, hoechstens 64 MB)";
        QTest::newRow("folder") << "folder"
                                << "ist ein Ordner, keine Datei";
    }
    void specialInputsRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString folder = subfolder(QStringLiteral("besonders"));
        const QString goodFile = writeTestFile(folder + "/gut.hfd", swrCurve());
        QString input = kind.startsWith('/') ? kind : folder + "/" + kind + ".hfd";
#ifdef Q_OS_UNIX
        if (kind == "fifo")
            QVERIFY(mkfifo(QFile::encodeName(input).constData(), 0600) == 0);
#else
        if (kind == "fifo" || kind.startsWith('/'))
            QSKIP("Windows has no FIFOs and no devices in its folders");
#endif
        else if (kind == "sparse")
            QVERIFY(QFile(writeTestFile(input, swrCurve())).resize(30LL << 30));
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(input));
        QElapsedTimer timer;
        timer.start();
        const Run run = start({"--convert", input, goodFile});
        QVERIFY2(timer.elapsed() < 10000, "a special input must not block the batch");
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, input + ": " + reason + "\n");
        QCOMPARE(run.out, folder + "/gut.z2k\n" + folder + "/gut_2.z2k\n");
    }

    // Two names of one file are one output, and no output replaces an input of the run.
    void outputsComparedByRealPath_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("message");
        QTest::newRow("linked folder")
            << QStringList{"a/x.hfd", "alink/x.HFD"}
            << "alink/x.HFD: die Ausgabedatei %1/alink/x.z2k wurde in diesem Lauf schon "
               "geschrieben";
        QTest::newRow("input is an output")
            << QStringList{"same.z2k"}
            << "same.z2k: die Ausgabedatei %1/same.z2k wuerde eine Eingabe dieses Laufs ersetzen";
        QTest::newRow("later input is an output")
            << QStringList{"b.hfd", "b_2.z2k"}
            << "b.hfd: die Ausgabedatei %1/b_2.z2k wuerde eine Eingabe dieses Laufs ersetzen";
    }
    void outputsComparedByRealPath()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, message);
#ifndef Q_OS_UNIX
        if (inputs.join(' ').contains("alink"))
            QSKIP("links on Windows need rights users lack");
#endif
        const QString folder = subfolder(QStringLiteral("echt"));
        QVERIFY(QDir().mkpath(folder + "/a"));
        QVERIFY(QFile::link(folder + "/a", folder + "/alink"));
        for (const QString &e : inputs) {
            if (!QFile::exists(folder + "/" + e))
                writeTestFile(folder + "/" + e, swrCurve());
        }
        const Run run = start(QStringList{"--convert"} + inputs, folder);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message.arg(folder) + "\n"), qPrintable(run.err));
        for (const QString &e : inputs)
            QCOMPARE(readTestFile(folder + "/" + e), swrCurve());
    }

    void fileNamedLikeLanguageOption()
    {
        const QString folder = subfolder(QStringLiteral("sprache"));
        writeTestFile(folder + "/-lauf.hfd", swrCurve());
        writeTestFile(folder + "/gut.hfd", swrCurve());
        const Run warned = start({"--convert", "-lauf.hfd", "gut.hfd"}, folder);
        QCOMPARE(warned.exitCode, 0);
        QCOMPARE(warned.err, QStringLiteral("zor2conv: -lauf.hfd: keine Uebersetzung geladen; eine "
                                            "Datei dieses Namens wandelt zor2conv --convert -- "
                                            "-lauf.hfd um\n"));
        const Run converted = start({"--convert", "--", "-lauf.hfd"}, folder);
        QCOMPARE(converted.err, QString());
        QCOMPARE(converted.out, folder + "/-lauf.z2k\n" + folder + "/-lauf_2.z2k\n");
    }

    // Without a display every call is answered on the terminal; none aborts.
    void callsWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // the start of stdout, or else of stderr
        QTest::newRow("window") << QStringList{} << 2 << "zor2conv: kein Bildschirm gefunden";
        QTest::newRow("window with language")
            << QStringList{"-len"} << 2 << "zor2conv: no display found";
        QTest::newRow("unknown") << QStringList{"--bogus"} << 2
                                 << "zor2conv: unbekannte Option --bogus\nAufruf:";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << "Aufruf: zor2conv --convert";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "zor2conv 1.";
        QTest::newRow("convert with value")
            << QStringList{"--convert=x.hfd"} << 2
            << "zor2conv: --convert=x.hfd: diese Option nimmt keinen Wert";
        QTest::newRow("png without convert") << QStringList{"--png", "x.hfd"} << 2
                                             << "zor2conv: --png gilt nur zusammen mit --convert";
        QTest::newRow("output-dir without convert")
            << QStringList{"--output-dir", "o", "x.hfd"} << 2
            << "zor2conv: --output-dir gilt nur zusammen mit --convert";
        QTest::newRow("option as folder")
            << QStringList{"--convert", "x.hfd", "--output-dir", "--verbose"} << 2
            << "zor2conv: --output-dir braucht einen Ordner";
        QTest::newRow("double-dash word after convert")
            << QStringList{"--convert", "x.hfd", "--lauf"} << 2
            << "zor2conv: unbekannte Option --lauf";
        QTest::newRow("empty argument")
            << QStringList{"--convert", ""} << 2
            << "zor2conv: leeres Argument statt eines Dateinamens oder einer Option";
    }
    void callsWithoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
#ifndef Q_OS_UNIX
        if (arguments.isEmpty() || arguments.first().startsWith("-l"))
            QSKIP("Windows always has its display: the window opens");
#endif
        const QString folder = subfolder(QStringLiteral("ohne"));
        const Run run = start(arguments, folder, [](QProcess &p) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                env.remove(QLatin1String(name));
            p.setProcessEnvironment(env);
        });
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).startsWith(output), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(folder + "/--verbose"));
    }

    // --csv and --markers: the table joins the pair, all of them or none; each curve file's
    // name is followed by its markers.
    void tableAndMarkers()
    {
        const QString folder = subfolder(QStringLiteral("tabelle"));
        const QString input = writeTestFile(folder + "/swr.hfd", swrCurve());
        const Run run = start({"--convert", input, "--csv", "--markers"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        const QString basis = folder + "/swr";
        QCOMPARE(run.out, basis +
                              ".z2k: Minimum -5,00 SWV bei 1,00 MHz; SWV <= 2 von 1,00 bis 1,35 "
                              "MHz (350 kHz); das untere Bandende liegt ausserhalb des Sweeps\n" +
                              basis +
                              "_2.z2k: Minimum -10,00 SWV bei 1,00 MHz; SWV <= 2 von 1,00 bis "
                              "1,50 MHz (500 kHz); beide Bandenden liegen ausserhalb des Sweeps\n" +
                              basis + ".csv\n");
        QCOMPARE(readTestFile(basis + ".csv"),
                 "Frequenz (MHz);Kanal 1 (SWV);Kanal 2 (SWV)\r\n1;-5;-10\r\n1,25;0;-7,5\r\n"
                 "1,5;5;-5\r\n");

        QVERIFY(QFile::remove(basis + ".csv") && QDir(folder).mkdir(QStringLiteral("swr.csv")));
        writeTestFile(input, QByteArray(swrCurve()).replace("my curve", "neu"));
        const QByteArray old = readTestFile(basis + ".z2k");
        const Run second = start({"--convert", input, "--csv"});
        QCOMPARE(second.exitCode, 1);
        QCOMPARE(second.out, QString());
        QCOMPARE(readTestFile(basis + ".z2k"), old);
    }

    // A negative step: written falling, read back rising, markers as for the rising sweep.
    void fallingSweepWrittenReadAndMarked()
    {
        const QString input = writeTestFile(subfolder(QStringLiteral("fallend")) + "/f.hfd",
                                            QByteArray(swrCurve())
                                                .replace("1000000 250000", "1500000 -250000")
                                                .replace("10 20 30", "30 20 10"));
        const QString output = QString(input).replace(".hfd", ".z2k"),
                      markers = "Minimum -5,00 SWV bei 1,00 MHz; SWV <= 2 von 1,00 bis 1,35 MHz "
                                "(350 kHz); das untere Bandende liegt ausserhalb des Sweeps";
        QVERIFY(start({"--convert", input, "--markers"}).out.startsWith(output + ": " + markers));
        QVERIFY(readTestFile(output).endsWith("\n1.5;5\n1.25;0\n1;-5\n"));
        const NewCurve read = NewCurveReader::read(output).curve;
        QCOMPARE(read.value, QList<double>({-5, 0, 5}));
        QCOMPARE(CurveMarkers::compute(read.frequency.data(), read.value.data(), 3, Quantity::Swr)
                     .text(2),
                 markers);
    }

    // --png without a display: a picture joins each converted input's pair, a refused input gets
    // none, and a picture that cannot take its place fails its input like a curve file.
    void picturesBesideThePairs()
    {
        const QString folder = subfolder(QStringLiteral("bilder"));
        const QString outDir = folder + "/aus";
        const QString goodFile = writeTestFile(folder + "/gut.hfd", swrCurve());
        const QString badFile = writeTestFile(folder + "/schlecht.hfd", "kein Altformat\n");
        const QString alsoFile = writeTestFile(folder + "/auch.hfd", swrCurve());
        const auto withoutDisplay = [](QProcess &p) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                env.remove(QLatin1String(name));
            p.setProcessEnvironment(env);
        };
        const Run run =
            start({"--convert", goodFile, badFile, alsoFile, "--png", "--output-dir", outDir},
                  QString(), withoutDisplay);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, badFile + ": keine Kurvendatei im alten Format\n");
        QCOMPARE(run.out, QStringList({outDir + "/gut.z2k", outDir + "/gut_2.z2k",
                                       outDir + "/gut.png", outDir + "/auch.z2k",
                                       outDir + "/auch_2.z2k", outDir + "/auch.png", ""})
                              .join('\n'));
        QCOMPARE(
            QDir(outDir).entryList(QDir::Files | QDir::Hidden),
            QStringList({"auch.png", "auch.z2k", "auch_2.z2k", "gut.png", "gut.z2k", "gut_2.z2k"}));
        for (const char *picture : {"/gut.png", "/auch.png"}) {
            QImageReader reader(outDir + picture, "png");
            QCOMPARE(reader.size(), QSize(1200, 800));
        }

        const QByteArray old = readTestFile(outDir + "/gut.z2k");
        QVERIFY(QFile::remove(outDir + "/gut.png") &&
                QDir(outDir).mkdir(QStringLiteral("gut.png")));
        writeTestFile(goodFile, QByteArray(swrCurve()).replace("my curve", "neu"));
        const Run second = start({"--convert", goodFile, "--png", "--output-dir", outDir},
                                 QString(), withoutDisplay);
        QCOMPARE(second.exitCode, 1);
        QVERIFY2(second.err.startsWith(goodFile + ": die Ausgabedatei " + outDir +
                                       "/gut.png kann nicht geschrieben werden"),
                 qPrintable(second.err));
        QCOMPARE(second.out, QString());
        QCOMPARE(readTestFile(outDir + "/gut.z2k"), old);
        QCOMPARE(QDir(outDir).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }

    // A folder that cannot be made is told once, before any input is read.
    void outputFolderCheckedFirst()
    {
        const QString folder = subfolder(QStringLiteral("kein-ordner"));
        const QString input = writeTestFile(folder + "/k.hfd", swrCurve());
        writeTestFile(folder + "/datei", "x");
        const Run run = start({"--convert", input, input, "--output-dir", "datei/neu"}, folder);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("zor2conv: der Ausgabeordner datei/neu kann nicht "
                                         "angelegt werden: ein Teil des Pfads ist kein Ordner\n"));
        QCOMPARE(run.out, QString());

        // A folder that can be made is made only when a file is written.
        QCOMPARE(start({"--convert", "fehlt.hfd", "--output-dir", "neu"}, folder).exitCode, 1);
        QVERIFY(!QFileInfo::exists(folder + "/neu"));
    }

    void failedStandardOutputFails()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows has no device that is always full");
#else
        const QString folder = subfolder(QStringLiteral("voll"));
        const QString input = writeTestFile(folder + "/k.hfd", swrCurve());
        const Run run = start({"--convert", input}, QString(), [](QProcess &p) {
            p.setStandardOutputFile(QStringLiteral("/dev/full"));
        });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("zor2conv: die Standardausgabe kann nicht geschrieben "
                                         "werden\n"));
#endif
    }

    // A full disk: by a file-size limit (any user), and by a tiny file system (root only). The
    // earlier run's files stay byte for byte, and no temporary file is left.
    void fullDiskKeepsOldFiles_data()
    {
        QTest::addColumn<bool>("tmpfs");
        QTest::addColumn<QString>("cause"); // "window": the preview's table over an old one
        QTest::newRow("file-size limit") << false << "die Datei wuerde groesser als erlaubt";
        QTest::newRow("tiny tmpfs") << true << "der Datentraeger ist voll";
        QTest::newRow("window table, tiny tmpfs") << true << "window";
    }
    void fullDiskKeepsOldFiles()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows has no file-size limit per process, and mounting a file system needs rights "
              "users lack");
#else
        QFETCH(bool, tmpfs);
        QFETCH(QString, cause);
        const QString folder = subfolder(QStringLiteral("platte"));
        const QString outDir = folder + "/aus";
        QVERIFY(QDir().mkpath(outDir));
        if (tmpfs) {
            if (geteuid() != 0)
                QSKIP("mounting a file system needs root");
            if (mount("tmpfs", QFile::encodeName(outDir).constData(), "tmpfs", 0, "size=16k") != 0)
                QSKIP("no tmpfs can be mounted here");
        }
        const auto unmount = qScopeGuard([&] {
            if (tmpfs)
                umount(QFile::encodeName(outDir).constData());
        });
        // Old files of an earlier run, then a long curve whose files need more room.
        const QString shortest = writeTestFile(folder + "/k.hfd", swrCurve());
        QCOMPARE(start({"--convert", shortest, "--output-dir", outDir}).exitCode, 0);
        const QByteArray old1 = readTestFile(outDir + "/k.z2k");
        const QByteArray old2 = readTestFile(outDir + "/k_2.z2k");
        QByteArray longFile = "#V3.05 1000000 250000 2000 0.5 -10 0.25 -20 1\n";
        longFile += QByteArray("123 ").repeated(4000) + "lang\n";
        writeTestFile(folder + "/k.hfd", longFile);
        if (tmpfs)
            writeTestFile(outDir + "/fuell", QByteArray(4096, 'f'));
        if (cause == "window") {
            writeTestFile(outDir + "/k.csv", "alt");
            QVERIFY(saveFromPreview(shortest, outDir + "/k.csv")
                        .endsWith("gespeichert werden.\nder Datentraeger ist voll"));
            QCOMPARE(readTestFile(outDir + "/k.csv"), QByteArray("alt"));
            QCOMPARE(QDir(outDir).entryList(QDir::Files | QDir::Hidden),
                     QStringList({"fuell", "k.csv", "k.z2k", "k_2.z2k"}));
            return;
        }

        const Run run =
            start({"--convert", shortest, "--output-dir", outDir}, QString(), [tmpfs](QProcess &p) {
                if (tmpfs)
                    return;
                p.setChildProcessModifier([] {
                    signal(SIGXFSZ, SIG_IGN);
                    const rlimit limit{8192, 8192};
                    setrlimit(RLIMIT_FSIZE, &limit);
                });
            });
        const QStringList files = QDir(outDir).entryList(QDir::Files | QDir::Hidden);
        const QByteArray new1 = readTestFile(outDir + "/k.z2k");
        const QByteArray new2 = readTestFile(outDir + "/k_2.z2k");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.endsWith(cause + "\n"), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(new1, old1);
        QCOMPARE(new2, old2);
        QCOMPARE(files, tmpfs ? QStringList({"fuell", "k.z2k", "k_2.z2k"})
                              : QStringList({"k.z2k", "k_2.z2k"}));
#endif
    }
};

QTEST_MAIN(TestBatchMode)
#include "tst_batchmode.moc"
