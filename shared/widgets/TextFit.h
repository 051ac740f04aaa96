#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps every label and button of a window laid out at fixed pixel positions wide enough for its
// whole text, and a word-wrapped label tall enough, whatever font the system uses. The designed
// arrangement stays: a widget grows only by what its text needs; what stands to its right (or
// below it) moves along, widgets that share a column edge stay aligned, and the containers and
// the window grow with them. Every fit starts again from the designed geometry, so a widget
// shrinks back when a shorter text replaces a long one. A text change is noticed through the
// layout request Qt posts to the widget's parent, so the windows need no call after a setText.
class TextFit : public QObject
{
public:
    // Takes the window's current geometry as the design and keeps its texts whole from now on;
    // the fitter belongs to the window.
    static void keep(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TextFit(QWidget *window);

    // Lays the window out again from the design for the texts it holds now.
    void fit();
    void remember(QWidget *container);
    QSize fitChildren(QWidget *container);
    QSize needed(QWidget *widget) const;

    QWidget *window;
    QWidget *root; // the central widget, or the window itself
    QSize designWindowSize;
    QHash<QWidget *, QRect> design; // every widget of the form, by its designed geometry
    bool fitting = false;
};
