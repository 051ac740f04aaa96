#include "DeviceSimulator.h"
#include "ScriptedLine.h"
#include "core/Modem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    // Only a lock file whose process is gone goes, and the port is ours then.
    void leavesPortsOthersHold_data()
    {
        QTest::addColumn<QString>("holder"); // a lock file: %1 below /dev, %2 last part, %3 numbers
        QTest::addColumn<QByteArray>("content"); // printf form of its process id; "" binary
        QTest::addColumn<bool>("alive");
        QTest::addColumn<OpenFailure>("failure");
        const QString uucp = QStringLiteral("/var/lock/LCK..%1");
        for (const bool alive : {true, false}) {
            const OpenFailure failure = alive ? OpenFailure::Busy : OpenFailure::None;
            const char *who = alive ? "live holder" : "dead holder";
            QTest::addRow("ten digits, %s", who)
                << uucp << QByteArray("%10d\n") << alive << failure;
            QTest::addRow("bare id, %s", who)
                << "/run/lock/LCK..%2" << QByteArray("%d\n") << alive << failure;
            QTest::addRow("no line end, %s", who)
                << "/run/lock/LCK.%3" << QByteArray("%d") << alive << failure;
            QTest::addRow("id name user, %s", who)
                << uucp << QByteArray("%d minicom root\n") << alive << failure;
            QTest::addRow("binary id, %s", who) << uucp << QByteArray() << alive << failure;
        }
        QTest::newRow("lock file of unknown content")
            << uucp << QByteArray("held") << true << OpenFailure::Busy;
        QTest::newRow("exclusive mode") << "exclusive" << QByteArray() << true << OpenFailure::Busy;
        QTest::newRow("lockf") << "lockf" << QByteArray() << true << OpenFailure::Busy;
        QTest::newRow("open file lock") << "ofd" << QByteArray() << true << OpenFailure::Busy;
        QTest::newRow("no descriptor left")
            << "descriptors" << QByteArray() << true << OpenFailure::NoDescriptors;
    }
    void leavesPortsOthersHold()
    {
        QFETCH(QString, holder);
        QFETCH(QByteArray, content);
        QFETCH(bool, alive);
        QFETCH(OpenFailure, failure);
        ScriptedLine line;
        struct stat device;
        QCOMPARE(stat(QFile::encodeName(line.slavePath).constData(), &device), 0);
        // Another program's line settings, which a probe must not change.
        termios before;
        QCOMPARE(tcgetattr(line.slave, &before), 0);
        cfsetospeed(&before, B1200);
        QCOMPARE(tcsetattr(line.slave, TCSANOW, &before), 0);
        pid_t child = 0;
        if (holder == QLatin1String("exclusive")) {
            if (geteuid() != 0)
                QSKIP("only root may open a port in exclusive mode");
            QCOMPARE(ioctl(line.slave, TIOCEXCL), 0);
        } else if (holder == QLatin1String("ofd")) {
            struct flock lock = {};
            lock.l_type = F_WRLCK;
            QCOMPARE(fcntl(line.slave, F_OFD_SETLK, &lock), 0);
        } else if (holder == QLatin1String("lockf") || !alive) {
            // A process of its own: a record lock, or a process id that is gone afterwards.
            int ready[2];
            QCOMPARE(pipe(ready), 0);
            const QByteArray path = QFile::encodeName(line.slavePath);
            child = fork();
            if (child == 0) {
                const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
                if (fd < 0 || lockf(fd, F_TLOCK, 0) != 0 || ::write(ready[1], "x", 1) != 1)
                    _exit(1);
                if (alive)
                    pause();
                _exit(0);
            }
            ::close(ready[1]);
            char byte;
            const ssize_t n = ::read(ready[0], &byte, 1);
            ::close(ready[0]);
            QCOMPARE(n, ssize_t(1));
            if (!alive)
                QCOMPARE(waitpid(child, nullptr, 0), child);
        }
        const pid_t id = alive ? getppid() : child;
        const bool byFile = holder.contains('/');
        QString lockFile = byFile ? holder : QString();
        lockFile.replace("%1", line.slavePath.mid(5).replace('/', '_'))
            .replace("%2", line.slavePath.mid(line.slavePath.lastIndexOf('/') + 1))
            .replace("%3",
                     QString::asprintf("%03u.%03u", major(device.st_rdev), minor(device.st_rdev)));
        const QByteArray written = content.isEmpty()
                                       ? QByteArray(reinterpret_cast<const char *>(&id), sizeof id)
                                       : QString::asprintf(content.constData(), int(id)).toLatin1();
        if (byFile) {
            QFile file(lockFile);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(written) == written.size());
        }
        rlimit limit;
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlimit wide = limit;
        if (holder == QLatin1String("descriptors"))
            limit.rlim_cur = 0; // below the descriptors open already: none is left
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &limit), 0);

        Modem modem;
        const bool opened = modem.openTty(line.slavePath);
        setrlimit(RLIMIT_NOFILE, &wide);
        const OpenFailure why = modem.lastOpenFailure();
        modem.closeTty();
        if (child > 0 && alive) {
            ::kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        QFile file(lockFile);
        const QByteArray left = byFile && file.open(QIODevice::ReadOnly) ? file.readAll() : "";
        if (byFile)
            QFile::remove(lockFile);
        QCOMPARE(why, failure);
        QCOMPARE(opened, failure == OpenFailure::None);
        QCOMPARE(left, alive && byFile ? written : QByteArray()); // ours went with our port
        if (opened)
            return;
        char byte;
        QCOMPARE(::read(line.master, &byte, 1), ssize_t(-1)); // nothing was written
        termios after;
        QCOMPARE(tcgetattr(line.slave, &after), 0);
        QCOMPARE(cfgetospeed(&after), speed_t(B1200));
        int exclusive = 0;
        QCOMPARE(ioctl(line.slave, TIOCGEXCL, &exclusive), 0);
        QCOMPARE(exclusive != 0, holder == QLatin1String("exclusive"));
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
