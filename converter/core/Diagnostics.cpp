#include "core/Diagnostics.h"

Q_LOGGING_CATEGORY(converterDiagnostics, "zor2conv", QtInfoMsg)

void enableDiagnostics()
{
    QLoggingCategory::setFilterRules(QStringLiteral("zor2conv.debug=true"));
    qSetMessagePattern(QStringLiteral("%{message}"));
}
