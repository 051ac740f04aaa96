#include "core/ChannelConversion.h"

#include <QLoggingCategory>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

QStringList *caught = nullptr;

void capture(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg && caught)
        caught->append(text);
}

// Collects the debug lines written while it lives.
class DebugLines
{
public:
    DebugLines()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("zor2conv.debug=true"));
        caught = &lines;
        before = qInstallMessageHandler(capture);
    }
    ~DebugLines()
    {
        qInstallMessageHandler(before);
        caught = nullptr;
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }
    QStringList lines;

private:
    QtMessageHandler before;
};

} // namespace

class TestChannelConversion : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CurveRecord> record;

    // A record whose samples count their own index (samples1[j] = j, samples2[j] = 2j) and whose
    // tables hold their own index, so a result tells which sample and which entry were used.
    void countingCurve(int steps, qint32 curveType)
    {
        record = std::make_unique<CurveRecord>();
        OldCurve &k = record->oldCurve;
        for (int j = 0; j < kMaxOldSteps; ++j) {
            k.samples1[j] = quint32(j);
            k.samples2[j] = quint32(2 * j);
            k.levelTable1[j] = j;
            k.levelTable2[j] = -j;
            k.swrTable1[j] = j;
            k.swrTable2[j] = 3 * j;
        }
        k.startHz = 1e6;
        k.stepHz = 60000;
        k.stepCount = steps;
        k.factor1 = 1;
        k.factor2 = 1;
        k.curveType = curveType;
    }

