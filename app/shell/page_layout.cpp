#include "page_layout.h"

#include <algorithm>

#include <QBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWidgetItem>

namespace qx {

namespace {

// Never sideways: as wide as its content needs; as high as well until the
// window lets it scroll.
class PageScrollArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

    void setScrollsDown(bool scrolls) { m_scrollsDown = scrolls; }

    QSize minimumSizeHint() const override
    {
        const QSize own = QScrollArea::minimumSizeHint();
        if (widget() == nullptr)
            return own;
        QSize content = widget()->minimumSizeHint() + QSize(2 * frameWidth(), 2 * frameWidth());
        // scrolling down, the scroll bar takes its width from the content's
        if (m_scrollsDown)
            content.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
        return {std::max(own.width(), content.width()), m_scrollsDown ? own.height() : content.height()};
    }

private:
    bool m_scrollsDown = false;
};

// The window's least size with the scroll areas' and boxes' new hints.
// Layouts of hidden pages do not pass a change on by themselves, so every
// level from the changed widget up to the window forgets what it had cached.
QSize freshLeastSize(QWidget *window, const std::vector<QWidget *> &changed)
{
    for (QWidget *widget : changed) {
        for (QWidget *w = widget; w != nullptr && w != window; w = w->parentWidget()) {
            if (w->layout() != nullptr)
                w->layout()->invalidate();
            w->updateGeometry();
        }
    }
    if (window->layout() != nullptr)
        window->layout()->invalidate();
    return window->minimumSizeHint();
}

} // namespace

QSize pagesLeastSize(QWidget *window, QSize screen)
{
    std::vector<PageScrollArea *> areas;
    std::vector<QWidget *> changed;
    for (QScrollArea *area : window->findChildren<QScrollArea *>()) {
        if (auto *page = dynamic_cast<PageScrollArea *>(area)) {
            areas.push_back(page);
            changed.push_back(page);
        }
    }
    // neither has a meta-object of its own: they are told by their C++ type
    std::vector<AdaptiveBoxes *> boxes;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (auto *b = dynamic_cast<AdaptiveBoxes *>(w)) {
            boxes.push_back(b);
            changed.push_back(b);
        }
    }
    for (PageScrollArea *area : areas)
        area->setScrollsDown(false);
    // Best: every page whole, its boxes in their widest arrangement (with
    // longer texts, as in English, that may need more than the window's
    // usual share of the screen); then whole in any arrangement; then
    // scrolling down.
    for (AdaptiveBoxes *b : boxes)
        b->setPreferWidest(true);
    const QSize widest = freshLeastSize(window, changed);
    for (AdaptiveBoxes *b : boxes)
        b->setPreferWidest(false);
    if (widest.width() <= screen.width() && widest.height() <= screen.height()) {
        freshLeastSize(window, changed);
        return widest;
    }
    const QSize whole = freshLeastSize(window, changed);
    if (whole.height() <= screen.height())
        return whole;
    for (PageScrollArea *area : areas)
        area->setScrollsDown(true);
    return freshLeastSize(window, changed);
}

QWidget *scrollingContent(QWidget *page)
{
    auto *root = new QVBoxLayout(page);
    root->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new PageScrollArea(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    root->addWidget(scroll);
    auto *content = new QWidget(scroll);
    scroll->setWidget(content);
    return content;
}

BoxPart::BoxPart(QWidget *w, int stretch)
    : widget(w)
    , stretch(stretch)
{
}

BoxPart BoxPart::row(std::vector<BoxPart> parts, int stretch)
{
    return group(Qt::Horizontal, std::move(parts), stretch);
}

BoxPart BoxPart::column(std::vector<BoxPart> parts, int stretch)
{
    return group(Qt::Vertical, std::move(parts), stretch);
}

BoxPart BoxPart::group(Qt::Orientation orientation, std::vector<BoxPart> parts, int stretch)
{
    BoxPart p;
    p.orientation = orientation;
    p.parts = std::move(parts);
    p.stretch = stretch;
    return p;
}

AdaptiveBoxes::AdaptiveBoxes(QWidget *parent)
    : QWidget(parent)
{
    m_spacing = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
}

void AdaptiveBoxes::addArrangement(BoxPart arrangement)
{
    m_arrangements.push_back(std::move(arrangement));
    // until the first resize: the widest, so that a window sized before the
    // page was ever shown makes room for the page at its widest
    if (m_arrangements.size() == 1)
        apply(0);
}

QSize AdaptiveBoxes::minimumSizeHint() const
{
    if (m_arrangements.empty() || layout() == nullptr)
        return QWidget::minimumSizeHint();
    if (m_preferWidest)
        return {leastWidth(m_arrangements.front()), leastHeight(m_arrangements.front())};
    return {leastWidth(m_arrangements.back()), layout()->minimumSize().height()};
}

void AdaptiveBoxes::setPreferWidest(bool prefer)
{
    m_preferWidest = prefer;
    updateGeometry();
}

QSize AdaptiveBoxes::sizeHint() const
{
    return layout() == nullptr ? QWidget::sizeHint() : layout()->sizeHint().expandedTo(minimumSizeHint());
}

void AdaptiveBoxes::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrangeForWidth();
}

