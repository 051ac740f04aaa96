#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

// Runs the device simulator (tools/zor2devsim) for one test: starts it with the given options,
// learns the path of its pseudo-terminal and ends it again. The simulator's life is bounded, so
// that a test that dies never leaves it running.
class DeviceSimulator
{
public:
    DeviceSimulator() = default;
    DeviceSimulator(const DeviceSimulator &) = delete;
    DeviceSimulator &operator=(const DeviceSimulator &) = delete;
    ~DeviceSimulator() { stop(); }

    bool start(const QStringList &options = {})
    {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral(ZOR2_DEVSIM_PATH),
                      options +
                          QStringList{QStringLiteral("--max-seconds"), QStringLiteral("120")});
        if (!process.waitForStarted(5000))
            return false;
        QDeadlineTimer deadline(5000);
        while (!process.canReadLine() && !deadline.hasExpired())
            process.waitForReadyRead(int(deadline.remainingTime()));
        ttyPath = QString::fromLocal8Bit(process.readLine()).trimmed();
        return !ttyPath.isEmpty();
    }

    const QString &path() const { return ttyPath; }

    // With --report-input: the bytes the device has received so far, as last reported.
    long receivedBytes()
    {
        process.waitForReadyRead(20);
        output += process.readAllStandardOutput();
        const qsizetype at = output.lastIndexOf("input ", output.lastIndexOf('\n'));
        return at < 0 ? 0 : output.mid(at + 6, output.indexOf('\n', at) - at - 6).toLong();
    }

    // Waits for the simulator to end by itself (for --exit-after-flash, or after a hang-up).
    bool waitForExit(int msecs) { return process.waitForFinished(msecs); }

    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }

    QProcess process;

private:
    QString ttyPath;
    QByteArray output;
};
