#include "DeviceSimulator.h"
#include "ScriptedLine.h"
#include "core/Modem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

// The serial link against the simulated device on a pseudo-terminal.
class TestModem : public QObject
{
    Q_OBJECT

private:
    // Reads until count bytes came or two seconds passed.
    static QByteArray readBytes(Modem &modem, int count)
    {
        QByteArray data;
        QDeadlineTimer deadline(2000);
        while (data.size() < count && !deadline.hasExpired()) {
            char buffer[256];
            const int n = modem.readTty(buffer, qMin(int(sizeof buffer), count - int(data.size())));
            data.append(buffer, n);
            if (n == 0)
                modem.waitForInput(50);
        }
        return data;
    }

    QTemporaryDir dir;

private slots:
    void opensWithTheLineSettings_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("speed");
        QTest::newRow("default") << 0 << int(B57600);
        QTest::newRow("9600") << 9600 << int(B9600);
        QTest::newRow("115200") << 115200 << int(B115200);
        QTest::newRow("19200 is no rate of ours") << 19200 << int(B57600);
    }
    void opensWithTheLineSettings()
    {
        QFETCH(int, rate);
        QFETCH(int, speed);
        DeviceSimulator device;
        QVERIFY(device.start());
        Modem modem;
        if (rate)
            modem.setBaudrate(rate);
        QSignalSpy texts(&modem, &Modem::setTtyText);
        QVERIFY(modem.openTty(device.path()));
        QVERIFY(modem.isOpen());
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts.at(0).at(0).toString(), device.path());

        // The terminal's settings are shared by every descriptor on it.
        const int fd = ::open(QFile::encodeName(device.path()).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        termios t;
        QCOMPARE(tcgetattr(fd, &t), 0);
        ::close(fd);
        QCOMPARE(int(cfgetospeed(&t)), speed);
        QCOMPARE(int(t.c_cflag & CSIZE), int(CS8));
        QCOMPARE(int(t.c_cflag & (PARENB | CSTOPB | CRTSCTS)), 0);
        QCOMPARE(int(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP)), 0);
        QCOMPARE(int(t.c_lflag & (ICANON | ECHO | ISIG)), 0);
        QCOMPARE(int(t.c_oflag & OPOST), 0);
    }

    void readsDoNotWaitAndLeaveTheRestQueued()
    {
        DeviceSimulator device;
        QVERIFY(device.start());
        Modem modem;
        QVERIFY(modem.openTty(device.path()));
        char buffer[64];
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(modem.readTty(buffer, 11), 0);
        QVERIFY(clock.elapsed() < 100);

        QVERIFY(modem.writeTty("@v;"));
        QVERIFY(modem.waitForInput(2000));
        QCOMPARE(readBytes(modem, 4), QByteArray("#vZ2"));
        QCOMPARE(readBytes(modem, 7), QByteArray("105002;"));
        QCOMPARE(modem.readTty(buffer, 11), 0);
    }

    void waitForInputEndsAtItsBound()
    {
        DeviceSimulator device;
        QVERIFY(device.start());
        Modem modem;
        QVERIFY(modem.openTty(device.path()));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!modem.waitForInput(300));
        QVERIFY2(clock.elapsed() >= 250 && clock.elapsed() < 2000,
                 QByteArray::number(clock.elapsed()).constData());
        QVERIFY(!modem.isLineLost());
        QVERIFY(modem.isOpen());
    }

    void writesBlocksWithNulBytesWhole()
    {
        const QString imagePath = dir.filePath(QStringLiteral("nul.bin"));
        DeviceSimulator device;
        QVERIFY(device.start(
            {QStringLiteral("--save-image"), imagePath, QStringLiteral("--exit-after-flash")}));
        Modem modem;
        QVERIFY(modem.openTty(device.path()));
        QVERIFY(modem.writeTty("@g*****;"));
        QCOMPARE(readBytes(modem, 1), QByteArray("k"));

        QByteArray block(66, '\0');
        block[0] = char(0x40); // address 0x0040, low byte first
        for (int i = 0; i < 64; ++i)
            block[2 + i] = char(i % 3 == 0 ? 0 : i);
        QVERIFY(modem.writeBlock(block.constData(), int(block.size()), 2000));
        QCOMPARE(readBytes(modem, 1), QByteArray("k"));
        // The end mark through writeChar, which sends the low 8 bits only.
        QVERIFY(modem.writeChar(0x1FF));
        QVERIFY(modem.writeChar(0xFF));
        QVERIFY(device.waitForExit(5000));

        QFile image(imagePath);
        QVERIFY(image.open(QIODevice::ReadOnly));
        const QByteArray received = image.readAll();
        QCOMPARE(received.size(), 0x80);
        QCOMPARE(received.left(0x40), QByteArray(0x40, char(0xFF)));
        QCOMPARE(received.mid(0x40), block.mid(2));
    }

    void closedLinkIsHarmless()
    {
        DeviceSimulator device;
        QVERIFY(device.start());
        Modem modem;
        QSignalSpy texts(&modem, &Modem::setTtyText);
        QVERIFY(modem.writeTty(""));
        QVERIFY(!modem.writeTty("@v;"));
        QVERIFY(modem.openTty(device.path()));
        QVERIFY(modem.closeTty());
        QVERIFY(modem.closeTty());
        QVERIFY(!modem.isOpen());
        char buffer[4];
        QCOMPARE(modem.readTty(buffer, 4), 0);
        QVERIFY(!modem.writeChar('k'));
        QVERIFY(!modem.waitForInput(10));
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts.at(2).at(0).toString(), QStringLiteral("?"));
        // The simulator keeps its line usable for the next open.
        QVERIFY(modem.openTty(device.path()));
        QVERIFY(modem.writeTty("@v;"));
        QCOMPARE(readBytes(modem, 11), QByteArray("#vZ2105002;"));
    }

    void refusesMissingAndBusyPorts()
    {
        Modem modem;
        QSignalSpy texts(&modem, &Modem::setTtyText);
        QVERIFY(!modem.openTty(dir.filePath(QStringLiteral("ttyMissing0"))));
        QCOMPARE(modem.lastOpenFailure(), OpenFailure::NotFound);
        QVERIFY(!modem.openTty(QString()));
        QCOMPARE(modem.lastOpenFailure(), OpenFailure::NotFound);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.at(0).at(0).toString(), QStringLiteral("?"));
        QVERIFY(!modem.isOpen());

        DeviceSimulator device;
        QVERIFY(device.start());
        QVERIFY(modem.openTty(device.path()));
        QCOMPARE(modem.lastOpenFailure(), OpenFailure::None);
        // Tests run as root, where only the lock stops a second open.
        Modem second;
        QVERIFY(!second.openTty(device.path()));
        QCOMPARE(second.lastOpenFailure(), OpenFailure::Busy);
        modem.closeTty();
        QVERIFY(second.openTty(device.path()));
    }

    // What another program holds is left as it was: nothing is opened, written or removed.
    // Only a lock file whose process is gone goes.
    void leavesPortsOthersHold_data()
    {
        QTest::addColumn<QString>("holder");     // lock file: %1 name below /dev, %2 last part
        QTest::addColumn<QByteArray>("content"); // printf form of the holder's id; "" binary
        QTest::addColumn<bool>("alive");
        const QString uucp = QStringLiteral("/var/lock/LCK..%1");
        for (const bool alive : {true, false}) {
            const char *who = alive ? "live" : "dead";
            QTest::addRow("ten digits, %s", who) << uucp << QByteArray("%10d\n") << alive;
            QTest::addRow("bare id, %s", who) << "/run/lock/LCK..%2" << QByteArray("%d\n") << alive;
            QTest::addRow("no line end, %s", who) << uucp << QByteArray("%d") << alive;
            QTest::addRow("id name user, %s", who) << uucp << QByteArray("%d cu root\n") << alive;
            QTest::addRow("binary id, %s", who) << uucp << QByteArray() << alive;
        }
        QTest::newRow("exclusive mode") << "exclusive" << QByteArray() << true;
    }
    void leavesPortsOthersHold()
    {
        QFETCH(QString, holder);
        QFETCH(QByteArray, content);
        QFETCH(bool, alive);
        ScriptedLine line;
        if (holder == QLatin1String("exclusive") && (geteuid() != 0 || ioctl(line.slave, TIOCEXCL)))
            QSKIP("only root may open a port in exclusive mode, and only root would write there");
        pid_t id = getppid();
        if (!alive && (id = fork()) == 0)
            _exit(0);
        if (!alive)
            QCOMPARE(waitpid(id, nullptr, 0), id);
        QFile file(QString(holder)
                       .replace("%1", line.slavePath.mid(5).replace('/', '_'))
                       .replace("%2", line.slavePath.section('/', -1)));
        const QByteArray written = content.isEmpty()
                                       ? QByteArray(reinterpret_cast<const char *>(&id), sizeof id)
                                       : QString::asprintf(content.constData(), int(id)).toLatin1();
        const auto removeLockFile = qScopeGuard([&file] { file.remove(); });
        if (holder.contains('/'))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(written) == written.size());
        file.close();
        Modem modem;
        QCOMPARE(modem.openTty(line.slavePath), !alive);
        QCOMPARE(modem.lastOpenFailure(), alive ? OpenFailure::Busy : OpenFailure::None);
        modem.closeTty();
        const QByteArray left = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        QCOMPARE(left, alive && holder.contains('/') ? written : QByteArray()); // ours went too
    }

    void hungUpLineFailsAtOnce()
    {
        DeviceSimulator device;
        QVERIFY(device.start({QStringLiteral("--hangup-after"), QStringLiteral("0")}));
        Modem modem;
        QVERIFY(modem.openTty(device.path()));
        QVERIFY(modem.writeTty("@g*****;"));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!modem.waitForInput(3000));
        QVERIFY(modem.isLineLost());
        QVERIFY(clock.elapsed() < 2500);
        clock.restart();
        char buffer[4];
        QCOMPARE(modem.readTty(buffer, 4), 0);
        QVERIFY(!modem.writeTty("@v;"));
        QVERIFY(!modem.waitForInput(1000));
        QVERIFY(clock.elapsed() < 100);
        QVERIFY(modem.closeTty());
        QVERIFY(!modem.isLineLost());
    }
};

QTEST_GUILESS_MAIN(TestModem)
#include "tst_modem.moc"
