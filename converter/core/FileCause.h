#pragma once

#include "Platform.h"

#include <QCoreApplication>
#include <QString>

// Why a file could not be read or written, as the user is told: one short German text per
// cause, shared by the window and the batch mode.
class FileCause
{
    Q_DECLARE_TR_FUNCTIONS(FileCause)

public:
    static QString text(const Platform::FileResult &result);
};
