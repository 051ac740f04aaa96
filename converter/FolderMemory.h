#pragma once

#include <QString>

// The folder of a file, made absolute, with a trailing "/": the folder that is remembered
// for the next file dialog.
QString folderToRemember(const QString &filePath);
