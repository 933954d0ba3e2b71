#pragma once
// The main window's client area: a tab control with the three editor pages. Every
// document-wide change reaches the pages through onDocumentChanged().

#include <QTabBar>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "codeplug/document.h"
#include "editors/ui/form_page.h"
#include "lang/text_lookup.h"
#include "platform/prompter.h"

class QStackedWidget;

namespace pl3 {

// Tabs drawn with the selected one in bold.
class BoldSelectedTabBar : public QTabBar {
  public:
    using QTabBar::QTabBar;

  protected:
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;
};

class CMaItemView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 101;
    static constexpr int kTabControl = 1016;
    static constexpr int kPageCount = 3;
    static constexpr int kChannelPage = 0;
    static constexpr int kFunctionsPage = 1;
    static constexpr int kRadioPage = 2;

    // onFrameTexts: the frame sets its title, menus and status bar in the current language.
    // The pages ask their questions through prompter (the frame's).
    CMaItemView(const TextLookup& texts, CMaItemDoc& doc, Prompter& prompter,
                std::function<void()> onFrameTexts, QWidget* parent = nullptr);
    ~CMaItemView() override;

    // The document changed: frame texts, then every page, then the tab captions.
    void onDocumentChanged();

    // A frame command is about to run: the text box or cell editor the user is typing in
    // commits now, so saving, writing or closing includes what was typed. The keys stay
    // on the page: on the same widget, or on the grid once its cell editor has closed.
    void commitPendingEdit();

    // The keys go into the page shown: to the widget that last had them there, else to
    // the channel grid or the page's first control.
    void focusCurrentPage();

    QTabBar* tabBar() const { return tabs_; }
    QWidget* page(int index) const { return pages_[static_cast<std::size_t>(index)]; }
    int currentPage() const;

  private:
    void setTabCaptions();

    const TextLookup& texts_;
    CMaItemDoc& doc_;
    std::function<void()> onFrameTexts_;
    BoldSelectedTabBar* tabs_;
    QStackedWidget* stack_;
    std::array<FormPage*, kPageCount> pages_{};
    int listener_ = 0;
};

// "     " + text + "     ": the tab captions keep a margin of five blanks on each side.
QString tabCaption(const std::string& text);

}  // namespace pl3
