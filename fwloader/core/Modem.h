#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <memory>

// Why the last openTty() failed; the command line names a port it may not open. NoDescriptors:
// this process may open no further file.
enum class OpenFailure { None, NotFound, NotSerial, PermissionDenied, Busy, NoDescriptors, Other };

// The descriptors one open port takes: the device lock, the port and the serial layer's lock file.
constexpr int descriptorsPerPort = 3;

// The loader's receive buffer, and so the most one read takes when stale input is dropped.
constexpr int receiveBufferSize = 8004;

// One line for a port that exists but that this user may not open (PermissionDenied): on Linux
// the serial devices belong to a group (usually dialout) that the user has to join; a device
// that only its owner may use needs other rights, and joining root's group is never the answer.
QString permissionHint(const QString &port);

// The loader's only path to the device: one serial port at 57600 8N1, binary, no flow control,
// DTR and RTS on, opened exclusively: an advisory lock on the device, taken before the port is
// opened, keeps out a second loader whatever name it gives the port, root included. A port that
// another program holds (Platform::lockDevice) is never opened by the serial layer, which would
// change its line settings, remove a lock file it takes for stale or end its exclusive mode on
// closing. Reads never
// wait; every wait and every write has a bound. Once the line is lost (the device or adapter hung
// up) reads and writes fail at once.
class Modem : public QObject
{
    Q_OBJECT

public:
    explicit Modem(QObject *parent = nullptr);
    ~Modem() override;

    // 9600, 57600 or 115200; any other rate is ignored. Used by the next openTty().
    void setBaudrate(int rate);

    // The port name as the user gives it: "COM3" on Windows, a device path such as /dev/ttyUSB0
    // or a link to one on Linux; the device behind it is opened (resolvedPortName). Emits
    // setTtyText(port) on success and setTtyText("?") on failure.
    bool openTty(const QString &port);
    // Always true; emits setTtyText("?"). Harmless on a closed link.
    bool closeTty();

    // Copies what has arrived, up to count bytes, without waiting. 0 when nothing is there.
    int readTty(char *buffer, int count);
    // Writes the text up to its first NUL byte.
    bool writeTty(const char *text);
    // Writes the low 8 bits of value.
    bool writeChar(int value);

    // Waits at most msecs for input; true as soon as at least one byte can be read.
    bool waitForInput(int msecs);
    // Hands all length bytes (NUL bytes included) to the driver in one write and waits at most
    // msecs until it took them.
    bool writeBlock(const char *data, int length, int msecs);

    bool isLineLost() const { return lineLost; }
    // From a successful openTty() until closeTty(), also after the line was lost.
    bool isOpen() const;
    OpenFailure lastOpenFailure() const { return openFailure; }

    // Bound for writeTty() and writeChar().
    static constexpr int defaultWriteMs = 5000;

signals:
    void setTtyText(const QString &text);
    // Bytes arrived that readTty() can take.
    void inputArrived();

private:
    void noteError(QSerialPort::SerialPortError error);
    void closeLostLine();
    void closePort();
    bool settleWait();

    std::unique_ptr<QSerialPort> port;
    int rate = 57600;
    bool lineLost = false;
    OpenFailure openFailure = OpenFailure::None;
    Platform::DeviceLock deviceLock;
};
