// The "模块操作" tab: the five module pages, in their fixed order. Pages are
// empty tabs until their area puts its page in with setPage, before the
// window is first shown (the window sizes itself to its pages then). A page
// fills its entries of AppMain::hooks() and listens to AppMain::portClosed.
#pragma once

#include <QTabWidget>

namespace qx {

class PageHost : public QTabWidget
{
    Q_OBJECT

public:
    enum Page {
        kDidoPage = 0,
        kAiaoPage = 1,
        kPipoPage = 2,
        kConfigPage = 3,
        kPlcPage = 4,
        kPageCount = 5,
    };

    explicit PageHost(QWidget *parent = nullptr);

    // Puts a module page in place of its empty tab; the host owns it.
    void setPage(Page page, QWidget *widget);
    QWidget *page(Page page) const;
};

} // namespace qx
