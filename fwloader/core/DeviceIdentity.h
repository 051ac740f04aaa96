#pragma once

#include <QString>

// What a device of the family tells about itself in its 11-byte answer to "@v;".
struct DeviceIdentity
{
    QString hwFamily;  // bytes 2 and 3, "Z5" or "Z2"
    int fwVersion = 0; // bytes 4 to 6, in hundredths: 103 is V1.03
    int hwVariant = 0; // bytes 7 to 9
};

constexpr int identificationLength = 11;

// reply must hold identificationLength bytes. A field that is not three digits counts as 0.
DeviceIdentity parseIdentification(const char *reply);

// A family of ours with firmware 1.03 or later.
bool isAcceptedDevice(const DeviceIdentity &identity);

// Firmware versions above 1.99 run on the PIC18LF26K80, the older ones on the PIC18F26K22.
bool isLfProcessor(int fwVersion);

// The processors the family's firmware runs on, each with a firmware version that stands for it.
struct KnownProcessor
{
    const char *name;
    int fwVersion;
};
constexpr KnownProcessor knownProcessors[] = {{"PIC18F26K22", 103}, {"PIC18LF26K80", 200}};

// The processor a firmware version runs on: one of knownProcessors' names.
QString processorName(int fwVersion);

// "V1.05" for 105.
QString firmwareVersionText(int fwVersion);

// "FW: V1.05\t[PIC18F26K22]: ZOR01"
QString firmwareLine(const DeviceIdentity &identity);