private slots:
    // The lookups' debug lines are only looked at where a test collects them.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void decimation_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("divisor");
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
        QFETCH(int, steps);
        QFETCH(int, points);
        QFETCH(double, divisor);
        countingCurve(steps, CurveTypeSweep);
        record->oldCurve.levelTable1.fill(0);
        record->value1.fill(-1);
        QVERIFY(convertCurve(*record));
        // 9999 / (9999 / 2001) is 2001 up to rounding; either count is right.
        if (steps == 9999)
            QVERIFY(record->pointCount == 2000 || record->pointCount == 2001);
        else
            QCOMPARE(record->pointCount, points);
        QCOMPARE(record->sweepGrid.steps, record->pointCount);
        QVERIFY(record->channel1Ok);
        QVERIFY(record->channel2Ok);
        QCOMPARE(record->sweepGrid.startMHz, 1.0);
        QCOMPARE(record->sweepGrid.stepMHz, 0.06);
        for (int i = 0; i < record->pointCount; ++i) {
            const int j = int(divisor * i);
            QVERIFY(j < kMaxOldSteps);
            QCOMPARE(record->value1[i], double(j));
            const double index = std::min(std::round((1e6 + j * 60000.0) / 60000), 9998.0);
            QCOMPARE(record->value2[i], 2 * j + index); // levelTable2 holds -index
            QCOMPARE(record->frequency[i], j * 0.06 + 1.0);
        }
        if (record->pointCount <= 0)
            QCOMPARE(record->value1[0], -1.0);
    }

    void curveKinds_data()
    {
        QTest::addColumn<qint32>("curveType");
        QTest::addColumn<bool>("linear");
        QTest::addColumn<bool>("audio");
        QTest::addColumn<double>("shift");
        QTest::addColumn<double>("value1");
        QTest::addColumn<double>("value2");
        // Point 1: f = 1.06 MHz (table index 17.67 -> 18), n1 = 1, n2 = 2.
        QTest::newRow("log sweep")
            << qint32(CurveTypeSweep) << false << false << -10.0 << 1 - 10.0 - 18 << 2 - 10.0 + 18;
        QTest::newRow("audio sweep scales channel 2 only")
            << qint32(CurveTypeSweep) << false << true << -10.0 << 1 - 10.0 - 18
            << 2 * 0.03125 - 10.0;
        QTest::newRow("linear sweep 0 dB") << qint32(CurveTypeSweep) << true << false << -1.0 << 0.0
                                           << 20 * std::log10(101.0 / 100);
        QTest::newRow("linear sweep -50") << qint32(CurveTypeSweep) << true << false << -51.0
                                          << 20 * std::log10(0.5) << 20 * std::log10(0.51);
        QTest::newRow("linear sweep at -100")
            << qint32(CurveTypeSweep) << true << false << -101.0 << -200.0 << 20 * std::log10(0.01);
        QTest::newRow("linear sweep below -100")
            << qint32(CurveTypeSweep) << true << false << -500.0 << -200.0 << -200.0;
        QTest::newRow("linear sweep just above -100")
            << qint32(CurveTypeSweep) << true << false << -100.99999999999999 << -200.0
            << 20 * std::log10(0.01);
        QTest::newRow("audio before linear")
            << qint32(CurveTypeSweep) << true << true << -1.0 << 0.0 << 2 * 0.03125 - 1.0;
        // swrCorrection1 at index 18: mean of entries 16..20 = 18; swrCorrection2: 3 * 18.
        QTest::newRow("SWR") << qint32(CurveTypeSwr) << false << false << 5.0 << 1 + 5.0 - 18
                             << 2 + 5.0 - 54;
        QTest::newRow("antenna SWR")
            << qint32(CurveTypeAntennaSwr) << false << false << 5.0 << 1 + 5.0 - 18 << 2 + 5.0 - 54;
        QTest::newRow("SAV plain value")
            << qint32(CurveTypeSav) << false << true << 5.0 << 6.0 << 7.0;
    }
    void curveKinds()
    {
        QFETCH(qint32, curveType);
        QFETCH(bool, linear);
        QFETCH(bool, audio);
        QFETCH(double, shift);
        QFETCH(double, value1);
        QFETCH(double, value2);
        countingCurve(3, curveType);
        OldCurve &k = record->oldCurve;
        k.linear1 = k.linear2 = linear;
        k.audioSweep = audio;
        k.shift1 = k.shift2 = shift;
        record->value1.fill(999);
        record->value2.fill(999);
        QVERIFY(convertCurve(*record));
        QCOMPARE(record->pointCount, 3);
        QCOMPARE(record->value1[1], value1);
        QCOMPARE(record->value2[1], value2);
    }

    void impedanceIsNotConverted()
    {
        countingCurve(3, CurveTypeImpedance);
        record->description = QStringLiteral("/a b.hfd");
        QVERIFY(!convertCurve(*record));
        QCOMPARE(record->pointCount, 0);
        QVERIFY(!record->channel1Ok);
        QCOMPARE(record->description, QStringLiteral("/a b.hfd"));
    }

    void lookupsStayInTable_data()
    {
        QTest::addColumn<double>("fHz");
        QTest::addColumn<double>("log");  // entry of levelTable1 (entry i holds i)
        QTest::addColumn<double>("swr1"); // mean of the swrTable1 window
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
        QFETCH(double, swr1);
        countingCurve(0, CurveTypeSwr);
        const OldCurve &k = record->oldCurve;
        QCOMPARE(levelCorrection1(k, fHz), log);
        QCOMPARE(levelCorrection2(k, fHz), -log);
        QCOMPARE(swrCorrection2(k, fHz), 3 * log);
        QCOMPARE(swrCorrection1(k, fHz), swr1);
    }

    void swrConversionWritesOneLinePerLookup()
    {
        countingCurve(2, CurveTypeSwr);
        DebugLines debug;
        QVERIFY(convertCurve(*record));
        // f = 1.0 and 1.06 MHz: indexes 17 and 18.
        const QStringList expected = {
            "idxteiler 1", "wobbelgrunddaten.schritte 2", "17", "18", "51", "54"};
        QCOMPARE(debug.lines, expected);
    }

    void sweepConversionWritesNoLookupLines()
    {
        countingCurve(4002, CurveTypeSweep);
        DebugLines debug;
        QVERIFY(convertCurve(*record));
        const QStringList expected = {"idxteiler 2", "wobbelgrunddaten.schritte 2001"};
        QCOMPARE(debug.lines, expected);
    }

    void cleaning_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("cleaned");
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
        QFETCH(QString, description);
        QFETCH(QString, cleaned);
        QCOMPARE(cleanDescription(description), cleaned);
        QCOMPARE(cleanDescription(cleaned), cleaned);

        countingCurve(1, CurveTypeSweep);
        record->description = description;
        QVERIFY(convertCurve(*record));
        QCOMPARE(record->description, cleaned);
    }

    void resetLeavesOnlyZeroLookups()
    {
        countingCurve(5, CurveTypeSwr);
        record->oldCurve.audioSweep = true;
        record->oldCurve.linear1 = true;
        record->curveTypeName = QStringLiteral("SWV-Kurve");
        record->clearCurve();
        const OldCurve &k = record->oldCurve;
        QCOMPARE(levelCorrection1(k, 5e6), 0.0);
        QCOMPARE(levelCorrection2(k, 5e6), 0.0);
        QCOMPARE(swrCorrection1(k, 5e6), 0.0);
        QCOMPARE(swrCorrection2(k, 5e6), 0.0);
        QCOMPARE(k.samples1[4], 0u);
        QCOMPARE(k.samples2[4], 0u);
        QCOMPARE(k.curveType, 0);
        QVERIFY(!k.audioSweep && !k.linear1);
        QVERIFY(record->curveTypeName.isEmpty());
        QCOMPARE(k.startHz, 0.0);
        // left for the reader to overwrite
        QCOMPARE(k.stepCount, 5);
        QCOMPARE(k.stepHz, 60000.0);
    }
};

QTEST_GUILESS_MAIN(TestChannelConversion)
#include "tst_channelconversion.moc"
