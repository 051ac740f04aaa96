#pragma once

#include <QStringList>

// The serial ports the device search walks through, in the order it tries them.
enum class Platform { Windows, Linux };

Platform currentPlatform();

// Windows: "COM1" to "COM50". Linux: /dev/ttyUSB0..15, /dev/ttyACM0..15, /dev/ttyS0..17.
QStringList defaultTtyList(Platform platform);
