#include "LoaderOptions.h"

#include <QTest>

Q_DECLARE_METATYPE(LoaderOptions::Mode)

// The loader's command line as it is parsed, before any application object exists: what each
// call asks for, and for each wrong call the error that names what is wrong.
class TestLoaderOptions : public QObject
{
    Q_OBJECT

private slots:
    void refusesWrongCalls_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        const QString timeoutRange = QStringLiteral("--timeout braucht eine Zahl von Sekunden");
        QTest::newRow("--port without a value")
            << QStringList{"--probe", "--port"} << "--port braucht einen Wert";
        QTest::newRow("--port with an empty name")
            << QStringList{"--probe", "--port="} << "--port braucht einen Portnamen";
        QTest::newRow("--flash without a file")
            << QStringList{"--flash"} << "--flash braucht einen Wert";
        QTest::newRow("--flash with an empty name")
            << QStringList{"--flash", ""} << "--flash braucht einen Dateinamen";
        QTest::newRow("file given twice") << QStringList{"--flash", "a.hex", "--flash", "b.hex"}
                                          << "--flash ist zweimal angegeben";
        QTest::newRow("--timeout without --flash")
            << QStringList{"--probe", "--timeout", "1"} << "--timeout gilt nur mit --flash";
        QTest::newRow("--timeout alone")
            << QStringList{"--timeout", "5"} << "--timeout gilt nur mit --flash";
        QTest::newRow("timeout not a number")
            << QStringList{"--flash", "a.hex", "--timeout", "x"} << timeoutRange;
        QTest::newRow("timeout 0")
            << QStringList{"--flash", "a.hex", "--timeout", "0"} << timeoutRange;
        QTest::newRow("timeout 1e-9")
            << QStringList{"--flash", "a.hex", "--timeout", "1e-9"} << timeoutRange;
        QTest::newRow("timeout negative")
            << QStringList{"--flash", "a.hex", "--timeout", "-5"} << timeoutRange;
        QTest::newRow("timeout above a day")
            << QStringList{"--flash", "a.hex", "--timeout", "86401"} << timeoutRange;
        QTest::newRow("timeout endless")
            << QStringList{"--flash", "a.hex", "--timeout", "inf"} << timeoutRange;
        QTest::newRow("unknown option")
            << QStringList{"--probe", "--fast"} << "unbekannte Option --fast";
        QTest::newRow("unknown option alone")
            << QStringList{"--bogus"} << "unbekannte Option --bogus";
        QTest::newRow("unknown option with a value")
            << QStringList{"--bogus=1"} << "unbekannte Option --bogus";
        QTest::newRow("short unknown option") << QStringList{"-p"} << "unbekannte Option -p";
        QTest::newRow("word after one dash") << QStringList{"-probe"} << "unbekannte Option -probe";
        QTest::newRow("letter after two dashes") << QStringList{"--h"} << "unbekannte Option --h";
        QTest::newRow("--probe=1") << QStringList{"--probe=1"} << "--probe nimmt keinen Wert";
        QTest::newRow("--help=1") << QStringList{"--help=1"} << "--help nimmt keinen Wert";
        QTest::newRow("value is an option")
            << QStringList{"--port", "/dev/null", "--port", "-h"} << "--port braucht einen Wert";
        QTest::newRow("stray argument")
            << QStringList{"--probe", "COM3"} << "unerwartetes Argument COM3";
        QTest::newRow("argument after --")
            << QStringList{"--probe", "--", "--port"} << "unerwartetes Argument --port";
        QTest::newRow("two modes")
            << QStringList{"--probe", "--flash", "a.hex"} << "schliessen einander aus";
        QTest::newRow("--processor without --check")
            << QStringList{"--flash", "a.hex", "--processor", "PIC18F26K22"}
            << "--processor gilt nur mit --check";
        QTest::newRow("unknown processor")
            << QStringList{"--check", "a.hex", "--processor", "PIC16F84"}
            << "--processor braucht PIC18F26K22 oder PIC18LF26K80";
        QTest::newRow("--check with --port")
            << QStringList{"--check", "a.hex", "--port", "x"} << "--port gilt nicht";
        QTest::newRow("window option without its value")
            << QStringList{"-platform"} << "-platform braucht einen Wert";
    }
    void refusesWrongCalls()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const LoaderOptions options =
            LoaderOptions::parse(QStringList{QStringLiteral("ZOR2fwloader")} + arguments);
        QVERIFY2(options.error.message.contains(error), qPrintable(options.error.message));
    }

    void takesWhatIsAskedFor_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<LoaderOptions::Mode>("mode");
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QString>("hexFile");
        QTest::addColumn<QString>("processor");
        QTest::addColumn<double>("timeout");
        using Mode = LoaderOptions::Mode;
        QTest::newRow("window") << QStringList{} << Mode::Window << QStringList{} << QString()
                                << QString() << 5.0;
        QTest::newRow("window with Qt's options")
            << QStringList{"-platform", "offscreen", "-style=fusion", "-reverse", "--port", "X"}
            << Mode::Window << QStringList{"X"} << QString() << QString() << 5.0;
        QTest::newRow("probe on two ports")
            << QStringList{"--port", "A", "--probe", "--port=B"} << Mode::Probe
            << QStringList{"A", "B"} << QString() << QString() << 5.0;
        QTest::newRow("flash with a fraction")
            << QStringList{"--flash", "fw.hex", "--timeout", "0.3", "--port", "P"} << Mode::Flash
            << QStringList{"P"} << "fw.hex" << QString() << 0.3;
        QTest::newRow("flash, values after =")
            << QStringList{"--flash=-fw.hex", "--timeout=86400"} << Mode::Flash << QStringList{}
            << "-fw.hex" << QString() << 86400.0;
        QTest::newRow("check, processor in lower case")
            << QStringList{"--check", "fw.hex", "--processor", "pic18lf26k80"} << Mode::Check
            << QStringList{} << "fw.hex"
            << "PIC18LF26K80" << 5.0;
        QTest::newRow("help") << QStringList{"--probe", "-h"} << Mode::Help << QStringList{}
                              << QString() << QString() << 5.0;
        QTest::newRow("version") << QStringList{"--version"} << Mode::Version << QStringList{}
                                 << QString() << QString() << 5.0;
    }
    void takesWhatIsAskedFor()
    {
        QFETCH(QStringList, arguments);
        const LoaderOptions options =
            LoaderOptions::parse(QStringList{QStringLiteral("ZOR2fwloader")} + arguments);
        QCOMPARE(options.error.message, QString());
        QTEST(options.mode, "mode");
        QTEST(options.ports, "ports");
        QTEST(options.hexFile, "hexFile");
        QTEST(options.processor, "processor");
        QTEST(options.timeoutSeconds, "timeout");
    }
};

QTEST_GUILESS_MAIN(TestLoaderOptions)
#include "tst_loaderoptions.moc"
