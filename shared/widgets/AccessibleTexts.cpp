#include "widgets/AccessibleTexts.h"

#include <QTextDocumentFragment>
#include <QWidget>

void describeToolTips(QWidget *window)
{
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : std::as_const(widgets)) {
        const QString tip = widget->toolTip();
        if (tip.isEmpty() || !widget->accessibleDescription().isEmpty())
            continue;
        const QString plain = Qt::mightBeRichText(tip)
                                  ? QTextDocumentFragment::fromHtml(tip).toPlainText().simplified()
                                  : tip;
        widget->setAccessibleDescription(plain);
    }
}
