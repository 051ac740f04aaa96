#pragma once

#include <QString>

// What comes from files and names, made fit for a message line: every control character shown
// as "\x1b" (NUL as "\x00", a line break as "\x0a"), and every byte of a name that is no UTF-8
// as "\xE4". A message is then always one line, and no file can drive the terminal.
QString shownInMessage(const QString &text);
