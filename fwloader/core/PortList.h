#pragma once

#include <QStringList>

// The serial ports the device search walks through, in the order it tries them.
enum class PortSystem { Windows, Linux };

PortSystem currentPortSystem();

// Windows: "COM1" to "COM50". Linux: /dev/ttyUSB0..15, /dev/ttyACM0..15, /dev/ttyS0..17.
QStringList defaultTtyList(PortSystem system);

// The device file behind a port name as the serial layer opens it: on Linux a name without a
// folder ("ttyUSB0") lies in /dev; elsewhere the name itself.
QString portSystemLocation(const QString &port);
