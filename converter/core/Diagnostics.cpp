#include "Diagnostics.h"

Q_LOGGING_CATEGORY(converterDiagnostics, "zor2conv", QtInfoMsg)
