#include "core/OldCurveFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <charconv>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using Error = OldCurveFile::Error;
Q_DECLARE_METATYPE(OldCurveFile::Error)

namespace {

// Five correction tables as a "#V4.05"/"#V4.10" file holds them: table t entry i is t*10000+i,
// so a test can see which number landed where.
QByteArray tables()
{
    QByteArray out;
    out.reserve(5 * 10000 * 7);
    for (int t = 1; t <= 5; ++t) {
        const int n = t == 5 ? 10000 : 9999;
        for (int i = 0; i < n; ++i) {
            out += QByteArray::number(t * 10000 + i);
            out += (i % 20 == 19) ? '\n' : ' ';
        }
        out += '\n';
    }
    return out;
}

} // namespace

class TestOldCurveFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<CurveRecord> record = std::make_unique<CurveRecord>();

    QString file(const QByteArray &content, const QString &name = QStringLiteral("kurve.hfd"))
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write test file");
        file.write(content);
        return path;
    }

    OldCurveFile::Result read(const QByteArray &content)
    {
        record->clearCurve();
        return OldCurveFile::readOldCurve(file(content), *record);
    }

private slots:
    void readsEachVersion_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("versionCode");
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<bool>("linear");
        QTest::addColumn<bool>("audioSweep");
        QTest::addColumn<QString>("label");

        const QByteArray header = " 1000000 250000.5 3 0.19 -80.5 +0.2 -7e1 ";
        QTest::newRow("3.05 words joined")
            << QByteArray("#V3.05" + header + "1\n7 8 9\n4 5 6\nmy curve\t1\n") << 2 << "SWV-Kurve"
            << false << false << ";mycurve1";
        QTest::newRow("3.05 SAV has no extension")
            << QByteArray("#V3.05" + header + "5 7 8 9 4 5 6 Sav") << 2 << "SAV-Kurve" << false
            << false << ";Sav";
        QTest::newRow("4.04 SAV extension read")
            << QByteArray("#V4.04" + header + "5 1.5 2.5 3.5 4.5 6 0 7 8 9 4 5 6 ;x") << 3
            << "SAV-Kurve" << false << false << ";x";
        QTest::newRow("4.04 antenna, no label")
            << QByteArray("#V4.04" + header + "3 7 8 9 4 5 6") << 3 << "SWV-Antenne-Kurve" << false
            << false << ";no_label";
        QTest::newRow("4.05 label and tables")
            << QByteArray("#V4.05" + header + "4 7 8 9 4 5 6 Test\n" + tables() + "extra words")
            << 4 << "Impedanz-Kurve" << false << false << ";Test";
        QTest::newRow("4.10 audio sweep")
            << QByteArray("#V4.10 1" + header + "0 7 8 9 4 5 6 ;A\n" + tables()) << 5
            << "Wobbel-Kurve-Audio_NF" << false << true << ";A";
        QTest::newRow("4.10 log sweep")
            << QByteArray("#V4.10 0" + header + "0 7 8 9 4 5 6 ;A\n" + tables()) << 5
            << "Wobbel-Kurve-logarithmisch" << false << false << ";A";
        QTest::newRow("4.10 linear keeps audio marker")
            << QByteArray("#V4.10 1" + header + "2 7 8 9 4 5 6 ;A\n" + tables()) << 5
            << "Wobbel-Kurve-Linear" << true << true << ";A";
        QTest::newRow("4.10 marker 2 is no audio")
            << QByteArray("#V4.10 2" + header + "0 7 8 9 4 5 6 ;A\n" + tables()) << 5
            << "Wobbel-Kurve-logarithmisch" << false << false << ";A";
    }
    void readsEachVersion()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, versionCode);
        QFETCH(QString, typeName);
        QFETCH(bool, linear);
        QFETCH(bool, audioSweep);
        QFETCH(QString, label);

        record->clearCurve();
        const QString path = file(content);
        const OldCurveFile::Result result = OldCurveFile::readOldCurve(path, *record);
        QCOMPARE(result.versionCode, versionCode);
        QCOMPARE(result.error, Error::Ok);
        const OldCurve &k = record->oldCurve;
        QCOMPARE(k.startHz, 1000000.0);
        QCOMPARE(k.stepHz, 250000.5);
        QCOMPARE(k.stepCount, 3);
        QCOMPARE(k.factor1, 0.19);
        QCOMPARE(k.shift1, -80.5);
        QCOMPARE(k.factor2, 0.2);
        QCOMPARE(k.shift2, -70.0);
        QCOMPARE(k.samples1[0], 7u);
        QCOMPARE(k.samples1[2], 9u);
        QCOMPARE(k.samples1[3], 0u);
        QCOMPARE(k.samples2[0], 4u);
        QCOMPARE(k.samples2[2], 6u);
        QCOMPARE(record->curveTypeName, typeName);
        QCOMPARE(k.linear1, linear);
        QCOMPARE(k.linear2, linear);
        QCOMPARE(k.audioSweep, audioSweep);
        QCOMPARE(record->description, path + label);
        const bool withTables = versionCode >= 4;
        QCOMPARE(k.levelTable1[0], withTables ? 10000.0 : 0.0);
        QCOMPARE(k.levelTable2[9998], withTables ? 29998.0 : 0.0);
        QCOMPARE(k.swrTable1[5], withTables ? 30005.0 : 0.0);
        QCOMPARE(k.swrTable2[9998], withTables ? 49998.0 : 0.0);
    }

    void labelRules_data()
    {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QString>("part");
        QTest::newRow("semicolon put in front") << QByteArray("Test") << ";Test";
        QTest::newRow("cut at @;") << QByteArray(";Kurve1@;Rest") << ";Kurve1";
        QTest::newRow("cut at first @") << QByteArray("a@b@;c") << ";a";
        QTest::newRow("@ without ; kept") << QByteArray("a@b") << ";a@b";
        QTest::newRow("underscores kept") << QByteArray(";Filter_10MHz") << ";Filter_10MHz";
        QTest::newRow("8-bit text")
            << QByteArray("D\xc3\xa4mpfung") << QString::fromUtf8(";Dämpfung");
        QTest::newRow("Windows-1252 text")
            << QByteArray("Tiefpa\xdf_\xe4\x80\x81") << QString::fromUtf8(";Tiefpaß_ä€\u0081");
        QTest::newRow("overlong UTF-8 is no UTF-8") << QByteArray("a\xc0\xaf"
                                                                  "b")
                                                    << QString::fromUtf8(";aÀ¯b");
    }
    void labelRules()
    {
        QFETCH(QByteArray, label);
        QFETCH(QString, part);
        const QString path = file("#V4.05 0 1 1 1 0 1 0 0 5 5 " + label + "\n" + tables());
        record->clearCurve();
        QVERIFY(OldCurveFile::readOldCurve(path, *record).ok());
        QCOMPARE(record->description, path + part);
    }

    void zeroStepsReadsLabelAfterMode()
    {
        QVERIFY(read("#V3.05 0 1 0 1 0 1 0 0 label").ok());
        QVERIFY(record->description.endsWith(QLatin1String(";label")));
        QVERIFY(read("#V4.04 0 1 0 1 0 1 0 5 1 2 3 4 5 6 lbl").ok());
        QVERIFY(record->description.endsWith(QLatin1String(";lbl")));
    }

    // A file cut anywhere before the last number the conversion uses is refused, with what is
    // missing; complete, it is accepted.
    void cutOffFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("lastRead"); // the last word the conversion needs
        QTest::newRow("3.05") << QByteArray("#V3.05 1e6 1e5 3 1 0 1 0 0 7 8 9 4 5 6 my label")
                              << "6";
        QTest::newRow("4.04 SAV") << QByteArray("#V4.04 1e6 1e5 2 1 0 1 0 5 1 2 3 4 5 6 7 8 9 10")
                                  << "10";
        QByteArray v410 = "#V4.10 1 1e6 1e5 2 1 0 1 0 0 7 8 9 4 L\n" + tables();
        QTest::newRow("4.10") << v410 << "49998";
    }
    void cutOffFilesAreRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, lastRead);
        const int end = content.indexOf(" " + lastRead.toLatin1()) + 1; // where it starts
        QVERIFY(end > 0);
        QRandomGenerator random(end);
        QList<int> cuts{0, 1, 6, 7, end - 1, end};
        for (int i = 0; i < 40; ++i)
            cuts.append(int(random.bounded(end)));
        for (const int cut : cuts) {
            const OldCurveFile::Result e = read(content.left(cut));
            if (cut < 6) {
                QCOMPARE(e.error, Error::NotOldFormat);
                continue;
            }
            // A cut inside a word may leave a broken number ("1e") instead of a missing one.
            QVERIFY2(e.error == Error::EndsEarly || e.error == Error::NotANumber,
                     qPrintable(QString::number(cut)));
            if (e.error == Error::EndsEarly)
                QVERIFY(e.reason().startsWith(QLatin1String("Datei endet vorzeitig, es fehlt: ")));
        }
        QVERIFY(read(content.left(end + lastRead.size())).ok());
    }

    // What is missing or not a number is named, with the text found there.
    void reasonsNameFieldAndText_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("word for a number")
            << QByteArray("#V3.05 0 abc 1 1 0 1 0 0 1 2")
            << "das Feld \"Frequenzschrittweite\" enthaelt keine gueltige Zahl: \"abc\"";
        QTest::newRow("sample")
            << QByteArray("#V3.05 0 1 2 1 0 1 0 0 1 2 3 x5")
            << "das Feld \"Kanal 2, Messwert 2 von 2\" enthaelt keine gueltige Zahl: \"x5\"";
        QTest::newRow("long word cut")
            << QByteArray("#V3.05 " + QByteArray(100, 'y'))
            << "das Feld \"Startfrequenz\" enthaelt keine gueltige Zahl: \"" + QString(40, 'y') +
                   "...\"";
        QTest::newRow("only the tag")
            << QByteArray("#V3.05\n") << "Datei endet vorzeitig, es fehlt: Startfrequenz";
        QTest::newRow("sample missing")
            << QByteArray("#V3.05 0 1 2 1 0 1 0 0 1 2 3")
            << "Datei endet vorzeitig, es fehlt: Kanal 2, Messwert 2 von 2";
        QTest::newRow("label word missing") << QByteArray("#V4.05 0 1 0 1 0 1 0 0")
                                            << "Datei endet vorzeitig, es fehlt: Beschriftung";
        QTest::newRow("fourth table short")
            << QByteArray("#V4.05 0 1 0 1 0 1 0 0 L " + QByteArray("1 ").repeated(3 * 9999 + 5))
            << "Datei endet vorzeitig, es fehlt: Korrekturtabelle 4, Wert 6 von 9999";
        QTest::newRow("negative step count") << QByteArray("#V3.05 0 1 -2 1 0 1 0 0 1 2 3 4")
                                             << "negative Anzahl der Frequenzschritte (-2)";
    }
    void reasonsNameFieldAndText()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const OldCurveFile::Result e = read(content);
        QVERIFY(!e.ok());
        QCOMPARE(e.reason(), reason);
    }

    void shortFifthTableAndMissingOldLabelAreAccepted()
    {
        QVERIFY(read("#V4.05 0 1 0 1 0 1 0 0 L " + QByteArray("1 ").repeated(4 * 9999 + 7)).ok());
        QVERIFY(read("#V3.05 0 1 1 1 0 1 0 0 11 21").ok());
        QVERIFY(record->description.endsWith(QLatin1String(";no_label")));
        QCOMPARE(record->oldCurve.samples2[0], 21u);
    }

    void byteOrderMarkIsSkipped()
    {
        QVERIFY(read("\xef\xbb\xbf#V3.05 0 1 0 1 0 1 0 0 Filter").ok());
        QVERIFY(record->description.endsWith(QLatin1String(";Filter")));
    }

    // Only a regular file of sane size is read; anything else is refused at once, by its kind.
    void judgesTheFileBeforeReading_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "Datei nicht gefunden";
        QTest::newRow("folder") << "folder"
                                << "ist ein Ordner, keine Datei";
        QTest::newRow("fifo") << "fifo"
                              << "ist eine FIFO (benannte Pipe), keine Datei";
        QTest::newRow("device") << "/dev/zero"
                                << "ist ein Geraet, keine Datei";
        QTest::newRow("dangling link") << "link"
                                       << "die Verknuepfung zeigt auf keine vorhandene Datei";
        QTest::newRow("30 GB sparse") << "sparse"
                                      << "Datei zu gross (32212254720 Bytes, hoechstens 64 MB)";
    }
    void judgesTheFileBeforeReading()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = kind.startsWith('/') ? kind : dir.filePath("art-" + kind);
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        else if (kind == "fifo")
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
#else
        else if (kind == "fifo" || kind == "link" || kind.startsWith('/'))
            QSKIP("Windows has no FIFOs and no devices in its folders, and its links need rights "
                  "users lack");
