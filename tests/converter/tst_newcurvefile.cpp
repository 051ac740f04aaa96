#include "TestFiles.h"
#include "core/NewCurveFile.h"
#include "core/NumberText.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cmath>
#include <limits>
#include <memory>

class TestNewCurveFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    // Two points: 1.5 MHz with -3.25 / 0.5, and 145.1234567 MHz with 0 / -12.3456789.
    static std::unique_ptr<CurveRecord> curve(bool channel1, bool channel2)
    {
        auto r = std::make_unique<CurveRecord>();
        r->pointCount = 2;
        r->frequency[0] = 1.5;
        r->frequency[1] = 145.1234567;
        r->value1[0] = -3.25;
        r->value1[1] = 0;
        r->value2[0] = 0.5;
        r->value2[1] = -12.3456789;
        r->frequency[2] = r->value1[2] = r->value2[2] = 77; // beyond points: never written
        r->channel1Ok = channel1;
        r->channel2Ok = channel2;
        return r;
    }

    static QByteArray number(double value)
    {
        QByteArray out;
        NumberText::append(out, value);
        return out;
    }

    static QByteArray textStream(double value)
    {
        QByteArray out;
        QTextStream stream(&out);
        stream << value;
        stream.flush();
        return out;
    }

private slots:
    void numberFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("145.1234567") << 145.1234567 << QByteArray("145.123");
        QTest::newRow("3.5") << 3.5 << QByteArray("3.5");
        QTest::newRow("0.1") << 0.1 << QByteArray("0.1");
        QTest::newRow("1000") << 1000.0 << QByteArray("1000");
        QTest::newRow("-12.3456789") << -12.3456789 << QByteArray("-12.3457");
        QTest::newRow("999999") << 999999.0 << QByteArray("999999");
        QTest::newRow("1234567") << 1234567.0 << QByteArray("1.23457e+06");
        QTest::newRow("0.00001234") << 0.00001234 << QByteArray("1.234e-05");
        QTest::newRow("0.0001") << 0.0001 << QByteArray("0.0001");
        QTest::newRow("0.00001") << 0.00001 << QByteArray("1e-05");
        QTest::newRow("123456") << 123456.0 << QByteArray("123456");
        QTest::newRow("9999995 rounds up") << 9999995.0 << QByteArray("1e+07");
        QTest::newRow("999999.5 rounds into exponent") << 999999.5 << QByteArray("1e+06");
        QTest::newRow("0") << 0.0 << QByteArray("0");
        QTest::newRow("-200") << -200.0 << QByteArray("-200");
        QTest::newRow("1e-300") << 1e-300 << QByteArray("1e-300");
        QTest::newRow("tie away from zero") << 6703.125 << QByteArray("6703.13");
        QTest::newRow("negative tie") << -0.03125 << QByteArray("-0.03125");
        QTest::newRow("tie of seven digits") << -1.0000005 << QByteArray("-1");
        QTest::newRow("carry into exponent") << 9.9999996e-5 << QByteArray("0.0001");
        QTest::newRow("carry") << 99.99996 << QByteArray("100");
        QTest::newRow("seven digits") << 1.000001 << QByteArray("1");
        QTest::newRow("just above a tie") << 0.10000050000000001 << QByteArray("0.100001");
        QTest::newRow("largest") << std::numeric_limits<double>::max()
                                 << QByteArray("1.79769e+308");
        QTest::newRow("smallest") << std::numeric_limits<double>::denorm_min()
                                  << QByteArray("4.94066e-324");
        QTest::newRow("negative zero") << -0.0 << QByteArray("0");
        QTest::newRow("infinity") << -std::numeric_limits<double>::infinity() << QByteArray("-inf");
        QTest::newRow("nan") << -std::numeric_limits<double>::quiet_NaN() << QByteArray("nan");
    }
    void numberFormat()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, text);
        QCOMPARE(number(value), text);
        QCOMPARE(textStream(value), text);
    }

    // The file format is defined as what a default QTextStream writes; compare over many
    // magnitudes and signs.
    void numberFormatMatchesTextStream()
    {
        QRandomGenerator random(20240305);
        for (int i = 0; i < 10000; ++i) {
            const double mantissa = random.generateDouble() * 10;
            const int exponent =
                i % 10 ? int(random.bounded(-12, 13)) : int(random.bounded(-322, 308));
            const double value = (i % 2 ? -1 : 1) * mantissa * std::pow(10.0, exponent);
            const double rounded = std::round(value * 1000) / 1000; // many short values too
            const double binary = std::round(value * 4096) / 4096;  // and many exact ties
            for (const double v : {value, rounded, binary}) {
                if (number(v) != textStream(v))
                    QFAIL(qPrintable(QStringLiteral("%1: %2 / %3")
                                         .arg(v, 0, 'g', 17)
                                         .arg(QString::fromLatin1(number(v)),
                                              QString::fromLatin1(textStream(v)))));
            }
        }
    }

    void bothChannels()
    {
        const auto r = curve(true, true);
        const QString basis = dir.filePath(QStringLiteral("tp"));
        const NewCurveFile::Result e =
            NewCurveFile::saveNewCurveAllOrNone(basis, QStringLiteral("Tiefpass 10 MHz"), *r);
        QVERIFY(e.ok());
        QCOMPARE(e.written, QStringList({basis + ".z2k", basis + "_2.z2k"}));
        QCOMPARE(e.lastFile, basis + "_2.z2k");
        QCOMPARE(readTestFile(basis + ".z2k"),
                 QByteArray("#Tiefpass_10_MHz\n1.5;-3.25\n145.123;0\n"));
        QCOMPARE(readTestFile(basis + "_2.z2k"),
                 QByteArray("#K2: Tiefpass 10 MHz\n1.5;0.5\n145.123;-12.3457\n"));
    }

    void singleChannelGetsNoSuffix_data()
    {
        QTest::addColumn<bool>("channel1");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("channel 1") << true << QByteArray("#a_b\n1.5;-3.25\n145.123;0\n");
        QTest::newRow("channel 2") << false << QByteArray("#K2: a b\n1.5;0.5\n145.123;-12.3457\n");
    }
    void singleChannelGetsNoSuffix()
    {
        QFETCH(bool, channel1);
        QFETCH(QByteArray, content);
        QTemporaryDir blank;
        const auto r = curve(channel1, !channel1);
        const QString basis = blank.filePath(QStringLiteral("x"));
        const NewCurveFile::Result e =
            NewCurveFile::saveNewCurveAllOrNone(basis, QStringLiteral("a b"), *r);
        QCOMPARE(e.written, QStringList{basis + ".z2k"});
        QCOMPARE(readTestFile(basis + ".z2k"), content);
        QCOMPARE(QDir(blank.path()).entryList(QDir::Files), QStringList{"x.z2k"});
    }

    void headers_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QByteArray>("header1");
        QTest::addColumn<QByteArray>("header2");
        QTest::newRow("empty") << QString() << QByteArray("#\n") << QByteArray("#K2: \n");
        QTest::newRow("line breaks") << "Zeile 1\nZeile 2" << QByteArray("#Zeile_1 Zeile_2\n")
                                     << QByteArray("#K2: Zeile 1 Zeile 2\n");
        QTest::newRow("separators, CR and NUL")
            << QString::fromUtf16(u"a\u2028b\u2029c\r\nd") + QChar(0) + "e"
            << QByteArray("#a b c  d e\n") << QByteArray("#K2: a b c  d e\n");
        QTest::newRow("markup") << "<b>x</b>" << QByteArray("#<b>x</b>\n")
                                << QByteArray("#K2: <b>x</b>\n");
        // The system's 8-bit text: UTF-8 on Linux, Windows-1252 on Windows, as the old program
        // wrote it there.
