#pragma once

#include <QString>

// What comes from files and names, made fit for a message line: every control character shown
// as "\x1b" (NUL as "\x00", a line break as "\x0a"), every byte of a name that is no UTF-8
// as "\xE4", and every character that changes the direction of the text after it (embeddings,
// overrides, isolates) as "\u202e". A message is then always one line, no file can drive the
// terminal, and no name can turn the words and numbers after it around.
QString shownInMessage(const QString &text);
