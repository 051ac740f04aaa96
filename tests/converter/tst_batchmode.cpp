#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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

    static Lauf starten(const QStringList &arguments, const QString &workingDir = QString())
    {
        QProcess process;
        if (!workingDir.isEmpty())
            process.setWorkingDirectory(workingDir);
        process.start(QStringLiteral(ZOR2CONV_PROGRAM), arguments);
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
            writeTestFile(ordner + "/n.hfd", "#V4.05 0 1 0 1 0 1 0 0 Filter\xc2\xa0"
                                             "10MHz");
        QCOMPARE(starten({"--convert", eingabe}).exitCode, 0);
        const QByteArray kopf = vorschlag(eingabe, "_Filter").toUtf8();
        QCOMPARE(readTestFile(ordner + "/n.z2k"), "#" + kopf + "_10MHz\n");
        QCOMPARE(readTestFile(ordner + "/n_2.z2k"), "#K2: " + kopf + " 10MHz\n");
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
            << QByteArray("#V3.05 0 1 1 1 0 1 0 0 5 x5") << "ein Feld enthaelt keine gueltige Zahl";
        QTest::newRow("unreadable") << QByteArray() << "Datei kann nicht gelesen werden";
        QTest::newRow("output in the way") << swrKurve()
                                           << "die Ausgabedatei %1/schlecht_2.z2k kann nicht "
                                              "geschrieben werden";
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
        if (exitCode == 0)
            QVERIFY(lauf.out.startsWith(QLatin1String("Aufruf: zor2conv --convert")));
        else
            QCOMPARE(lauf.out, QString());
    }

    void diagnosticsOnlyWhenVerbose()
    {
        const QString ordner = unterordner(QStringLiteral("sieben"));
        const QString eingabe = writeTestFile(ordner + "/k.hfd", swrKurve());
        const Lauf still = starten({"--convert", eingabe, "-lxx"});
        QCOMPARE(still.exitCode, 0);
        QCOMPARE(still.err, QString());
        const Lauf laut = starten({"--convert", eingabe, "--verbose", "-lxx"});
        QCOMPARE(laut.exitCode, 0);
        const QStringList zeilen = laut.err.split(QLatin1Char('\n'));
        QCOMPARE(zeilen.value(0), QStringLiteral("fname: \"zor2convert_xx\""));
        QVERIFY(zeilen.contains(QStringLiteral("Frq-Schritte 3")));
        QVERIFY(zeilen.contains(QStringLiteral("idxteiler 1")));
        QCOMPARE(zeilen.count(QStringLiteral("0")), 6); // one bare number per SWR lookup
    }
};

QTEST_GUILESS_MAIN(TestBatchMode)
#include "tst_batchmode.moc"
