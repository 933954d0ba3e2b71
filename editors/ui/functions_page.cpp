#include "editors/ui/functions_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editors/ui/page_widgets.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

namespace {

using Rules = FunctionsPageRules;
using Page = FunctionsPage;

struct Row {
    int labelId;
    const char* caption;
    int controlId;
};

constexpr Row kFunctionRows[] = {
    {Page::kSquelchLevelLabel, "静噪等级", Rules::kSquelchLevelList},
    {Page::kTotLabel, "发射限时", Rules::kTotList},
    {Page::kScanDelayLabel, "扫描延时", Rules::kScanDelayList},
    {Page::kTailNoiseModeLabel, "尾音消除", Rules::kTailNoiseModeList},
    {Page::kLcdDisplayModeLabel, "信道显示方式", Rules::kLcdDisplayModeList},
    {Page::kBackLampLabel, "背光", Rules::kBackLampList},
    {Page::kKeyLockModeLabel, "键盘锁定方式", Rules::kKeyLockModeList},
    {Page::kSystemModeLabel, "系统模式", Rules::kSystemModeList},
};

constexpr Row kVoxRows[] = {
    {Page::kVoxLevelLabel, "声控等级", Rules::kVoxLevelList},
    {Page::kVoxDelayLabel, "声控延时", Rules::kVoxDelayList},
};

constexpr Row kDtmfListRows[] = {
    {Page::kDtmfRateLabel, "DTMF 速率", Rules::kDtmfRateList},
    {Page::kDtmfFirstDigitTimeLabel, "首位码时间", Rules::kDtmfFirstDigitTimeList},
    {Page::kDtmfFirstDigitDelayLabel, "首位码延时", Rules::kDtmfFirstDigitDelayList},
};

}  // namespace

FunctionsPage::FunctionsPage(CMaItemDoc& doc, const TextLookup& texts, QWidget* parent)
    : SettingsPage(rules_, parent), texts_(texts), rules_(doc.editTarget(), texts) {
    auto* functions = captionGroup(kFunctionsGroup, "可选功能", this);
    auto* functionGrid = new QGridLayout(functions);
    int row = 0;
    for (const Row& r : kFunctionRows) {
        addCaptionedRow(functionGrid, row, captionLabel(r.labelId, r.caption, functions),
                        addList(r.controlId));
        ++row;
    }
    functionGrid->addWidget(addBox(Rules::kBatterySaveBox, "省电"), row, 0);
    functionGrid->addWidget(addBox(Rules::kKeyBeepBox, "按键音"), row, 1);
    ++row;
    functionGrid->addWidget(addBox(Rules::kAutoPowerOffBox, "自动关机"), row, 0);
    functionGrid->addWidget(addBox(Rules::kFreqGroupBox, "频率分组"), row, 1);
    functionGrid->setRowStretch(row + 1, 1);

    auto* vox = captionGroup(kVoxGroup, "声控设置", this);
    auto* voxGrid = new QGridLayout(vox);
    row = 0;
    for (const Row& r : kVoxRows) {
        addCaptionedRow(voxGrid, row, captionLabel(r.labelId, r.caption, vox),
                        addList(r.controlId));
        ++row;
    }

    auto* dtmf = captionGroup(kDtmfGroup, "DTMF 设置", this);
    auto* dtmfGrid = new QGridLayout(dtmf);
    dtmfGrid->addWidget(addBox(Rules::kDtmfSidetoneBox, "DTMF 侧音"), 0, 0, 1, 2);
    addCaptionedRow(dtmfGrid, 1, captionLabel(kPttIdLabel, "PTT ID", dtmf),
                    addList(Rules::kPttIdList));
    addCaptionedRow(dtmfGrid, 2, captionLabel(kBotCodeLabel, "发射起始码", dtmf),
                    addCodeBox(Rules::kBotCodeBox));
    addCaptionedRow(dtmfGrid, 3, captionLabel(kEotCodeLabel, "发射结束码", dtmf),
                    addCodeBox(Rules::kEotCodeBox));
    row = 4;
    for (const Row& r : kDtmfListRows) {
        addCaptionedRow(dtmfGrid, row, captionLabel(r.labelId, r.caption, dtmf),
                        addList(r.controlId));
        ++row;
    }
    dtmfGrid->setRowStretch(row, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(vox);
    right->addWidget(dtmf, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(functions, 1);
    layout->addLayout(right, 1);
    refresh();
}

page_rules::PrintRows FunctionsPage::printRows() const {
    return rules_.printRows();
}

QLineEdit* FunctionsPage::addCodeBox(int id) {
    auto* edit = new QLineEdit(this);
    edit->setMaxLength(Rules::kMaxCodeLength);
    setResourceId(edit, id);
    edit->installEventFilter(this);
    codes_[id] = edit;
    return edit;
}

QLineEdit* FunctionsPage::codeBox(int id) const {
    auto it = codes_.find(id);
    return it == codes_.end() ? nullptr : it->second;
}

void FunctionsPage::refresh() {
    translateDialog(this, Rules::kDialogId, texts_);
    showLists();
    showBoxes();
    for (auto& [id, edit] : codes_) {
        edit->setText(QString::fromStdString(rules_.codeText(id)));
    }
}

bool FunctionsPage::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit != nullptr) {
        int id = edit->property(kResourceIdProperty).toInt();
        if (event->type() == QEvent::FocusOut) {
            rules_.commitCode(id, edit->text().toStdString());
        } else if (event->type() == QEvent::KeyPress) {
            QString typed = static_cast<QKeyEvent*>(event)->text();
            // Only printable characters are filtered; editing and shortcut keys pass.
            if (typed.size() == 1 && typed[0].unicode() >= 0x20 && typed[0].unicode() != 0x7F &&
                (typed[0].unicode() > 0x7F ||
                 !Rules::acceptsCodeKey(static_cast<char>(typed[0].unicode())))) {
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pl3
