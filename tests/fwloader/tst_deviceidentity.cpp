#include "core/DeviceIdentity.h"
#include "core/PortList.h"

#include <QTest>

// The judging of the device's identification reply, the firmware line and the port lists.
class TestDeviceIdentity : public QObject
{
    Q_OBJECT

private slots:
    void judgesTheReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("line");

        QTest::newRow("Z5 1.03 variant 1, other bytes ignored")
            << QByteArray("\x01\xffZ5103001\x00", 11) << "Z5" << 103 << 1 << true
            << "FW: V1.03\t[PIC18F26K22]";
        QTest::newRow("Z5 1.02 too old")
            << QByteArray("#vZ5102001;") << "Z5" << 102 << 1 << false << "FW: V1.02\t[PIC18F26K22]";
        QTest::newRow("Z2 1.05 variant 2") << QByteArray("#vZ2105002;") << "Z2" << 105 << 2 << true
                                           << "FW: V1.05\t[PIC18F26K22]: ZOR01";
        QTest::newRow("Z2 1.99 last K22") << QByteArray("#vZ2199002;") << "Z2" << 199 << 2 << true
                                          << "FW: V1.99\t[PIC18F26K22]: ZOR01";
        QTest::newRow("Z2 2.00 first K80") << QByteArray("#vZ2200002;") << "Z2" << 200 << 2 << true
                                           << "FW: V2.00\t[PIC18LF26K80]: ZOR01";
        QTest::newRow("Z2 2.00 variant 1")
            << QByteArray("#vZ2200001;") << "Z2" << 200 << 1 << true << "FW: V2.00\t[PIC18LF26K80]";
        QTest::newRow("variant 0 no suffix")
            << QByteArray("#vZ2107000;") << "Z2" << 107 << 0 << true << "FW: V1.07\t[PIC18F26K22]";
        QTest::newRow("variant 3 no suffix")
            << QByteArray("#vZ2107003;") << "Z2" << 107 << 3 << true << "FW: V1.07\t[PIC18F26K22]";
        QTest::newRow("other family") << QByteArray("#vZ3105002;") << "Z3" << 105 << 2 << false
                                      << "FW: V1.05\t[PIC18F26K22]: ZOR01";
        QTest::newRow("family is case sensitive") << QByteArray("#vz2105002;") << "z2" << 105 << 2
                                                  << false << "FW: V1.05\t[PIC18F26K22]: ZOR01";
        QTest::newRow("letter in version") << QByteArray("#vZ21A5002;") << "Z2" << 0 << 2 << false
                                           << "FW: V0.00\t[PIC18F26K22]: ZOR01";
        QTest::newRow("blank in version") << QByteArray("#vZ2 15002;") << "Z2" << 0 << 2 << false
                                          << "FW: V0.00\t[PIC18F26K22]: ZOR01";
        QTest::newRow("sign in variant")
            << QByteArray("#vZ2105+02;") << "Z2" << 105 << 0 << true << "FW: V1.05\t[PIC18F26K22]";
        QTest::newRow("999") << QByteArray("#vZ5999999;") << "Z5" << 999 << 999 << true
                             << "FW: V9.99\t[PIC18LF26K80]";
    }
    void judgesTheReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, family);
        QFETCH(int, version);
        QFETCH(int, variant);
        QFETCH(bool, accepted);
        QFETCH(QString, line);
        QCOMPARE(reply.size(), identificationLength);
        const DeviceIdentity identity = parseIdentification(reply.constData());
        QCOMPARE(identity.hwFamily, family);
        QCOMPARE(identity.fwVersion, version);
        QCOMPARE(identity.hwVariant, variant);
        QCOMPARE(isAcceptedDevice(identity), accepted);
        QCOMPARE(firmwareLine(identity), line);
    }

    void listsThePorts_data()
    {
        QTest::addColumn<PortSystem>("platform");
        QTest::addColumn<QStringList>("some");
        QTest::addColumn<QList<int>>("at");
        QTest::newRow("Windows") << PortSystem::Windows
                                 << QStringList{"COM1", "COM9", "COM10", "COM50"}
                                 << QList<int>{0, 8, 9, 49};
        QTest::newRow("Linux") << PortSystem::Linux
                               << QStringList{"/dev/ttyUSB0",  "/dev/ttyUSB15", "/dev/ttyACM0",
                                              "/dev/ttyACM15", "/dev/ttyS0",    "/dev/ttyS17"}
                               << QList<int>{0, 15, 16, 31, 32, 49};
    }
    void listsThePorts()
    {
        QFETCH(PortSystem, platform);
        QFETCH(QStringList, some);
        QFETCH(QList<int>, at);
        QStringList list = defaultTtyList(platform);
        QCOMPARE(list.size(), 50);
        QCOMPARE(list.removeDuplicates(), 0);
        for (int i = 0; i < some.size(); ++i)
            QCOMPARE(list.at(at.at(i)), some.at(i));
    }
};

QTEST_GUILESS_MAIN(TestDeviceIdentity)
#include "tst_deviceidentity.moc"
