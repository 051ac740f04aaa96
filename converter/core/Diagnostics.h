#pragma once

#include <QLoggingCategory>

// The converter's diagnostic lines: the header values of an old file, the steps of a conversion,
// the translation chosen. Off by default, so that a normal run leaves the terminal quiet; on with
// --verbose or QT_LOGGING_RULES="zor2conv.debug=true".
Q_DECLARE_LOGGING_CATEGORY(converterDiagnostics)

// --verbose: the diagnostic lines on, each written as it always was, without a name before it.
void enableDiagnostics();
