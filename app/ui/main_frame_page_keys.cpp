// Keys that turn the editor pages from anywhere in the window, as in any tabbed dialog.

#include <QShortcut>
#include <QTabBar>

#include "app/ui/main_frame.h"
#include "view/ui/ma_item_view.h"

namespace pl3 {

namespace {

struct PageKey {
    QKeyCombination keys;
    int step;  // +1: the next page, -1: the one before
};

// Ctrl+Shift+Tab also answers Shift+Tab's Backtab form: the shortcut map tries it as Tab.
constexpr PageKey kPageKeys[] = {
    {Qt::CTRL | Qt::Key_Tab, 1},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1},
    {Qt::CTRL | Qt::Key_PageDown, 1},
    {Qt::CTRL | Qt::Key_PageUp, -1},
};

}  // namespace

void CMainFrame::buildPageKeys() {
    for (const PageKey& key : kPageKeys) {
        auto* shortcut = new QShortcut(QKeySequence(key.keys), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = key.step] { turnPage(step); });
    }
}

void CMainFrame::turnPage(int step) {
    QTabBar* tabs = view_->tabBar();
    const int count = tabs->count();
    if (count == 0) return;
    // The keys follow into the page shown, where they were when it was last left; on the
    // tab bar they stay there.
    QWidget* focused = focusWidget();
    const bool focusInPage = focused != nullptr && focused != tabs && view_->isAncestorOf(focused);
    view_->commitPendingEdit();
    tabs->setCurrentIndex((tabs->currentIndex() + step + count) % count);
    if (focusInPage) view_->focusCurrentPage();
}

}  // namespace pl3
