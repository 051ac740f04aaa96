#pragma once

#include <QString>

class QFont;

// Texts the plot shows that come from files and people: its title and the names of its curves.

// A description as a chart title of at most width pixels in font: one line of plain text,
// shortened with "…" where it is wider, given in the HTML a chart title takes. Only as much of
// the description as can fit is ever laid out, so that memory and time stay bounded however
// long it is (a chart left to shorten it itself needs memory growing with the square of its
// length).
QString chartTitleHtml(const QString &description, const QFont &font, qreal width);

// A header, description or file name as the preview shows it: plain text on one line, with
// control characters and the characters that turn the direction of text shown as "\x1b" and
// "\u202e", so that no name can change how the names and numbers after it read.
QString shownName(const QString &text);
