#pragma once

class QWidget;

// A tool tip is written in HTML for the eye; assistive technology reads a widget's tool tip as
// its description, tags and all. Gives every widget of the window that has a tool tip and no
// description of its own the tool tip's words as plain text for a description.
void describeToolTips(QWidget *window);
