#pragma once

#include <QString>

// Where both programs keep their settings: Qt's native store under this organisation, the
// converter and the loader side by side under the application "ZOR2".
namespace SettingsPlace {

inline QString organisation()
{
    return QStringLiteral("VEZ");
}

inline QString application()
{
    return QStringLiteral("ZOR2");
}

} // namespace SettingsPlace
