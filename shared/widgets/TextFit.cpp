#include "widgets/TextFit.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {

// Only plain containers are looked into; a text panel's or a list's inner widgets are its own.
bool isContainer(const QWidget *widget)
{
    const QMetaObject *type = widget->metaObject();
    return type->className() == QByteArray("QGroupBox") || type == &QWidget::staticMetaObject ||
           type == &QFrame::staticMetaObject;
}

// One widget on one axis: where the design puts it, how much it grows, how far it moves.
struct Span
{
    int start;     // designed left (or top) edge
    int end;       // designed right (or bottom) edge, exclusive
    int crossFrom; // designed extent on the other axis
    int crossTo;
    int grow;
    int shift = 0;
};

// Moves every span behind the spans before it that grew, on one axis: a span is pushed by each
// span that ends before it starts and overlaps it on the other axis. Spans that start (or end) at
// the same designed edge keep that edge in common, so columns and rows stay aligned.
void arrange(std::vector<Span> &spans)
{
    for (int round = 0; round < 8; ++round) {
        bool changed = false;
        for (Span &s : spans) {
            for (const Span &before : spans) {
                // A span of no extent (a line that is empty until it has something to say)
                // would otherwise count as ahead of itself.
                const bool ahead = &before != &s && before.end <= s.start;
                const bool overlap = before.crossFrom < s.crossTo && s.crossFrom < before.crossTo;
                if (ahead && overlap && before.shift + before.grow > s.shift) {
                    s.shift = before.shift + before.grow;
                    changed = true;
                }
            }
        }
        for (Span &s : spans) {
            for (const Span &other : spans) {
                if (other.start == s.start && other.shift > s.shift) {
                    s.shift = other.shift;
                    changed = true;
                }
                const int otherEnd = other.end + other.shift + other.grow;
                if (other.end == s.end && otherEnd > s.end + s.shift + s.grow) {
                    s.grow = otherEnd - s.end - s.shift;
                    changed = true;
                }
            }
        }
        if (!changed)
            break;
    }
}

} // namespace

void TextFit::keep(QWidget *window)
{
    new TextFit(window); // owned by the window
}

TextFit::TextFit(QWidget *window)
    : QObject(window)
    , window(window)
    , root(window)
    , designWindowSize(window->size())
{
    if (auto *mainWindow = qobject_cast<QMainWindow *>(window);
        mainWindow && mainWindow->centralWidget())
        root = mainWindow->centralWidget();
    remember(root);
    window->installEventFilter(this);
    fit();
}

void TextFit::remember(QWidget *container)
{
    container->installEventFilter(this);
    for (QWidget *child : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        design.insert(child, child->geometry());
        if (isContainer(child))
            remember(child);
    }
}

bool TextFit::eventFilter(QObject *watched, QEvent *event)
{
    // A label or button whose text changed asks its parent for a new layout; a window shown for
    // the first time may hold texts set while it was hidden.
    const bool layoutRequest = event->type() == QEvent::LayoutRequest && watched != window;
    const bool shown = event->type() == QEvent::Show && watched == window;
    if ((layoutRequest || shown) && !fitting)
        fit();
    return QObject::eventFilter(watched, event);
}

void TextFit::fit()
{
    fitting = true;
    const QSize growth = fitChildren(root);
    const QSize wanted = designWindowSize + growth;
    const QSize now = window->size();
    // Never smaller than the texts need: no button is ever cut off.
    window->setMinimumSize(wanted);
    if (wanted.width() > now.width() || wanted.height() > now.height())
        window->resize(now.expandedTo(wanted));
    fitting = false;
}

// The size a widget needs for its whole text, never less than its design.
QSize TextFit::needed(QWidget *widget) const
{
    const QSize designed = design.value(widget).size();
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (label->text().isEmpty())
            return designed;
        if (label->wordWrap()) {
            // As wide as the longest word needs, as tall as the wrapped lines need.
            const int width = std::max(designed.width(), label->minimumSizeHint().width());
            return {width, std::max(designed.height(), label->heightForWidth(width))};
        }
        return designed.expandedTo(label->sizeHint());
    }
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        if (button->text().isEmpty())
            return designed;
        // A button draws its text centred in its frame: the style's padding is part of the
        // width it asks for, while one line of text inside the frame is all the height needs.
        const int frame =
            button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        const int height = button->fontMetrics().height() + 2 * frame;
        return {std::max(designed.width(), button->sizeHint().width()),
                std::max(designed.height(), height)};
    }
    return designed;
}

// Lays out the children of container from their design; returns how much the container itself
// has to grow.
QSize TextFit::fitChildren(QWidget *container)
{
    std::vector<QWidget *> children;
    for (QWidget *child : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (design.contains(child))
            children.push_back(child);
    }
    std::vector<Span> across;
    std::vector<Span> down;
    for (QWidget *child : children) {
        const QRect d = design.value(child);
        const QSize need = isContainer(child) ? d.size() + fitChildren(child) : needed(child);
        across.push_back({d.left(), d.left() + d.width(), d.top(), d.top() + d.height(),
                          need.width() - d.width()});
        down.push_back({d.top(), d.top() + d.height(), d.left(), d.left() + d.width(),
                        need.height() - d.height()});
    }
    arrange(across);
    arrange(down);

    int designRight = 0, designBottom = 0, right = 0, bottom = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        const Span &x = across[i];
        const Span &y = down[i];
        const QRect placed(x.start + x.shift, y.start + y.shift, x.end - x.start + x.grow,
                           y.end - y.start + y.grow);
        if (children[i]->geometry() != placed)
            children[i]->setGeometry(placed);
        designRight = std::max(designRight, x.end);
        designBottom = std::max(designBottom, y.end);
        right = std::max(right, placed.left() + placed.width());
        bottom = std::max(bottom, placed.top() + placed.height());
    }
    return {std::max(0, right - designRight), std::max(0, bottom - designBottom)};
}
