#include "core/CsvFile.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

// The CSV of a converted curve: header and the numbers a German spreadsheet reads back exactly.
class TestCsvFile : public QObject
{
    Q_OBJECT

private slots:
    void readsBackEqual_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("channel1");
        QTest::addColumn<QList<double>>("frequency");
        QTest::addColumn<QList<double>>("value"); // channel 2 gets -7 times the value
        QTest::addColumn<QByteArray>("header");
        // A crystal swept over 200 Hz: the six digits of a new curve file merge the points.
        QTest::newRow("level, narrow crystal sweep")
            << int(CurveTypeSweep) << true
            << QList<double>{10.0000001, 10.0000002, 10.0000003, 10.00000031}
            << QList<double>{-3.25, -0.1 - 0.2, -73.000000000001, 1e-7}
            << QByteArray("Frequenz (MHz);Kanal 1 (dB);Kanal 2 (dB)\r\n");
        QTest::newRow("SWR, channel 2 only, no value") // no value: an empty cell
            << int(CurveTypeAntennaSwr) << false << QList<double>{3.5, 3.65, 3.8, 1234567.125}
            << QList<double>{1.0 / 3, std::numeric_limits<double>::quiet_NaN(), 99.5, 2.0}
            << QByteArray("Frequenz (MHz);Kanal 2 (SWV)\r\n");
    }
    void readsBackEqual()
    {
        QFETCH(int, type);
        QFETCH(bool, channel1);
        QFETCH(QList<double>, frequency);
        QFETCH(QList<double>, value);
        auto r = std::make_unique<CurveRecord>();
        r->oldCurve.curveType = type;
        r->pointCount = qint32(frequency.size());
        r->channel1Ok = channel1;
        r->channel2Ok = true;
        for (int i = 0; i < frequency.size(); ++i) {
            r->frequency[i] = frequency[i];
            r->value1[i] = value[i];
            r->value2[i] = -value[i] * 7;
        }
        QList<QByteArray> lines = CsvFile::content(*r).split('\n');
        QTEST(lines.takeFirst() + '\n', "header");
        QCOMPARE(lines.takeLast(), QByteArray()); // the last line ends with CR LF too
        QCOMPARE(lines.size(), frequency.size());
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY(lines[i].endsWith('\r') && !lines[i].contains('.') && !lines[i].contains('e'));
            const QList<double> expected = {frequency[i], value[i], -value[i] * 7};
            const QList<QByteArray> cells = lines[i].chopped(1).split(';');
            QCOMPARE(cells.size(), channel1 ? 3 : 2);
            for (int c = 0; c < cells.size(); ++c) {
                // Read as a spreadsheet with a decimal comma does; an empty cell is no value.
                bool ok = cells[c].isEmpty();
                const double v =
                    ok ? std::nan("") : QByteArray(cells[c]).replace(',', '.').toDouble(&ok);
                QVERIFY(ok);
                QCOMPARE(v, expected[c == 0 || channel1 ? c : 2]);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCsvFile)
#include "tst_csvfile.moc"
