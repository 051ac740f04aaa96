#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

// The labels and buttons of window whose text is not shown whole, each named with its text:
// the text does not fit into the place where the widget draws it, or the widget reaches out of
// one of its parents. Judged from the font metrics, as a person would see it.
inline QStringList cutTexts(const QWidget *window)
{
    QStringList cut;
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<const QLabel *>(widget);
        const auto *button = qobject_cast<const QAbstractButton *>(widget);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty() || !widget->isVisibleTo(window))
            continue;
        const QFontMetrics metrics = widget->fontMetrics();
        bool whole = true;
        if (label) {
            const int m = label->margin();
            const QRect place = label->contentsRect().adjusted(m, m, -m, -m);
            const int flags = int(label->alignment()) | Qt::TextExpandTabs |
                              (label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
            whole = place.contains(metrics.boundingRect(place, flags, text));
        } else {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect place =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            // The "&" before a mnemonic is drawn as the underline, not as a character.
            whole = metrics.size(Qt::TextShowMnemonic, text).width() <= place.width() &&
                    metrics.height() <= place.height();
        }
        // Whatever lies outside a parent is not drawn. A window of its own among the children
        // (a preview beside the main window) is judged within itself.
        const QWidget *top = widget->window();
        QRect rect(widget->mapTo(top, QPoint(0, 0)), widget->size());
        for (const QWidget *p = widget->parentWidget(); p; p = p->parentWidget()) {
            const QRect parentRect(p == top ? QPoint(0, 0) : p->mapTo(top, QPoint(0, 0)),
                                   p->size());
            whole = whole && parentRect.contains(rect);
            if (p == top)
                break;
        }
        if (!whole) {
            cut << QStringLiteral("%1 \"%2\" in %3x%4")
                       .arg(widget->objectName(), text)
                       .arg(widget->width())
                       .arg(widget->height());
        }
    }
    return cut;
}