void AdaptiveBoxes::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    arrangeForWidth();
}

void AdaptiveBoxes::arrangeForWidth()
{
    // A hidden page is not laid out: the width it has (or gets when the
    // window is rendered) is not the one it will show at.
    if (!isVisible())
        return;
    // A narrow arrangement may be what made the page scroll: an arrangement
    // low enough to end the scrolling is judged by the width it will have
    // without the scroll bar, else it is never tried; any other keeps the
    // scroll bar beside it.
    int scrollBar = 0;
    int spareHeight = 0;
    for (QWidget *p = parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(p)) {
            if (area->widget() != nullptr) {
                scrollBar = area->maximumViewportSize().width() - area->widget()->width();
                spareHeight = area->maximumViewportSize().height() - (area->widget()->height() - height());
            }
            break;
        }
    }
    std::size_t fits = m_arrangements.size() - 1;
    for (std::size_t i = 0; i + 1 < m_arrangements.size(); ++i) {
        const bool endsScrolling = leastHeight(m_arrangements[i]) <= spareHeight;
        if (leastWidth(m_arrangements[i]) <= width() + (endsScrolling ? scrollBar : 0)) {
            fits = i;
            break;
        }
    }
    if (fits != m_current)
        apply(fits);
}

void AdaptiveBoxes::apply(std::size_t index)
{
    // the widgets stay; only the layouts that place them go
    delete layout();
    QBoxLayout *top = build(m_arrangements[index]);
    top->setContentsMargins(0, 0, 0, 0);
    setLayout(top);
    m_current = index;
    updateGeometry();
}

QBoxLayout *AdaptiveBoxes::build(const BoxPart &part)
{
    const bool row = part.orientation == Qt::Horizontal;
    auto *box = new QBoxLayout(row ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    box->setSpacing(m_spacing);
    const bool anyStretch
        = std::any_of(part.parts.begin(), part.parts.end(), [](const BoxPart &p) { return p.stretch > 0; });
    for (const BoxPart &p : part.parts) {
        const int stretch = anyStretch ? p.stretch : row ? 1 : 0;
        if (p.widget != nullptr)
            box->addWidget(p.widget, stretch);
        else
            box->addLayout(build(p), stretch);
    }
    if (!row && !anyStretch)
        box->addStretch(1);
    return box;
}

int AdaptiveBoxes::leastWidth(const BoxPart &part) const
{
    return leastExtent(part, Qt::Horizontal);
}

int AdaptiveBoxes::leastHeight(const BoxPart &part) const
{
    return leastExtent(part, Qt::Vertical);
}

// The least width (or height) of an arrangement: its parts' sum along a row
// (column) with the spacing between them, their largest across it.
int AdaptiveBoxes::leastExtent(const BoxPart &part, Qt::Orientation along) const
{
    if (part.widget != nullptr) {
        const QWidgetItem item(part.widget);
        if (item.isEmpty())
            return 0;
        return along == Qt::Horizontal ? item.minimumSize().width() : item.minimumSize().height();
    }
    int total = 0;
    int shown = 0;
    for (const BoxPart &p : part.parts) {
        const int extent = leastExtent(p, along);
        if (extent == 0)
            continue;
        ++shown;
        total = part.orientation == along ? total + extent : std::max(total, extent);
    }
    if (part.orientation == along && shown > 1)
        total += m_spacing * (shown - 1);
    return total;
}

} // namespace qx
