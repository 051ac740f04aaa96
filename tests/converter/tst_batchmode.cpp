#include "Kurvendiagramm.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <functional>

#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Runs the built program's batch mode the way a script would.
class TestBatchMode : public QObject
{
    Q_OBJECT

private:
    struct Lauf
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    QTemporaryDir dir;

    static Lauf starten(const QStringList &arguments, const QString &workingDir = QString(),
                        const std::function<void(QProcess &)> &vorbereiten = {})
    {
        QProcess process;
        if (!workingDir.isEmpty())
            process.setWorkingDirectory(workingDir);
        if (vorbereiten)
            vorbereiten(process);
        if (process.program().isEmpty()) // else the program through another, as prepared
            process.start(QStringLiteral(ZOR2CONV_PROGRAM), arguments);
        else
            process.start();
        Lauf lauf;
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished(5000);
            return lauf;
        }
        lauf.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        lauf.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        lauf.err = QString::fromLocal8Bit(process.readAllStandardError());
        return lauf;
    }

    // An SWR curve of three points, values v = faktor * n + shift, no correction tables.
    static QByteArray swrKurve()
    {
        return "#V3.05 1000000 250000 3 0.5 -10 0.25 -20 1\n10 20 30\n40 50 60\nmy curve 1\n";
    }

    // The description the window proposes for a file: its path and label, cleaned.
    static QString vorschlag(const QString &path, const QString &label)
    {
        QString text = path;
        text.replace(QLatin1Char('/'), QLatin1Char('_'))
            .replace(QLatin1Char('-'), QLatin1Char('_'));
        text.remove(QLatin1String(".hfd"));
        return text + label;
    }

    QString unterordner(const QString &name)
    {
        const QString path = dir.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        return path;
    }

