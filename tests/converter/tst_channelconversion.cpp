#include "ChannelConversion.h"

#include <QLoggingCategory>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

QStringList *gefangen = nullptr;

void fangen(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg && gefangen)
        gefangen->append(text);
}

// Collects the debug lines written while it lives.
class DebugZeilen
{
public:
    DebugZeilen()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("zor2conv.debug=true"));
        gefangen = &zeilen;
        vorher = qInstallMessageHandler(fangen);
    }
    ~DebugZeilen()
    {
        qInstallMessageHandler(vorher);
        gefangen = nullptr;
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }
    QStringList zeilen;

private:
    QtMessageHandler vorher;
};

} // namespace

class TestChannelConversion : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CurveRecord> record;

    // A record whose samples count their own index (k1[j] = j, k2[j] = 2j) and whose tables
    // hold their own index, so a result tells which sample and which entry were used.
    void zaehlendeKurve(int schritte, qint32 kurventyp)
    {
        record = std::make_unique<CurveRecord>();
        KurveAlt &k = record->kurvealt;
        for (int j = 0; j < kAltSchritteMax; ++j) {
            k.k1[j] = quint32(j);
            k.k2[j] = quint32(2 * j);
            k.korrlog1[j] = j;
            k.korrlog2[j] = -j;
            k.korrswv1[j] = j;
            k.korrswv2[j] = 3 * j;
        }
        k.frqanfang = 1e6;
        k.frqschrittweite = 60000;
        k.frqschritte = schritte;
        k.faktor1 = 1;
        k.faktor2 = 1;
        k.kurventyp = kurventyp;
    }