#endif
        else if (kind == "link")
            QVERIFY(QFile::link(dir.filePath("nowhere"), path));
        else if (kind == "sparse")
            QVERIFY(QFile(file("#V3.05 ", "art-sparse")).resize(30LL << 30));
        QElapsedTimer timer;
        timer.start();
        record->clearCurve();
        const OldCurveFile::Result e = OldCurveFile::readOldCurve(path, *record);
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(e.error, kind == "sparse" ? Error::TooLarge : Error::Unreadable);
        QCOMPARE(e.reason(), reason);
    }

    void refusesBrokenFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Error>("error");
        QTest::newRow("untagged") << QByteArray("1000 10 2 1 0 1 0 0 1 2 3 4")
                                  << Error::NotOldFormat;
        QTest::newRow("tag in other case")
            << QByteArray("#v3.05 0 1 0 1 0 1 0 0") << Error::NotOldFormat;
        QTest::newRow("empty file") << QByteArray() << Error::NotOldFormat;
        QTest::newRow("10000 steps")
            << QByteArray("#V3.05 0 1 10000 1 0 1 0 0") << Error::TooManySteps;
        QTest::newRow("mode 6") << QByteArray("#V3.05 0 1 0 1 0 1 0 6") << Error::UnknownMode;
        QTest::newRow("mode -1") << QByteArray("#V3.05 0 1 0 1 0 1 0 -1") << Error::UnknownMode;
        QTest::newRow("letters in a number")
            << QByteArray("#V3.05 0 1 0 1x 0 1 0 0") << Error::NotANumber;
        QTest::newRow("inf") << QByteArray("#V3.05 inf 1 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("nan") << QByteArray("#V3.05 0 nan 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("signed nan") << QByteArray("#V3.05 0 -nan 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("hexadecimal")
            << QByteArray("#V3.05 0x10 1 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("two signs") << QByteArray("#V3.05 +-1 1 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("sign alone") << QByteArray("#V3.05 + 1 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("number too large")
            << QByteArray("#V3.05 1e999 1 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("fraction as step count")
            << QByteArray("#V3.05 0 1 1.5 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("step count beyond 32 bits")
            << QByteArray("#V3.05 0 1 4294967297 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("negative sample")
            << QByteArray("#V3.05 0 1 1 1 0 1 0 0 -1 2") << Error::NotANumber;
        QTest::newRow("sample beyond 32 bits")
            << QByteArray("#V3.05 0 1 1 1 0 1 0 0 4294967296 2") << Error::NotANumber;
        QTest::newRow("SAV setting a fraction")
            << QByteArray("#V4.04 0 1 0 1 0 1 0 5 1 2 3 4 0.5 0") << Error::NotANumber;
        QTest::newRow("audio marker a word")
            << QByteArray("#V4.10 ja 0 1 0 1 0 1 0 0") << Error::NotANumber;
        QTest::newRow("word in a table")
            << QByteArray("#V4.05 0 1 0 1 0 1 0 0 L 1 2 x") << Error::NotANumber;
        QTest::newRow("negative step count")
            << QByteArray("#V3.05 0 1 -1 1 0 1 0 0 5 label") << Error::NegativeStepCount;
    }
    void refusesBrokenFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(Error, error);
        const OldCurveFile::Result result = read(content);
        QCOMPARE(result.versionCode, 1);
        QCOMPARE(result.error, error);
        QVERIFY(!result.ok());
    }

    void acceptsNumberForms_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<double>("value");
        QTest::newRow("plus sign") << QByteArray("+2.5") << 2.5;
        QTest::newRow("exponent") << QByteArray("-1.5E+3") << -1500.0;
        QTest::newRow("leading point") << QByteArray(".25") << 0.25;
        QTest::newRow("trailing point") << QByteArray("3.") << 3.0;
        QTest::newRow("integer") << QByteArray("-7") << -7.0;
    }
    void acceptsNumberForms()
    {
        QFETCH(QByteArray, word);
        QFETCH(double, value);
        QVERIFY(read("#V3.05 " + word + " 1 0 1 0 1 0 0").ok());
        QCOMPARE(record->oldCurve.startHz, value);
    }

    // Every number form reads to the same double as the standard conversion, the short ones
    // (read by a quicker path) included.
    void tableNumbersReadExactly()
    {
        QRandomGenerator random(4711);
        QList<QByteArray> words;
        for (int i = 0; i < kMaxOldSteps; ++i) {
            const int digits = 1 + int(random.bounded(19));
            const bool minus = random.bounded(3) == 0;
            QByteArray w;
            for (int z = 0; z < digits; ++z)
                w += char('0' + random.bounded(10));
            if (i % 4)
                w.insert(int(random.bounded(w.size() + 1)), '.');
            if (w == ".")
                w = "0";
            if (i % 9 == 0)
                w += "e" + QByteArray::number(int(random.bounded(-30, 30)));
            if (minus)
                w.prepend('-');
            words.append(w);
        }
        QByteArray table = words.join(' ');
        QByteArray content = "#V4.05 0 1 0 1 0 1 0 0 L\n" + table + "\n";
        for (int t = 0; t < 3; ++t)
            content += QByteArray("0 ").repeated(kMaxOldSteps);
        content += QByteArray("0 ").repeated(10000);
        QVERIFY(read(content).ok());
        for (int i = 0; i < kMaxOldSteps; ++i) {
            const QByteArray &w = words.at(i);
            double expected = 0;
            std::from_chars(w.constData(), w.constData() + w.size(), expected);
            if (record->oldCurve.levelTable1[i] != expected)
                QFAIL(w.constData());
        }
    }

    void refusalLeavesNoValuesOfEarlierFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Error>("error");
        QTest::newRow("unknown mode")
            << QByteArray("#V3.05 0 1 1 2 3 4 5 9 1 1") << Error::UnknownMode;
        QTest::newRow("no version tag")
            << QByteArray("#V9.99 0 1 1 2 3 4 5 0 1 1") << Error::NotOldFormat;
        QTest::newRow("cannot be opened") << QByteArray() << Error::Unreadable;
    }
    void refusalLeavesNoValuesOfEarlierFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(Error, error);
        QVERIFY(read("#V4.10 1 5 6 2 0.5 -3 0.25 -4 2 9 9 9 9 L\n" + tables()).ok());
        record->clearCurve();
        const QString path =
            error == Error::Unreadable ? dir.filePath(QStringLiteral("fehlt")) : file(content);
        QCOMPARE(OldCurveFile::readOldCurve(path, *record).error, error);
        const OldCurve &k = record->oldCurve;
        QCOMPARE(k.factor1, 0.0);
        QCOMPARE(k.shift2, 0.0);
        QCOMPARE(k.stepCount, 0);
        QCOMPARE(k.samples1[0], 0u);
        QCOMPARE(k.linear1, false);
    }

    void olderFileLeavesNoTablesOrAudioBehind()
    {
        QVERIFY(read("#V4.10 1 5 6 2 0.5 -3 0.25 -4 0 9 9 9 9 L\n" + tables()).ok());
        QVERIFY(record->oldCurve.audioSweep);
        QCOMPARE(read("#V3.05 0 1 1 1 0 1 0 0 3 4").versionCode, 2);
        const OldCurve &k = record->oldCurve;
        QVERIFY(!k.audioSweep);
        for (const auto *t : {&k.levelTable1, &k.levelTable2, &k.swrTable1, &k.swrTable2})
            QCOMPARE(*std::max_element(t->begin(), t->end()), 0.0);
        QCOMPARE(k.samples1[1], 0u);
    }

    void missingFileCannotBeOpened()
    {
        record->clearCurve();
        const QString path = dir.filePath(QStringLiteral("fehlt.hfd"));
        const OldCurveFile::Result result = OldCurveFile::readOldCurve(path, *record);
        QCOMPARE(result.versionCode, 1);
        QCOMPARE(result.error, Error::Unreadable);
        QCOMPARE(record->description, path);
    }

    void acceptingTurnsUnderscoresIntoBlanks()
    {
        record->description = QStringLiteral("/a/b_c.hfd;Filter_10_MHz");
        OldCurveFile::acceptDescription(*record);
        QCOMPARE(record->description, QStringLiteral("/a/b c.hfd;Filter 10 MHz"));
    }

    void headerDiagnostics()
    {
        QVERIFY(read("#V4.10 1 1e6 5000 11 0.5 -3 0.25 -4 0 0 0 0 0 0 0 0 0 0 0 10 "
                     "0 0 0 0 0 0 0 0 0 0 64 L_x\n" +
                     tables())
                    .ok());
        OldCurveFile::acceptDescription(*record);
        const QByteArray quoted = '"' + record->description.toUtf8() + '"';
        const char *lines[] = {
            quoted.constData(),
            "Frq-Anfang 1e+06",
            "Frq-Schrittweite 5000",
            "Frq-Schritte 11",
            "Kanal1 Lin/Log false",
            "Kanal1 faktor 0.5",
            "Kanal1 shift -3",
            "Kanal2 Lin/Log false",
            "Kanal2 faktor 0.25",
            "Kanal2 shift -4",
            "Kanal1 k1[10] 10",
            "Kanal2 k2[10] 64",
            "dB1 2",
            "dB2 -3.5",
        };
        for (const char *line : lines)
            QTest::ignoreMessage(QtDebugMsg, line);
        QLoggingCategory::setFilterRules(QStringLiteral("zor2conv.debug=true"));
        OldCurveFile::logHeader(*record);
        QLoggingCategory::setFilterRules(QString());
    }
};

QTEST_GUILESS_MAIN(TestOldCurveFile)
#include "tst_oldcurvefile.moc"