private slots:
    void writesBothChannelsAsTheWindowDoes()
    {
        const QString ordner = unterordner(QStringLiteral("eins"));
        const QString eingabe = writeTestFile(ordner + "/swr.hfd", swrKurve());
        const Lauf lauf = starten({"--convert", eingabe});
        QCOMPARE(lauf.err, QString());
        QCOMPARE(lauf.exitCode, 0);
        QCOMPARE(lauf.out, ordner + "/swr.z2k\n" + ordner + "/swr_2.z2k\n");
        const QByteArray kopf = vorschlag(eingabe, "_mycurve1").toLocal8Bit();
        QCOMPARE(readTestFile(ordner + "/swr.z2k"), "#" + kopf + "\n1;-5\n1.25;0\n1.5;5\n");
        QCOMPARE(readTestFile(ordner + "/swr_2.z2k"),
                 "#K2: " + kopf + "\n1;-10\n1.25;-7.5\n1.5;-5\n");
    }

    // The window's text panel gives a non-breaking space back as a blank; so does the batch.
    void descriptionAsTheTextPanelGivesItBack()
    {
        const QString ordner = unterordner(QStringLiteral("nbsp"));
        const QString eingabe =
            writeTestFile(ordner + "/n.hfd", "#V4.05 0 1 1 1 0 1 0 0 5 5 Filter\xc2\xa0"
                                             "10MHz " +
                                                 QByteArray("0 ").repeated(4 * 9999));
        QCOMPARE(starten({"--convert", eingabe}).exitCode, 0);
        const QByteArray kopf = vorschlag(eingabe, "_Filter").toUtf8();
        QCOMPARE(readTestFile(ordner + "/n.z2k"), "#" + kopf + "_10MHz\n0;5\n");
        QCOMPARE(readTestFile(ordner + "/n_2.z2k"), "#K2: " + kopf + " 10MHz\n0;5\n");
    }

    void relativeInputAndCreatedOutputFolder()
    {
        const QString ordner = unterordner(QStringLiteral("zwei"));
        writeTestFile(ordner + "/in/a b.hfd", swrKurve());
        const Lauf lauf = starten({"--convert", "in/a b.hfd", "--output-dir", "neu/tief"}, ordner);
        QCOMPARE(lauf.exitCode, 0);
        const QString ziel = ordner + "/neu/tief/a b";
        QCOMPARE(lauf.out, ziel + ".z2k\n" + ziel + "_2.z2k\n");
        // the description holds the input's absolute path, a blank made "_"
        QVERIFY(readTestFile(ziel + ".z2k")
                    .startsWith("#" + vorschlag(ordner + "/in/a_b.hfd", "_mycurve1").toLocal8Bit() +
                                "\n1;-5\n"));
    }

    void replacesExistingFiles()
    {
        const QString ordner = unterordner(QStringLiteral("drei"));
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        writeTestFile(ordner + "/k.z2k", "alt");
        QCOMPARE(starten({"--convert", eingabe}).exitCode, 0);
        QVERIFY(readTestFile(ordner + "/k.z2k").startsWith("#"));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("grund");
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
        QTest::newRow("output in the way") << swrKurve()
                                           << "die Ausgabedatei %1/schlecht_2.z2k kann nicht "
                                              "geschrieben werden: ein Ordner dieses Namens ist "
                                              "im Weg";
        QTest::newRow("overflow") << QByteArray("#V3.05 0 1 1 1e306 0 1 0 1 1000 5")
                                  << "Kanal 1, Punkt 1: Wert nicht darstellbar";
        QTest::newRow("zero steps") << QByteArray("#V3.05 0 1 0 1 0 1 0 0") << "keine Messpunkte";
        // A message stays one line, and no file drives the terminal.
        const QString feld =
            "das Feld \"Kanal 2, Messwert 1 von 1\" enthaelt keine gueltige Zahl: ";
        QTest::newRow("NUL") << QByteArray("#V3.05 0 1 1 1 0 1 0 0 5 x\0y", 28)
                             << feld + "\"x\\x00y\"";
        QTest::newRow("escape") << QByteArray("#V3.05 0 1 1 1 0 1 0 0 5 \x1b[2J")
                                << feld + "\"\\x1b[2J\"";
        QTest::newRow("cut off") << swrKurve().left(55)
                                 << "Datei endet vorzeitig, es fehlt: Kanal 2, Messwert 2 von 3";
    }
    void refusals()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, grund);
        const QString ordner = unterordner(QStringLiteral("vier"));
        const QString gut = writeTestFile(ordner + "/gut.hfd", swrKurve());
        const QString schlecht = ordner + "/schlecht.hfd";
        if (!inhalt.isEmpty())
            writeTestFile(schlecht, inhalt);
        QDir(ordner).mkdir(QStringLiteral("schlecht_2.z2k")); // only in the way of a good file
        const Lauf lauf = starten({"--convert", schlecht, gut});
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.err, schlecht + ": " + grund.replace("%1", ordner) + "\n");
        QCOMPARE(lauf.out, ordner + "/gut.z2k\n" + ordner + "/gut_2.z2k\n");
        QVERIFY(!QFile::exists(ordner + "/schlecht.z2k"));
    }

    void laterDuplicateOutputIsRefused_data()
    {
        QTest::addColumn<QStringList>("eingaben");
        QTest::addColumn<QString>("doppelt");
        QTest::newRow("same name, two folders") << QStringList{"x/a.hfd", "y/a.hfd"} << "a.z2k";
        QTest::newRow("channel 2 name") << QStringList{"x/a.hfd", "x/a_2.hfd"} << "a_2.z2k";
    }
    void laterDuplicateOutputIsRefused()
    {
        QFETCH(QStringList, eingaben);
        QFETCH(QString, doppelt);
        const QString ordner = unterordner(QStringLiteral("fuenf"));
        QStringList arguments{"--convert"};
        for (const QString &e : eingaben)
            arguments << writeTestFile(ordner + "/" + e, swrKurve());
        arguments << "--output-dir" << ordner + "/aus";
        const Lauf lauf = starten(arguments);
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.err, arguments.at(2) + ": die Ausgabedatei " + ordner + "/aus/" + doppelt +
                               " wurde in diesem Lauf schon geschrieben\n");
        QCOMPARE(lauf.out.count(QLatin1Char('\n')), 2);
        // the first input's files are untouched
        QVERIFY(readTestFile(ordner + "/aus/a.z2k").contains("_x_a_mycurve1"));
    }

    void bothFilesOrNone()
    {
        const QString ordner = unterordner(QStringLiteral("sechs"));
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        QDir(ordner).mkdir(QStringLiteral("k_2.z2k"));
        const Lauf lauf = starten({"--convert", eingabe});
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.out, QString());
        QVERIFY(!QFile::exists(ordner + "/k.z2k"));
    }

    // Output names judged before anything is written; "name>target" is a link made first.
    void outputNamesJudged_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("grund"); // %1: the folder
        QTest::newRow("fifo") << ""
                              << "dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei";
        QTest::newRow("crossing") << "k.z2k>k_2.z2k"
                                  << "sie fuehrt zur selben Datei wie %1/k_2.z2k";
        QTest::newRow("foreign, as root") << "k.z2k>geheim"
                                          << "die Verknuepfung %1/k.z2k gehoert "
                                             "einem anderen Benutzer und wird nicht verfolgt";
    }
    void outputNamesJudged()
    {
        QFETCH(QString, link);
        QFETCH(QString, grund);
        if (link.endsWith("geheim") && geteuid() != 0)
            QSKIP("a link of another user is made by root only");
        const QString ordner = unterordner(QStringLiteral("namen"));
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        writeTestFile(ordner + "/geheim", "root=1\n");
        const QByteArray k2 = QFile::encodeName(writeTestFile(ordner + "/k_2.z2k", "alt 2"));
        const QByteArray name = QFile::encodeName(ordner + "/" + link.section('>', 0, 0));
        if (link.isEmpty())
            QVERIFY(unlink(k2) == 0 && mkfifo(k2, 0600) == 0);
        else
            QVERIFY(symlink(QFile::encodeName(link.section('>', 1)), name) == 0);
        if (link.endsWith("geheim"))
            QVERIFY(lchown(name, 65534, 65534) == 0);
        const Lauf lauf = starten({"--convert", eingabe, "--png"});
        QCOMPARE(lauf.exitCode, 1);
        const QString datei = link.isEmpty() ? "k_2.z2k" : link.section('>', 0, 0);
        QCOMPARE(lauf.err, QString("%2: die Ausgabedatei %1/%3 kann nicht geschrieben werden: " +
                                   grund + "\n")
                               .arg(ordner, eingabe, datei));
        QCOMPARE(lauf.out, QString());
        QCOMPARE(readTestFile(ordner + "/geheim"), QByteArray("root=1\n"));
        struct stat st; // a FIFO stays, and is never read
        QVERIFY(lstat(k2, &st) == 0);
        QVERIFY(link.isEmpty() ? S_ISFIFO(st.st_mode) : readTestFile(k2) == "alt 2");
    }

    // A replaced file keeps owner and group: replaced by root, or by a member of its group.
    void ownerAndGroupKept_data()
    {
        QTest::addColumn<QStringList>("wer");
        QTest::newRow("root") << QStringList{"-u", "root"};
        QTest::newRow("group member")
            << QStringList{"-u", "nobody", "-g", "nogroup", "-G", "users"};
    }
    void ownerAndGroupKept()
    {
        QFETCH(QStringList, wer);
        const group *users = getgrnam("users");
        if (geteuid() != 0 || !users)
            QSKIP("needs root and a group users");
        QVERIFY(chmod(QFile::encodeName(dir.path()), 0755) == 0);
        const QString ordner = unterordner(QStringLiteral("besitz"));
        QVERIFY(chmod(QFile::encodeName(ordner), 0777) == 0);
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        const QByteArray alt = QFile::encodeName(writeTestFile(ordner + "/k.z2k", "alt"));
        QVERIFY(chown(alt, 65534, users->gr_gid) == 0);
        const auto alsWer = [&](QProcess &p) {
            p.setProgram(QStringLiteral("runuser"));
            p.setArguments(wer + QStringList{"--", ZOR2CONV_PROGRAM, "--convert", eingabe});
        };
        QCOMPARE(starten({}, QString(), alsWer).exitCode, 0);
        struct stat st;
        QVERIFY(stat(alt, &st) == 0);
        QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(st.st_gid, users->gr_gid);
    }

    // Names in Latin-1 bytes from old disks: found, written under the same bytes, shown escaped.
    void latin1Names()
    {
        const QString ordner = unterordner(QStringLiteral("latin1"));
        const QByteArray ort = QFile::encodeName(ordner);
        // Qt cannot see these names to remove them with the test's folder.
        const auto weg = qScopeGuard([&] { QProcess::execute("rm", {"-rf", ordner}); });
        QVERIFY(rename(QFile::encodeName(writeTestFile(ordner + "/v.hfd", swrKurve())),
                       ort + "/m\xe4.hfd") == 0);
        const Lauf lauf = starten({}, ordner, [](QProcess &p) {
            p.setProgram(QStringLiteral("bash"));
            p.setArguments(
                {"-c", "exec \"$0\" --convert $'m\\xe4.hfd' $'f\\xfc.hfd' --output-dir $'aus\\xe4'",
                 ZOR2CONV_PROGRAM});
        });
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.err, QStringLiteral("f\\xFC.hfd: Datei nicht gefunden\n"));
        QCOMPARE(lauf.out, ordner + "/aus\\xE4/m\\xE4.z2k\n" + ordner + "/aus\\xE4/m\\xE4_2.z2k\n");
    }

    // Stopped mid-batch: each input's outputs all new or all old, no temporary file left.
    void stoppedBySignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void stoppedBySignal()
    {
        QFETCH(int, signal);
        const QString aus = unterordner(QStringLiteral("signal")) + "/aus";
        QStringList arguments{"--convert", "--png", "--output-dir", aus};
        for (int i = 0; i < 60; ++i) {
            arguments << writeTestFile(aus + QStringLiteral("-ein/k%1.hfd").arg(i), swrKurve());
            for (const char *endung : {".z2k", "_2.z2k", ".png"})
                writeTestFile(aus + QStringLiteral("/k%1").arg(i) + endung, "alt");
        }
        QProcess process;
        process.start(QStringLiteral(ZOR2CONV_PROGRAM), arguments);
        QVERIFY(process.waitForReadyRead(30000)); // the first input's files are in place
        QVERIFY(::kill(pid_t(process.processId()), signal) == 0);
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signal);
        int neu = 0;
        for (int i = 0; i < 60; ++i) {
            const QString k = aus + QStringLiteral("/k%1").arg(i);
            const int alt = (readTestFile(k + ".z2k") == "alt") +
                            (readTestFile(k + "_2.z2k") == "alt") +
                            (readTestFile(k + ".png") == "alt");
            QVERIFY2(alt == 0 || alt == 3, qPrintable(k + " split"));
            neu += alt == 0;
        }
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()),
                 QStringLiteral("zor2conv: durch Signal %1 abgebrochen, %2 von 60 Eingaben "
                                "bearbeitet\n")
                     .arg(signal)
                     .arg(neu));
        QVERIFY(neu >= 1 && neu < 60);
        QCOMPARE(QDir(aus).entryList(QDir::Files | QDir::Hidden).size(), 180);
    }

    // An 80 KB description as the picture's title: the peak memory stays that of any picture.
    // Measured after the child ends: the sanitizers cannot start under an address-space limit.
    void longDescriptionPictureInBoundedMemory()
    {
        const QString eingabe =
            writeTestFile(unterordner(QStringLiteral("lang")) + "/lang.hfd",
                          swrKurve().replace("my curve 1", QByteArray(80000, 'x')));
        QCOMPARE(starten({"--convert", eingabe, "--png"}).exitCode, 0);
        rusage verbrauch{};
        QVERIFY(getrusage(RUSAGE_CHILDREN, &verbrauch) == 0); // the peak of any child so far
        QVERIFY2(verbrauch.ru_maxrss < 600 * 1024,
                 qPrintable(QString::number(verbrauch.ru_maxrss)));
        QCOMPARE(QImageReader(QString(eingabe).replace(".hfd", ".png")).size(), QSize(1200, 800));
    }

    // The title drawn: plain text on one line, shortened to the width with "…" where it is wider.
    void pictureTitle_data()
    {
        QTest::addColumn<QString>("beschreibung");
        QTest::addColumn<QString>("gezeigt"); // ending in "…": the beginning of what is shown
        QTest::newRow("fits, markup") << "<h1>T</h1>\n<br>&amp;"
                                      << "<h1>T</h1> <br>&amp;";
        QTest::newRow("80 KB") << QString("<br>").repeated(20000) << "<br><br>…";
    }
    void pictureTitle()
    {
        QFETCH(QString, beschreibung);
        QFETCH(QString, gezeigt);
        QTextDocument titel;
        titel.setDocumentMargin(0);
        titel.setHtml(bildTitel(beschreibung, titel.defaultFont(), 600));
        QVERIFY(titel.idealWidth() <= 600 && (titel.idealWidth() > 550 || !gezeigt.endsWith("…")));
        QVERIFY(titel.toPlainText().startsWith(gezeigt.remove("…")));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("no input") << QStringList{"--convert"} << 2
                                  << "zor2conv: keine Eingabedatei angegeben\nAufruf:";
        QTest::newRow("unknown option") << QStringList{"--convert", "a.hfd", "--schnell"} << 2
                                        << "zor2conv: unbekannte Option --schnell\nAufruf:";
        QTest::newRow("folder missing") << QStringList{"--convert", "a.hfd", "--output-dir"} << 2
                                        << "zor2conv: --output-dir braucht einen Ordner\nAufruf:";
        QTest::newRow("help") << QStringList{"--help"} << 0 << QString();
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, meldung);
        const Lauf lauf = starten(arguments);
        QCOMPARE(lauf.exitCode, exitCode);
        QVERIFY2(lauf.err.startsWith(meldung), qPrintable(lauf.err));
        if (exitCode == 0) {
            QVERIFY(lauf.out.startsWith(QLatin1String("Aufruf: zor2conv --convert")));
            // The program's own text, line by line: nothing in it is escaped.
            QVERIFY2(lauf.out.contains("\n  --csv ") && !lauf.out.contains("\\x"),
                     qPrintable(lauf.out));
        } else
            QCOMPARE(lauf.out, QString());
    }

    void diagnosticsOnlyWhenVerbose()
    {
        const QString ordner = unterordner(QStringLiteral("sieben"));
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        const Lauf still = starten({"--convert", eingabe, "-len"});
        QCOMPARE(still.exitCode, 0);
        QCOMPARE(still.err, QString());
        const Lauf laut = starten({"--convert", eingabe, "--verbose", "-len"});
        QCOMPARE(laut.exitCode, 0);
        const QStringList zeilen = laut.err.split(QLatin1Char('\n'));
        QCOMPARE(zeilen.value(0), QStringLiteral("fname: \"zor2convert_en\""));
        QVERIFY(zeilen.contains(QStringLiteral("Frq-Schritte 3")));
        QVERIFY(zeilen.contains(QStringLiteral("idxteiler 1")));
        QCOMPARE(zeilen.count(QStringLiteral("0")), 6); // one bare number per SWR lookup
    }

    // Anything but a regular file of sane size is refused at once, and the next input is still
    // converted.
    void specialInputsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("grund");
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
        QFETCH(QString, art);
        QFETCH(QString, grund);
        const QString ordner = unterordner(QStringLiteral("besonders"));
        const QString gut = writeTestFile(ordner + "/gut.hfd", swrKurve());
        QString eingabe = art.startsWith('/') ? art : ordner + "/" + art + ".hfd";
        if (art == "fifo")
            QVERIFY(mkfifo(QFile::encodeName(eingabe).constData(), 0600) == 0);
        else if (art == "sparse")
            QVERIFY(QFile(writeTestFile(eingabe, swrKurve())).resize(30LL << 30));
        else if (art == "folder")
            QVERIFY(QDir().mkpath(eingabe));
        QElapsedTimer timer;
        timer.start();
        const Lauf lauf = starten({"--convert", eingabe, gut});
        QVERIFY2(timer.elapsed() < 10000, "a special input must not block the batch");
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.err, eingabe + ": " + grund + "\n");
        QCOMPARE(lauf.out, ordner + "/gut.z2k\n" + ordner + "/gut_2.z2k\n");
    }

    // Two names of one file are one output, and no output replaces an input of the run.
    void outputsComparedByRealPath_data()
    {
        QTest::addColumn<QStringList>("eingaben");
        QTest::addColumn<QString>("meldung");
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
        QFETCH(QStringList, eingaben);
        QFETCH(QString, meldung);
        const QString ordner = unterordner(QStringLiteral("echt"));
        QVERIFY(QDir().mkpath(ordner + "/a"));
        QVERIFY(QFile::link(ordner + "/a", ordner + "/alink"));
        for (const QString &e : eingaben) {
            if (!QFile::exists(ordner + "/" + e))
                writeTestFile(ordner + "/" + e, swrKurve());
        }
        const Lauf lauf = starten(QStringList{"--convert"} + eingaben, ordner);
        QCOMPARE(lauf.exitCode, 1);
        QVERIFY2(lauf.err.contains(meldung.arg(ordner) + "\n"), qPrintable(lauf.err));
        for (const QString &e : eingaben)
            QCOMPARE(readTestFile(ordner + "/" + e), swrKurve());
    }

    void fileNamedLikeLanguageOption()
    {
        const QString ordner = unterordner(QStringLiteral("sprache"));
        writeTestFile(ordner + "/-lauf.hfd", swrKurve());
        writeTestFile(ordner + "/gut.hfd", swrKurve());
        const Lauf gewarnt = starten({"--convert", "-lauf.hfd", "gut.hfd"}, ordner);
        QCOMPARE(gewarnt.exitCode, 0);
        QCOMPARE(gewarnt.err,
                 QStringLiteral("zor2conv: -lauf.hfd: keine Uebersetzung geladen; eine "
                                "Datei dieses Namens wandelt zor2conv --convert -- "
                                "-lauf.hfd um\n"));
        const Lauf umgewandelt = starten({"--convert", "--", "-lauf.hfd"}, ordner);
        QCOMPARE(umgewandelt.err, QString());
        QCOMPARE(umgewandelt.out, ordner + "/-lauf.z2k\n" + ordner + "/-lauf_2.z2k\n");
    }

    // Without a display every call is answered on the terminal; none aborts.
    void callsWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("ausgabe"); // the start of stdout, or else of stderr
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
        QFETCH(QString, ausgabe);
        const QString ordner = unterordner(QStringLiteral("ohne"));
        const Lauf lauf = starten(arguments, ordner, [](QProcess &p) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                env.remove(QLatin1String(name));
            p.setProcessEnvironment(env);
        });
        QCOMPARE(lauf.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? lauf.out : lauf.err).startsWith(ausgabe), qPrintable(lauf.err));
        QVERIFY(!QFileInfo::exists(ordner + "/--verbose"));
    }

    // --csv and --markers: the table joins the pair, all of them or none; each curve file's
    // name is followed by its markers.
    void tableAndMarkers()
    {
        const QString ordner = unterordner(QStringLiteral("tabelle"));
        const QString eingabe = writeTestFile(ordner + "/swr.hfd", swrKurve());
        const Lauf lauf = starten({"--convert", eingabe, "--csv", "--markers"});
        QCOMPARE(lauf.err, QString());
        QCOMPARE(lauf.exitCode, 0);
        const QString basis = ordner + "/swr";
        QCOMPARE(lauf.out,
                 basis +
                     ".z2k: Minimum -5,00 SWV bei 1,00 MHz; SWV <= 2 von 1,00 bis 1,35 "
                     "MHz (350 kHz); das untere Bandende liegt ausserhalb des Sweeps\n" +
                     basis +
                     "_2.z2k: Minimum -10,00 SWV bei 1,00 MHz; SWV <= 2 von 1,00 bis "
                     "1,50 MHz (500 kHz); beide Bandenden liegen ausserhalb des Sweeps\n" +
                     basis + ".csv\n");
        QCOMPARE(readTestFile(basis + ".csv"),
                 "Frequenz (MHz);Kanal 1 (SWV);Kanal 2 (SWV)\r\n1;-5;-10\r\n1,25;0;-7,5\r\n"
                 "1,5;5;-5\r\n");

        QVERIFY(QFile::remove(basis + ".csv") && QDir(ordner).mkdir(QStringLiteral("swr.csv")));
        writeTestFile(eingabe, QByteArray(swrKurve()).replace("my curve", "neu"));
        const QByteArray alt = readTestFile(basis + ".z2k");
        const Lauf zweiter = starten({"--convert", eingabe, "--csv"});
        QCOMPARE(zweiter.exitCode, 1);
        QCOMPARE(zweiter.out, QString());
        QCOMPARE(readTestFile(basis + ".z2k"), alt);
    }

    // --png without a display: a picture joins each converted input's pair, a refused input gets
    // none, and a picture that cannot take its place fails its input like a curve file.
    void picturesBesideThePairs()
    {
        const QString ordner = unterordner(QStringLiteral("bilder"));
        const QString aus = ordner + "/aus";
        const QString gut = writeTestFile(ordner + "/gut.hfd", swrKurve());
        const QString schlecht = writeTestFile(ordner + "/schlecht.hfd", "kein Altformat\n");
        const QString auch = writeTestFile(ordner + "/auch.hfd", swrKurve());
        const auto ohneBildschirm = [](QProcess &p) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                env.remove(QLatin1String(name));
            p.setProcessEnvironment(env);
        };
        const Lauf lauf = starten({"--convert", gut, schlecht, auch, "--png", "--output-dir", aus},
                                  QString(), ohneBildschirm);
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.err, schlecht + ": keine Kurvendatei im alten Format\n");
        QCOMPARE(lauf.out,
                 QStringList({aus + "/gut.z2k", aus + "/gut_2.z2k", aus + "/gut.png",
                              aus + "/auch.z2k", aus + "/auch_2.z2k", aus + "/auch.png", ""})
                     .join('\n'));
        QCOMPARE(
            QDir(aus).entryList(QDir::Files | QDir::Hidden),
            QStringList({"auch.png", "auch.z2k", "auch_2.z2k", "gut.png", "gut.z2k", "gut_2.z2k"}));
        for (const char *bild : {"/gut.png", "/auch.png"}) {
            QImageReader reader(aus + bild, "png");
            QCOMPARE(reader.size(), QSize(1200, 800));
        }

        const QByteArray alt = readTestFile(aus + "/gut.z2k");
        QVERIFY(QFile::remove(aus + "/gut.png") && QDir(aus).mkdir(QStringLiteral("gut.png")));
        writeTestFile(gut, QByteArray(swrKurve()).replace("my curve", "neu"));
        const Lauf zweiter =
            starten({"--convert", gut, "--png", "--output-dir", aus}, QString(), ohneBildschirm);
        QCOMPARE(zweiter.exitCode, 1);
        QVERIFY2(zweiter.err.startsWith(gut + ": die Ausgabedatei " + aus +
                                        "/gut.png kann nicht geschrieben werden"),
                 qPrintable(zweiter.err));
        QCOMPARE(zweiter.out, QString());
        QCOMPARE(readTestFile(aus + "/gut.z2k"), alt);
        QCOMPARE(QDir(aus).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }

    // A folder that cannot be made is told once, before any input is read.
    void outputFolderCheckedFirst()
    {
        const QString ordner = unterordner(QStringLiteral("kein-ordner"));
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        writeTestFile(ordner + "/datei", "x");
        const Lauf lauf =
            starten({"--convert", eingabe, eingabe, "--output-dir", "datei/neu"}, ordner);
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.err, QStringLiteral("zor2conv: der Ausgabeordner datei/neu kann nicht "
                                          "angelegt werden: ein Teil des Pfads ist kein Ordner\n"));
        QCOMPARE(lauf.out, QString());

        // A folder that can be made is made only when a file is written.
        QCOMPARE(starten({"--convert", "fehlt.hfd", "--output-dir", "neu"}, ordner).exitCode, 1);
        QVERIFY(!QFileInfo::exists(ordner + "/neu"));
    }

    void failedStandardOutputFails()
    {
        const QString ordner = unterordner(QStringLiteral("voll"));
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        const Lauf lauf = starten({"--convert", eingabe}, QString(), [](QProcess &p) {
            p.setStandardOutputFile(QStringLiteral("/dev/full"));
        });
        QCOMPARE(lauf.exitCode, 1);
        QCOMPARE(lauf.err, QStringLiteral("zor2conv: die Standardausgabe kann nicht geschrieben "
                                          "werden\n"));
    }

    // A full disk: by a file-size limit (any user), and by a tiny file system (root only). The
    // earlier run's files stay byte for byte, and no temporary file is left.
    void fullDiskKeepsOldFiles_data()
    {
        QTest::addColumn<bool>("tmpfs");
        QTest::addColumn<QString>("ursache");
        QTest::newRow("file-size limit") << false << "die Datei wuerde groesser als erlaubt";
        QTest::newRow("tiny tmpfs") << true << "der Datentraeger ist voll";
    }
    void fullDiskKeepsOldFiles()
    {
        QFETCH(bool, tmpfs);
        QFETCH(QString, ursache);
        const QString ordner = unterordner(QStringLiteral("platte"));
        const QString aus = ordner + "/aus";
        QVERIFY(QDir().mkpath(aus));
        if (tmpfs) {
            if (geteuid() != 0)
                QSKIP("mounting a file system needs root");
            if (mount("tmpfs", QFile::encodeName(aus).constData(), "tmpfs", 0, "size=16k") != 0)
                QSKIP("no tmpfs can be mounted here");
        }
        const auto aushaengen = qScopeGuard([&] {
            if (tmpfs)
                umount(QFile::encodeName(aus).constData());
        });
        // Old files of an earlier run, then a long curve whose files need more room.
        const QString kurz = writeTestFile(ordner + "/k.hfd", swrKurve());
        QCOMPARE(starten({"--convert", kurz, "--output-dir", aus}).exitCode, 0);
        const QByteArray alt1 = readTestFile(aus + "/k.z2k");
        const QByteArray alt2 = readTestFile(aus + "/k_2.z2k");
        QByteArray lang = "#V3.05 1000000 250000 2000 0.5 -10 0.25 -20 1\n";
        lang += QByteArray("123 ").repeated(4000) + "lang\n";
        writeTestFile(ordner + "/k.hfd", lang);
        if (tmpfs)
            writeTestFile(aus + "/fuell", QByteArray(4096, 'f'));

        const Lauf lauf =
            starten({"--convert", kurz, "--output-dir", aus}, QString(), [tmpfs](QProcess &p) {
                if (tmpfs)
                    return;
                p.setChildProcessModifier([] {
                    signal(SIGXFSZ, SIG_IGN);
                    const rlimit grenze{8192, 8192};
                    setrlimit(RLIMIT_FSIZE, &grenze);
                });
            });
        const QStringList dateien = QDir(aus).entryList(QDir::Files | QDir::Hidden);
        const QByteArray neu1 = readTestFile(aus + "/k.z2k");
        const QByteArray neu2 = readTestFile(aus + "/k_2.z2k");
        QCOMPARE(lauf.exitCode, 1);
        QVERIFY2(lauf.err.endsWith(ursache + "\n"), qPrintable(lauf.err));
        QCOMPARE(lauf.out, QString());
        QCOMPARE(neu1, alt1);
        QCOMPARE(neu2, alt2);
        QCOMPARE(dateien, tmpfs ? QStringList({"fuell", "k.z2k", "k_2.z2k"})
                                : QStringList({"k.z2k", "k_2.z2k"}));
    }
};

QTEST_MAIN(TestBatchMode)
#include "tst_batchmode.moc"
