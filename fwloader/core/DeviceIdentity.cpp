#include "core/DeviceIdentity.h"

namespace {

int threeDigits(const char *field)
{
    int value = 0;
    for (int i = 0; i < 3; ++i) {
        if (field[i] < '0' || field[i] > '9')
            return 0;
        value = value * 10 + (field[i] - '0');
    }
    return value;
}

} // namespace

DeviceIdentity parseIdentification(const char *reply)
{
    DeviceIdentity identity;
    identity.hwFamily = QString::fromLatin1(reply + 2, 2);
    identity.fwVersion = threeDigits(reply + 4);
    identity.hwVariant = threeDigits(reply + 7);
    return identity;
}

bool isAcceptedDevice(const DeviceIdentity &identity)
{
    const bool ourFamily =
        identity.hwFamily == QLatin1String("Z5") || identity.hwFamily == QLatin1String("Z2");
    return ourFamily && identity.fwVersion > 102;
}

bool isLfProcessor(int fwVersion)
{
    return fwVersion > 199;
}

QString processorName(int fwVersion)
{
    return QLatin1String(knownProcessors[isLfProcessor(fwVersion) ? 1 : 0].name);
}

QString firmwareVersionText(int fwVersion)
{
    return QString::asprintf("V%i.%02i", fwVersion / 100, fwVersion % 100);
}

QString firmwareLine(const DeviceIdentity &identity)
{
    QString line =
        QStringLiteral("FW: %1\t[%2]")
            .arg(firmwareVersionText(identity.fwVersion), processorName(identity.fwVersion));
    if (identity.hwVariant == 2)
        line += QStringLiteral(": ZOR01");
    return line;
}
