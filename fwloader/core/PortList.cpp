#include "core/PortList.h"

#include "platform/Platform.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace {

// The device file a port name means, as the serial layer reads it: on Linux a name that starts
// with neither "/", "./" nor "../" ("ttyUSB0", "pts/3") lies in /dev, the others are taken from
// the working folder; elsewhere the name itself.
QString portSystemLocation(const QString &port)
{
    if (currentPortSystem() == PortSystem::Windows || port.startsWith(QLatin1Char('/')) ||
        port.startsWith(QLatin1String("./")) || port.startsWith(QLatin1String("../")))
        return port;
    return QStringLiteral("/dev/") + port;
}

} // namespace

PortSystem currentPortSystem()
{
    return Platform::comPortNames() ? PortSystem::Windows : PortSystem::Linux;
}

QStringList defaultTtyList(PortSystem system)
{
    QStringList list;
    if (system == PortSystem::Windows) {
        for (int i = 1; i <= 50; ++i)
            list << QStringLiteral("COM%1").arg(i);
        if (currentPortSystem() != PortSystem::Windows)
            return list;
        // The ports this Windows has beyond those (USB adapters often get higher numbers), in
        // the order of their numbers.
        QStringList more;
        for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
            if (!list.contains(port.portName()) && !more.contains(port.portName()))
                more << port.portName();
        }
        std::sort(more.begin(), more.end(), [](const QString &a, const QString &b) {
            return a.mid(3).toInt() < b.mid(3).toInt();
        });
        return list + more;
    }
    // Linux has no COM names: USB adapters first, then the built-in ports; 50 names in all.
    for (int i = 0; i < 16; ++i)
        list << QStringLiteral("/dev/ttyUSB%1").arg(i);
    for (int i = 0; i < 16; ++i)
        list << QStringLiteral("/dev/ttyACM%1").arg(i);
    for (int i = 0; i < 18; ++i)
        list << QStringLiteral("/dev/ttyS%1").arg(i);
    return list;
}

QString resolvedPortName(const QString &port)
{
    if (currentPortSystem() == PortSystem::Windows || port.isEmpty())
        return port;
    // By the platform's own resolution, which keeps the bytes of a name that is no UTF-8.
    return Platform::resolvedPath(portSystemLocation(port));
}
