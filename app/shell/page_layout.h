// How a page shares out the window: its content scrolls down when the
// window is too low for it (never sideways), and AdaptiveBoxes places its
// boxes by the widest of several arrangements that fits the width, so a
// wide screen shows a page whole and a narrow one in fewer, longer columns.
#pragma once

#include <vector>

#include <QWidget>

class QBoxLayout;

namespace qx {

// Gives `page` a scroll area that fills it and returns the widget inside,
// for the page's own layout. The content takes the page's full width and,
// once letPagesScroll allows it, scrolls down when it is higher than the
// page; until then the page asks for its content's whole height.
QWidget *scrollingContent(QWidget *page);

// Sizes `window` for a screen of `screen` size: the pages show whole when
// the window can hold them within the screen's height, otherwise they
// scroll down. Returns the least size the window then needs.
QSize pagesLeastSize(QWidget *window, QSize screen);

// One arrangement: a widget, or a row or column of parts. A row shares its
// extra width among its parts by their stretch (evenly when none has one);
// a column packs its parts at the top unless one of them stretches.
struct BoxPart
{
    BoxPart(QWidget *w, int stretch = 0);
    static BoxPart row(std::vector<BoxPart> parts, int stretch = 0);
    static BoxPart column(std::vector<BoxPart> parts, int stretch = 0);

    QWidget *widget = nullptr;
    Qt::Orientation orientation = Qt::Horizontal;
    std::vector<BoxPart> parts;
    int stretch = 0;

private:
    BoxPart() = default;
    static BoxPart group(Qt::Orientation orientation, std::vector<BoxPart> parts, int stretch);
};

class AdaptiveBoxes : public QWidget
{
public:
    explicit AdaptiveBoxes(QWidget *parent = nullptr);

    // Arrangements are added widest first; each places the same widgets.
    // Until the widget is first laid out it takes the widest.
    void addArrangement(BoxPart arrangement);

    // As narrow as the narrowest arrangement, as high as the one in use;
    // while the widest is preferred, as large as the widest.
    QSize minimumSizeHint() const override;
    void setPreferWidest(bool prefer);
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void arrangeForWidth();
    void apply(std::size_t index);
    QBoxLayout *build(const BoxPart &part);
    int leastWidth(const BoxPart &part) const;
    int leastHeight(const BoxPart &part) const;
    int leastExtent(const BoxPart &part, Qt::Orientation along) const;

    std::vector<BoxPart> m_arrangements;
    std::size_t m_current = 0;
    int m_spacing = 0;
    bool m_preferWidest = false;
};

} // namespace qx
