#include "view/ui/ma_item_view.h"

#include <QApplication>
#include <QStackedWidget>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QVBoxLayout>

#include "codeplug/text_keys.h"
#include "editors/ui/channel_page.h"
#include "editors/ui/functions_page.h"
#include "editors/ui/radio_page.h"
#include "grid/ui/grid_ctrl.h"

namespace pl3 {

namespace {

constexpr std::array<std::string_view, CMaItemView::kPageCount> kTabKeys = {
    text_key::kChannel, text_key::kFunction1, text_key::kFunction2};
constexpr std::array<int, CMaItemView::kPageCount> kPageTemplates = {150, 151, 157};
constexpr int kFocusInset = 4;

// A widget the keys can go back to: still shown, enabled and taking the focus.
bool takesKeys(const QWidget* widget) {
    return widget != nullptr && widget->isVisible() && widget->isEnabled() &&
           widget->focusPolicy() != Qt::NoFocus;
}

QFont tabFont(const QFont& base, bool selected) {
    QFont font = base;
    font.setWeight(selected ? QFont::Black : QFont::Normal);
    return font;
}

}  // namespace

QString tabCaption(const std::string& text) {
    return QStringLiteral("     ") + QString::fromStdString(text) + QStringLiteral("     ");
}

void BoldSelectedTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        painter.setFont(tabFont(font(), i == currentIndex()));
        painter.drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine, option.text);
        // The style draws the focus with the label, which is drawn here instead. Only keys
        // give the tab bar the focus, so the frame shows whenever it has it.
        if (option.state.testFlag(QStyle::State_HasFocus)) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.state |= QStyle::State_KeyboardFocusChange;
            focus.rect = option.rect.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

QSize BoldSelectedTabBar::tabSizeHint(int index) const {
    // Room for the bold face, whichever tab is selected.
    QFontMetrics bold(tabFont(font(), true));
    QSize size = QTabBar::tabSizeHint(index);
    size.setWidth(std::max(size.width(), bold.horizontalAdvance(tabText(index)) + 16));
    return size;
}

CMaItemView::CMaItemView(const TextLookup& texts, CMaItemDoc& doc, Prompter& prompter,
                         std::function<void()> onFrameTexts, QWidget* parent)
    : QWidget(parent),
      texts_(texts),
      doc_(doc),
      onFrameTexts_(std::move(onFrameTexts)),
      tabs_(new BoldSelectedTabBar(this)),
      stack_(new QStackedWidget(this)) {
    setProperty("templateNumber", kTemplate);
    tabs_->setProperty("resourceId", kTabControl);
    tabs_->setExpanding(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(stack_, 1);
    auto* channels = new ChannelPage(doc_, texts_, prompter, stack_);
    auto* radio = new RadioPage(doc_, texts_, stack_);
    pages_ = {channels, new FunctionsPage(doc_, texts_, stack_), radio};
    // Every change to the channels (new, moved, emptied) shows in the scan lists at once.
    channels->table().onChannelsChanged = [radio] { radio->rebuildScanLists(); };
    for (int i = 0; i < kPageCount; ++i) {
        FormPage* page = pages_[static_cast<std::size_t>(i)];
        page->setProperty("templateNumber", kPageTemplates[static_cast<std::size_t>(i)]);
        stack_->addWidget(page);
        tabs_->addTab(QString());
    }
    // Changing tabs hides the old page before the new one shows; hidden pages keep their state.
    connect(tabs_, &QTabBar::currentChanged, stack_, &QStackedWidget::setCurrentIndex);
    listener_ = doc_.addViewListener([this] { onDocumentChanged(); });
    setTabCaptions();
}

CMaItemView::~CMaItemView() {
    doc_.removeViewListener(listener_);
}

int CMaItemView::currentPage() const {
    return tabs_->currentIndex();
}

void CMaItemView::setTabCaptions() {
    for (int i = 0; i < kPageCount; ++i) {
        tabs_->setTabText(i, tabCaption(texts_.text(kTabKeys[static_cast<std::size_t>(i)])));
    }
}

void CMaItemView::commitPendingEdit() {
    // The pages commit their text boxes and in-place editors when these lose the focus.
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || !isAncestorOf(focused)) return;
    focused->clearFocus();
    if (takesKeys(focused)) {
        focused->setFocus(Qt::OtherFocusReason);
    } else {
        focusCurrentPage();
    }
}

void CMaItemView::focusCurrentPage() {
    QWidget* page = pages_[static_cast<std::size_t>(currentPage())];
    QWidget* target = page->focusWidget();
    if (!takesKeys(target) || !page->isAncestorOf(target)) {
        auto* channels = qobject_cast<ChannelPage*>(page);
        target = channels != nullptr ? channels->grid() : page->nextInFocusChain();
        while (target != nullptr && target != page &&
               !(page->isAncestorOf(target) && takesKeys(target) &&
                 (target->focusPolicy() & Qt::TabFocus) != 0))
            target = target->nextInFocusChain();
    }
    if (target != nullptr && target != page) target->setFocus(Qt::OtherFocusReason);
}

void CMaItemView::onDocumentChanged() {
    if (onFrameTexts_) onFrameTexts_();
    setTabCaptions();
    for (FormPage* page : pages_) {
        page->refresh();
        page->update();
    }
}

}  // namespace pl3