private slots:
    // The lookups' debug lines are only looked at where a test collects them.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void decimation_data()
    {
        QTest::addColumn<int>("schritte");
        QTest::addColumn<int>("punkte");
        QTest::addColumn<double>("teiler");
        QTest::newRow("5") << 5 << 5 << 1.0;
        QTest::newRow("2001") << 2001 << 2001 << 1.0;
        QTest::newRow("2002") << 2002 << 2001 << 2002.0 / 2001;
        QTest::newRow("4002") << 4002 << 2001 << 2.0;
        QTest::newRow("9999") << 9999 << 2001 << 9999.0 / 2001;
        QTest::newRow("0") << 0 << 0 << 1.0;
        QTest::newRow("negative") << -3 << -3 << 1.0;
    }
    void decimation()
    {
        QFETCH(int, schritte);
        QFETCH(int, punkte);
        QFETCH(double, teiler);
        zaehlendeKurve(schritte, KurventypWobbel);
        record->kurvealt.korrlog1.fill(0);
        record->wert1.fill(-1);
        QVERIFY(kurveKonvertieren(*record));
        // 9999 / (9999 / 2001) is 2001 up to rounding; either count is right.
        if (schritte == 9999)
            QVERIFY(record->punkte == 2000 || record->punkte == 2001);
        else
            QCOMPARE(record->punkte, punkte);
        QCOMPARE(record->wobbelgrunddaten.schritte, record->punkte);
        QVERIFY(record->kanal1ok);
        QVERIFY(record->kanal2ok);
        QCOMPARE(record->wobbelgrunddaten.anfang, 1.0);
        QCOMPARE(record->wobbelgrunddaten.schrittweite, 0.06);
        for (int i = 0; i < record->punkte; ++i) {
            const int j = int(teiler * i);
            QVERIFY(j < kAltSchritteMax);
            QCOMPARE(record->wert1[i], double(j));
            const double index = std::min(std::round((1e6 + j * 60000.0) / 60000), 9998.0);
            QCOMPARE(record->wert2[i], 2 * j + index); // korrlog2 holds -index
            QCOMPARE(record->frequenz[i], j * 0.06 + 1.0);
        }
        if (record->punkte <= 0)
            QCOMPARE(record->wert1[0], -1.0);
    }

    void curveKinds_data()
    {
        QTest::addColumn<qint32>("kurventyp");
        QTest::addColumn<bool>("linear");
        QTest::addColumn<bool>("audio");
        QTest::addColumn<double>("shift");
        QTest::addColumn<double>("wert1");
        QTest::addColumn<double>("wert2");
        // Point 1: f = 1.06 MHz (table index 17.67 -> 18), n1 = 1, n2 = 2.
        QTest::newRow("log sweep")
            << qint32(KurventypWobbel) << false << false << -10.0 << 1 - 10.0 - 18 << 2 - 10.0 + 18;
        QTest::newRow("audio sweep scales channel 2 only")
            << qint32(KurventypWobbel) << false << true << -10.0 << 1 - 10.0 - 18
            << 2 * 0.03125 - 10.0;
        QTest::newRow("linear sweep 0 dB") << qint32(KurventypWobbel) << true << false << -1.0
                                           << 0.0 << 20 * std::log10(101.0 / 100);
        QTest::newRow("linear sweep -50") << qint32(KurventypWobbel) << true << false << -51.0
                                          << 20 * std::log10(0.5) << 20 * std::log10(0.51);
        QTest::newRow("linear sweep at -100") << qint32(KurventypWobbel) << true << false << -101.0
                                              << -200.0 << 20 * std::log10(0.01);
        QTest::newRow("linear sweep below -100")
            << qint32(KurventypWobbel) << true << false << -500.0 << -200.0 << -200.0;
        QTest::newRow("linear sweep just above -100")
            << qint32(KurventypWobbel) << true << false << -100.99999999999999 << -200.0
            << 20 * std::log10(0.01);
        QTest::newRow("audio before linear")
            << qint32(KurventypWobbel) << true << true << -1.0 << 0.0 << 2 * 0.03125 - 1.0;
        // korrSwv1 at index 18: mean of entries 16..20 = 18; korrSwv2: 3 * 18.
        QTest::newRow("SWR") << qint32(KurventypSwv) << false << false << 5.0 << 1 + 5.0 - 18
                             << 2 + 5.0 - 54;
        QTest::newRow("antenna SWR")
            << qint32(KurventypSwvAntenne) << false << false << 5.0 << 1 + 5.0 - 18 << 2 + 5.0 - 54;
        QTest::newRow("SAV plain value")
            << qint32(KurventypSav) << false << true << 5.0 << 6.0 << 7.0;
    }
    void curveKinds()
    {
        QFETCH(qint32, kurventyp);
        QFETCH(bool, linear);
        QFETCH(bool, audio);
        QFETCH(double, shift);
        QFETCH(double, wert1);
        QFETCH(double, wert2);
        zaehlendeKurve(3, kurventyp);
        KurveAlt &k = record->kurvealt;
        k.linear1 = k.linear2 = linear;
        k.audionf = audio;
        k.shift1 = k.shift2 = shift;
        record->wert1.fill(999);
        record->wert2.fill(999);
        QVERIFY(kurveKonvertieren(*record));
        QCOMPARE(record->punkte, 3);
        QCOMPARE(record->wert1[1], wert1);
        QCOMPARE(record->wert2[1], wert2);
    }

    void impedanceIsNotConverted()
    {
        zaehlendeKurve(3, KurventypImpedanz);
        record->beschreibung = QStringLiteral("/a b.hfd");
        QVERIFY(!kurveKonvertieren(*record));
        QCOMPARE(record->punkte, 0);
        QVERIFY(!record->kanal1ok);
        QCOMPARE(record->beschreibung, QStringLiteral("/a b.hfd"));
    }

    void lookupsStayInTable_data()
    {
        QTest::addColumn<double>("fHz");
        QTest::addColumn<double>("log");  // entry of korrlog1 (entry i holds i)
        QTest::addColumn<double>("swv1"); // mean of the korrswv1 window
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("0 Hz") << 0.0 << 0.0 << 1.0;         // entries 0..2
        QTest::newRow("29999 Hz") << 29999.0 << 0.0 << 1.0; // rounds down
        QTest::newRow("30 kHz") << 30000.0 << 1.0 << 1.5;   // half away from zero; 0..3
        QTest::newRow("120 kHz") << 120000.0 << 2.0 << 2.0; // 0..4
        QTest::newRow("negative") << -5e6 << 0.0 << 1.0;
        QTest::newRow("minus infinity") << -inf << 0.0 << 1.0;
        QTest::newRow("not a number") << nan << 0.0 << 1.0;
        QTest::newRow("599.88 MHz") << 599.88e6 << 9998.0 << 9996.0; // 9994..9998
        QTest::newRow("599.91 MHz") << 599.91e6 << 9998.0 << 9996.0;
        QTest::newRow("far above") << 1e300 << 9998.0 << 9996.0;
        QTest::newRow("infinity") << inf << 9998.0 << 9996.0;
    }
    void lookupsStayInTable()
    {
        QFETCH(double, fHz);
        QFETCH(double, log);
        QFETCH(double, swv1);
        zaehlendeKurve(0, KurventypSwv);
        const KurveAlt &k = record->kurvealt;
        QCOMPARE(korrLog1(k, fHz), log);
        QCOMPARE(korrLog2(k, fHz), -log);
        QCOMPARE(korrSwv2(k, fHz), 3 * log);
        QCOMPARE(korrSwv1(k, fHz), swv1);
    }

    void swrConversionWritesOneLinePerLookup()
    {
        zaehlendeKurve(2, KurventypSwv);
        DebugZeilen debug;
        QVERIFY(kurveKonvertieren(*record));
        // f = 1.0 and 1.06 MHz: indexes 17 and 18.
        const QStringList erwartet = {
            "idxteiler 1", "wobbelgrunddaten.schritte 2", "17", "18", "51", "54"};
        QCOMPARE(debug.zeilen, erwartet);
    }

    void sweepConversionWritesNoLookupLines()
    {
        zaehlendeKurve(4002, KurventypWobbel);
        DebugZeilen debug;
        QVERIFY(kurveKonvertieren(*record));
        const QStringList erwartet = {"idxteiler 2", "wobbelgrunddaten.schritte 2001"};
        QCOMPARE(debug.zeilen, erwartet);
    }

    void cleaning_data()
    {
        QTest::addColumn<QString>("beschreibung");
        QTest::addColumn<QString>("bereinigt");
        QTest::newRow("path and label") << "C:/kurven/filter.hfd;Filter 10MHz"
                                        << "C__kurven_filter_Filter_10MHz";
        QTest::newRow("no label") << "C:/kurven/filter.hfd;no label"
                                  << "C__kurven_filter";
        QTest::newRow("signs") << "a+b-c\\d;e:f"
                               << "a_b_c_d_e_f";
        QTest::newRow("suffix case-sensitive") << "/x/A.HFD;l"
                                               << "_x_A.HFD_l";
        QTest::newRow("suffix inside") << "/x.hfd/y.hfd;z"
                                       << "_x_y_z";
        QTest::newRow("markup kept") << "/a/<b>.hfd;x"
                                     << "_a_<b>_x";
    }
    void cleaning()
    {
        QFETCH(QString, beschreibung);
        QFETCH(QString, bereinigt);
        QCOMPARE(beschreibungBereinigen(beschreibung), bereinigt);
        QCOMPARE(beschreibungBereinigen(bereinigt), bereinigt);

        zaehlendeKurve(1, KurventypWobbel);
        record->beschreibung = beschreibung;
        QVERIFY(kurveKonvertieren(*record));
        QCOMPARE(record->beschreibung, bereinigt);
    }

    void resetLeavesOnlyZeroLookups()
    {
        zaehlendeKurve(5, KurventypSwv);
        record->kurvealt.audionf = true;
        record->kurvealt.linear1 = true;
        record->kurventypname = QStringLiteral("SWV-Kurve");
        record->kurveLoeschen();
        const KurveAlt &k = record->kurvealt;
        QCOMPARE(korrLog1(k, 5e6), 0.0);
        QCOMPARE(korrLog2(k, 5e6), 0.0);
        QCOMPARE(korrSwv1(k, 5e6), 0.0);
        QCOMPARE(korrSwv2(k, 5e6), 0.0);
        QCOMPARE(k.k1[4], 0u);
        QCOMPARE(k.k2[4], 0u);
        QCOMPARE(k.kurventyp, 0);
        QVERIFY(!k.audionf && !k.linear1);
        QVERIFY(record->kurventypname.isEmpty());
        QCOMPARE(k.frqanfang, 0.0);
        // left for the reader to overwrite
        QCOMPARE(k.frqschritte, 5);
        QCOMPARE(k.frqschrittweite, 60000.0);
    }
};

QTEST_GUILESS_MAIN(TestChannelConversion)
#include "tst_channelconversion.moc"
