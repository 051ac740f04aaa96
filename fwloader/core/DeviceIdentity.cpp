#include "DeviceIdentity.h"

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

QString firmwareLine(const DeviceIdentity &identity)
{
    QString line =
        QString::asprintf("FW: V%i.%02i", identity.fwVersion / 100, identity.fwVersion % 100);
    line += isLfProcessor(identity.fwVersion) ? QStringLiteral("\t[PIC18LF26K80]")
                                              : QStringLiteral("\t[PIC18F26K22]");
    if (identity.hwVariant == 2)
        line += QStringLiteral(": ZOR01");
    return line;
}
