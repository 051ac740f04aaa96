#include "core/Modem.h"

#include "core/PortList.h"
#include "platform/MessageText.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstring>

namespace {

OpenFailure fromClaim(Platform::DeviceClaim claim)
{
    switch (claim) {
    case Platform::DeviceClaim::Held:
        return OpenFailure::None;
    case Platform::DeviceClaim::NotFound:
        return OpenFailure::NotFound;
    case Platform::DeviceClaim::NotATerminal:
        return OpenFailure::NotSerial;
    case Platform::DeviceClaim::NoPermission:
        return OpenFailure::PermissionDenied;
    case Platform::DeviceClaim::Busy:
        return OpenFailure::Busy;
    case Platform::DeviceClaim::NoDescriptors:
        return OpenFailure::NoDescriptors;
    case Platform::DeviceClaim::Failed:
        break;
    }
    return OpenFailure::Other;
}

OpenFailure classify(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return OpenFailure::None;
    case QSerialPort::DeviceNotFoundError:
        return OpenFailure::NotFound;
    case QSerialPort::PermissionError:
        // We may open the device (its lock is ours), so another program holds it: by the
        // serial layer's lock file on Linux, by its handle on Windows.
        return OpenFailure::Busy;
    default:
        return OpenFailure::Other;
    }
}

} // namespace

QString permissionHint(const QString &portName)
{
    const QFileInfo info(resolvedPortName(portName));
    const QString port = shownInMessage(portName);
    const QString group = info.group();
    const auto groupRights = QFile::ReadGroup | QFile::WriteGroup;
    if (group.isEmpty() || group == QLatin1String("root") ||
        (info.permissions() & groupRights) != groupRights)
        return QCoreApplication::translate("LoaderWindow",
                                           "Kein Zugriff auf %1: dieser Benutzer darf das Geraet "
                                           "nicht oeffnen.")
            .arg(port);
    return QCoreApplication::translate("LoaderWindow",
                                       "Kein Zugriff auf %1: das Geraet gehoert der Gruppe %2. "
                                       "Den Benutzer in diese Gruppe aufnehmen (sudo usermod -aG "
                                       "%2 $USER) und neu anmelden.")
        .arg(port, group);
}

Modem::Modem(QObject *parent)
    : QObject(parent)
{
}

Modem::~Modem()
{
    closePort();
}

void Modem::setBaudrate(int newRate)
{
    if (newRate == 9600 || newRate == 57600 || newRate == 115200)
        rate = newRate;
}

bool Modem::openTty(const QString &portName)
{
    closePort();
    lineLost = false;
    openFailure = OpenFailure::None;
    // The lock comes first: as root, opening a port that another loader holds would change its
    // line speed, and closing it again would end that loader's exclusive use.
    const QString device = resolvedPortName(portName);
    deviceLock = Platform::lockDevice(device);
    openFailure = portName.isEmpty() ? OpenFailure::NotFound : fromClaim(deviceLock.claim);
    if (openFailure == OpenFailure::None) {
        port = std::make_unique<QSerialPort>();
        port->setPortName(device);
        port->setBaudRate(rate);
        port->setDataBits(QSerialPort::Data8);
        port->setParity(QSerialPort::NoParity);
        port->setStopBits(QSerialPort::OneStop);
        port->setFlowControl(QSerialPort::NoFlowControl);
        // The serial layer tells a lock file it could not make as a lock file in the way: with
        // too few descriptors left for its two, that was the cause.
        if (!port->open(QIODevice::ReadWrite)) {
            const int left = Platform::freeDescriptors();
            openFailure = left >= 0 && left < descriptorsPerPort - 1 ? OpenFailure::NoDescriptors
                                                                     : classify(port->error());
        }
    }
    if (openFailure != OpenFailure::None) {
        closePort();
        emit setTtyText(QStringLiteral("?"));
        return false;
    }
    // A pseudo-terminal refuses the modem lines; the device does not need them to answer.
    port->setDataTerminalReady(true);
    port->setRequestToSend(true);
    port->clearError();
    connect(port.get(), &QSerialPort::errorOccurred, this, &Modem::noteError);
    connect(port.get(), &QSerialPort::readyRead, this, &Modem::inputArrived);
    emit setTtyText(portName);
    return true;
}

void Modem::closePort()
{
    if (port && port->isOpen())
        port->close();
    port.reset();
    Platform::releaseDevice(deviceLock);
}

bool Modem::closeTty()
{
    closePort();
    lineLost = false;
    emit setTtyText(QStringLiteral("?"));
    return true;
}

bool Modem::isOpen() const
{
    return port != nullptr;
}

void Modem::noteError(QSerialPort::SerialPortError error)
{
    // A hang-up shows as a resource error when the driver reports one, and as a read error when
    // the terminal just ends its input (a pseudo-terminal whose other side was closed). Either
    // way the port is of no further use; Qt would keep polling it, so it is closed outside the
    // signal that reported the error.
    // An empty read while the event loop runs (its notice came after another read had taken
    // the bytes) looks like the end of input too; only a line that really hung up is lost.
    if (error == QSerialPort::ReadError && !Platform::lineHungUp(qintptr(port->handle()))) {
        port->clearError();
        return;
    }
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
        error == QSerialPort::WriteError) {
        lineLost = true;
        QTimer::singleShot(0, this, &Modem::closeLostLine);
    }
}

void Modem::closeLostLine()
{
    if (lineLost && port && port->isOpen())
        port->close();
}

bool Modem::settleWait()
{
    // A wait that ran out leaves a time-out error that means nothing; any other error ends the
    // wait, so that a failing port is never polled in a loop.
    const QSerialPort::SerialPortError error = port->error();
    if (error == QSerialPort::TimeoutError)
        port->clearError();
    return !lineLost && (error == QSerialPort::NoError || error == QSerialPort::TimeoutError);
}

int Modem::readTty(char *buffer, int count)
{
    if (!port || lineLost || count <= 0) {
        closeLostLine();
        return 0;
    }
    if (port->bytesAvailable() == 0) {
        // Let the driver hand over what it holds; a zero wait that finds nothing is no error.
        port->waitForReadyRead(0);
        if (port->error() == QSerialPort::TimeoutError)
            port->clearError();
    }
    const qint64 n = port->read(buffer, count);
    return n > 0 ? int(n) : 0;
}

bool Modem::waitForInput(int msecs)
{
    if (!port || lineLost) {
        closeLostLine();
        return false;
    }
    if (port->bytesAvailable() > 0)
        return true;
    QDeadlineTimer deadline(qMax(0, msecs));
    do {
        const bool ready = port->waitForReadyRead(int(deadline.remainingTime()));
        if (ready || port->bytesAvailable() > 0)
            return true;
        if (!settleWait())
            return false;
    } while (!deadline.hasExpired());
    return false;
}

bool Modem::writeBlock(const char *data, int length, int msecs)
{
    if (length == 0)
        return true;
    if (!port || lineLost || length < 0) {
        closeLostLine();
        return false;
    }
    if (port->write(data, length) != length)
        return false;
    QDeadlineTimer deadline(qMax(0, msecs));
    while (port->bytesToWrite() > 0) {
        port->waitForBytesWritten(int(deadline.remainingTime()));
        if (!settleWait() || deadline.hasExpired())
            break;
    }
    return port->bytesToWrite() == 0 && !lineLost;
}

bool Modem::writeTty(const char *text)
{
    return writeBlock(text, int(std::strlen(text)), defaultWriteMs);
}

bool Modem::writeChar(int value)
{
    const char byte = char(value & 0xFF);
    return writeBlock(&byte, 1, defaultWriteMs);
}