#ifdef Q_OS_WIN
        const QByteArray ae = "\xe4";
#else
        const QByteArray ae = "\xc3\xa4";
#endif
        QTest::newRow("8-bit") << QString::fromUtf8("Dämpfung") << "#D" + ae + "mpfung\n"
                               << "#K2: D" + ae + "mpfung\n";
    }
    void headers()
    {
        QFETCH(QString, description);
        QFETCH(QByteArray, header1);
        QFETCH(QByteArray, header2);
        auto r = curve(true, true);
        r->pointCount = 0;
        const QString basis = dir.filePath(QStringLiteral("kopf"));
        QVERIFY(NewCurveFile::saveNewCurveAllOrNone(basis, description, *r).ok());
        QCOMPARE(readTestFile(basis + ".z2k"), header1);
        QCOMPARE(readTestFile(basis + "_2.z2k"), header2);
    }

    void baseName_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("basis");
        QTest::newRow("no suffix") << "/k/tp"
                                   << "/k/tp";
        QTest::newRow("suffix dropped") << "/k/tp.z2k"
                                        << "/k/tp";
        QTest::newRow("other case kept") << "/k/tp.Z2K"
                                         << "/k/tp.Z2K";
        QTest::newRow("only the last dropped") << "/k/tp.z2k.z2k"
                                               << "/k/tp.z2k";
        QTest::newRow("in a folder name") << "/k.z2k/tp"
                                          << "/k.z2k/tp";
    }
    void baseName()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, basis);
        QCOMPARE(NewCurveFile::basisName(chosen), basis);
    }

    void fileNameFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("edited") << "C:/kurven/tp.hfd, 10 MHz"
                                << "C__kurven_tp.hfd_ 10 MHz";
        QTest::newRow("backslash and semicolon") << "a\\b;c"
                                                 << "a_b_c";
        QTest::newRow("line breaks and controls") << "a\nb\r\nc\td\x1b"
                                                  << "a_b__c_d_";
        QTest::newRow("unicode line separators")
            << QString::fromUtf8("a\u2028b\u2029c\u0085d") << "a_b_c_d";
        QTest::newRow("cleaned stays") << "C__kurven_filter_Filter_10MHz"
                                       << "C__kurven_filter_Filter_10MHz";
    }
    void fileNameFromText()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QCOMPARE(safeFileName(text), name);
    }

    void textPanelPlainText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::newRow("plain stays") << "Filter 10 MHz\nzweite Zeile"
                                     << "Filter 10 MHz\nzweite Zeile";
        QTest::newRow("CR LF one break") << "a\r\nb"
                                         << "a\nb";
        QTest::newRow("CR alone") << "a\rb\r"
                                  << "a\nb\n";
        QTest::newRow("CR CR LF two breaks") << "a\r\r\nb"
                                             << "a\n\nb";
        QTest::newRow("separators")
            << QString("a") + QChar::ParagraphSeparator + "b" + QChar::LineSeparator + "c"
            << "a\nb\nc";
        QTest::newRow("non-breaking space") << QString("10") + QChar::Nbsp + "MHz"
                                            << "10 MHz";
    }
    void textPanelPlainText()
    {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QCOMPARE(textPanelText(text), plain);
    }

    void unwritableFileIsSkipped()
    {
        const auto r = curve(true, true);
        QTemporaryDir dest;
        const QString basis = dest.filePath(QStringLiteral("k"));
        QVERIFY(QDir(dest.path()).mkdir(QStringLiteral("k.z2k"))); // a folder in the way
        const NewCurveFile::Result e = NewCurveFile::saveNewCurveAllOrNone(basis, "d", *r);
        QCOMPARE(e.failed, QStringList{basis + ".z2k"});
        QVERIFY(e.written.isEmpty()); // the pair is written whole or not at all
        QCOMPARE(e.lastFile, basis + "_2.z2k");
    }

    // After any failure the folder holds exactly what it held before: the old files byte for
    // byte, no new file, no temporary file.
    void bothOrNone_data()
    {
        QTest::addColumn<QString>("inTheWay");
        QTest::addColumn<bool>("oldFiles");
        QTest::newRow("first unwritable") << "k.z2k" << false;
        QTest::newRow("second unwritable") << "k_2.z2k" << false;
        QTest::newRow("second unwritable, old first file back") << "k_2.z2k" << true;
    }
    void bothOrNone()
    {
        QFETCH(QString, inTheWay);
        QFETCH(bool, oldFiles);
        const auto r = curve(true, true);
        QTemporaryDir dest;
        const QString basis = dest.filePath(QStringLiteral("k"));
        QVERIFY(QDir(dest.path()).mkdir(inTheWay));
        const QByteArray old = "#alt\n1;2\n";
        if (oldFiles)
            writeTestFile(basis + ".z2k", old);
        const NewCurveFile::Result e = NewCurveFile::saveNewCurveAllOrNone(basis, "d", *r);
        QVERIFY(!e.ok());
        QCOMPARE(e.failed, QStringList{dest.filePath(inTheWay)});
        QCOMPARE(e.reasons, QStringList{"ein Ordner dieses Namens ist im Weg"});
        QVERIFY(e.written.isEmpty());
        QCOMPARE(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden),
                 oldFiles ? QStringList{"k.z2k"} : QStringList());
        if (oldFiles)
            QCOMPARE(readTestFile(basis + ".z2k"), old);
    }

    void replacesOldPairAndLeavesNothingElse()
    {
        const auto r = curve(true, true);
        QTemporaryDir dest;
        const QString basis = dest.filePath(QStringLiteral("k"));
        writeTestFile(basis + ".z2k", "alt");
        writeTestFile(basis + "_2.z2k", "alt 2");
        QVERIFY(NewCurveFile::saveNewCurveAllOrNone(basis, "d", *r).ok());
        QCOMPARE(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"k.z2k", "k_2.z2k"}));
        QCOMPARE(readTestFile(basis + ".z2k"), QByteArray("#d\n1.5;-3.25\n145.123;0\n"));
    }

    void missingFolder()
    {
        const auto r = curve(true, true);
        const QString basis = dir.filePath(QStringLiteral("fehlt/k"));
        const NewCurveFile::Result e = NewCurveFile::saveNewCurveAllOrNone(basis, "d", *r);
        QCOMPARE(e.failed, QStringList{basis + ".z2k"});
        QCOMPARE(e.reasons, QStringList{"der Ordner ist nicht vorhanden"});
        QVERIFY(e.written.isEmpty());
    }

    void noChannel()
    {
        const auto r = curve(false, false);
        const QString basis = dir.filePath(QStringLiteral("nichts"));
        const NewCurveFile::Result e = NewCurveFile::saveNewCurveAllOrNone(basis, "d", *r);
        QVERIFY(e.ok() && e.written.isEmpty());
        QCOMPARE(e.lastFile, basis);
    }
};

QTEST_GUILESS_MAIN(TestNewCurveFile)
#include "tst_newcurvefile.moc"
