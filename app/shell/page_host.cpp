#include "page_host.h"

#include "shell_texts.h"
#include "ui_text.h"

namespace qx {

namespace {

constexpr Text kTitles[PageHost::kPageCount] = {
    shell_texts::kTabDido, shell_texts::kTabAiao, shell_texts::kTabPipo, shell_texts::kTabConfig, shell_texts::kTabPlc,
};

} // namespace

PageHost::PageHost(QWidget *parent)
    : QTabWidget(parent)
{
    for (Text title : kTitles)
        addTab(new QWidget(this), uiText(title));
}

void PageHost::setPage(Page page, QWidget *widget)
{
    QWidget *old = this->widget(page);
    bool current = currentIndex() == page;
    removeTab(page);
    insertTab(page, widget, uiText(kTitles[page]));
    if (current)
        setCurrentIndex(page);
    delete old;
}

QWidget *PageHost::page(Page page) const
{
    return widget(page);
}

} // namespace qx
