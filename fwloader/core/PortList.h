#pragma once

#include <QStringList>

// The serial ports the device search walks through, in the order it tries them.
enum class PortSystem { Windows, Linux };

PortSystem currentPortSystem();

// Windows: "COM1" to "COM50", and on Windows itself the ports it has beyond those. Linux:
// /dev/ttyUSB0..15, /dev/ttyACM0..15, /dev/ttyS0..17.
QStringList defaultTtyList(PortSystem system);

// The one name of the device behind a port name: absolute, every link, "..", "." and doubled
// slash resolved (as far as the path exists). Two spellings of one port give one name, so that
// the serial layer's own lock, named after the name it gets, binds them both.
QString resolvedPortName(const QString &port);
