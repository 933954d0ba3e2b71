#include "service/ui/access_code_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"
#include "platform/prompter.h"
#include "service/access_code.h"
#include "service/service_display.h"
#include "service/ui/auto_tuning_dialog.h"
#include "service/ui/service_job_runner.h"

namespace pl3 {

AccessCodeDialog::AccessCodeDialog(RadioServices radio, CMaItemDoc& doc, Prompter& prompter,
                                   ServiceHooks hooks, QWidget* parent)
    : QDialog(parent),
      radio_(radio),
      doc_(doc),
      prompter_(prompter),
      hooks_(std::move(hooks)),
      runner_(new ServiceJobRunner(radio, prompter, this)) {
    layOut();
    translateDialog(this, kTemplate, radio_.texts);
    showManualAdjustMode();
    // A code accepted earlier in the run unlocks the dialog at once.
    code_->setText(QString::fromStdString(doc_.accessCode()));
    codeChanged(code_->text());
}

AccessCodeDialog::~AccessCodeDialog() = default;

void AccessCodeDialog::layOut() {
    setWindowTitle(QStringLiteral("调试模式"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(QStringLiteral("请输入密码:"), this);
    setResourceId(prompt, kPrompt);
    code_ = new QLineEdit(this);
    setResourceId(code_, kCodeBox);
    code_->setEchoMode(QLineEdit::Password);
    prompt->setBuddy(code_);
    manualAdjust_ = new QCheckBox(QStringLiteral("手动调试模式"), this);
    setResourceId(manualAdjust_, kManualAdjustBox);
    test1_ = new QPushButton(QStringLiteral("手动调试..."), this);
    setResourceId(test1_, kTest1);
    test2_ = new QPushButton(QStringLiteral("自动调试..."), this);
    setResourceId(test2_, kTest2);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    setResourceId(cancel, kCancelButtonId);
    // The dialog has no default button: Enter in the code box closes it, as Cancel does.
    for (QPushButton* button : {test1_, test2_, cancel})
        button->setAutoDefault(false);

    layout->addWidget(prompt);
    layout->addWidget(code_);
    layout->addWidget(manualAdjust_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test1_);
    buttons->addWidget(test2_);
    buttons->addStretch();
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(code_, &QLineEdit::textChanged, this, &AccessCodeDialog::codeChanged);
    connect(code_, &QLineEdit::returnPressed, this, &AccessCodeDialog::reject);
    connect(manualAdjust_, &QCheckBox::clicked, this,
            [this](bool on) { service::setManualTuning(doc_, on); });
    connect(test1_, &QPushButton::clicked, this, &AccessCodeDialog::openTuning);
    connect(test2_, &QPushButton::clicked, this, &AccessCodeDialog::openAutoTuning);
    connect(cancel, &QPushButton::clicked, this, &AccessCodeDialog::reject);
}

void AccessCodeDialog::codeChanged(const QString& text) {
    unlocked_ = service::enterAccessCode(doc_, text.toStdString());
    setUnlocked(unlocked_ && !readingTestData());
}

void AccessCodeDialog::setUnlocked(bool unlocked) {
    test1_->setEnabled(unlocked);
    test2_->setEnabled(unlocked);
    manualAdjust_->setEnabled(unlocked);
}

void AccessCodeDialog::showManualAdjustMode() {
    manualAdjust_->setChecked(service::manualTuning(doc_));
}

void AccessCodeDialog::openTuning() {
    if (!unlocked_ || readingTestData()) return;
    TuningDialog tuning(radio_, doc_, prompter_, hooks_, this);
    tuning.exec();
    // The tuning dialog may have loaded other data into the image, whichever way it closed.
    showManualAdjustMode();
}

void AccessCodeDialog::openAutoTuning() {
    if (!unlocked_ || readingTestData()) return;
    setUnlocked(false);
    setCursor(Qt::BusyCursor);
    runner_->start(service::ServiceTask::ReadTestData, doc_.image(), /*keepPortOpen=*/true,
                   {{}, [this](service::ServiceSnapshot end, const Image& working) {
                        testDataRead(end, working);
                    }});
}

bool AccessCodeDialog::readingTestData() const {
    return runner_->running();
}

void AccessCodeDialog::testDataRead(const service::ServiceSnapshot& end, const Image& working) {
    unsetCursor();
    setUnlocked(unlocked_);
    service::FinalDisplay display = service::finalDisplay(service::ServiceTask::ReadTestData, end);
    if (end.status == service::ServiceStatus::Succeeded) {
        service::applyResult(doc_, service::ServiceTask::ReadTestData, working);
        if (hooks_.afterTransfer) hooks_.afterTransfer();
        AutoTuningDialog tuning(doc_, radio_.texts, radio_.port, this);
        tuning.exec();
    }
    if (hooks_.afterTransfer) hooks_.afterTransfer();
    if (display.errorKey) {
        prompter_.showMessage(service::errorMessage(display, end, radio_.texts));
    }
}

void AccessCodeDialog::reject() {
    if (readingTestData()) {
        runner_->cancel();
        return;
    }
    QDialog::reject();
}

void runServiceMode(RadioServices radio, CMaItemDoc& doc, Prompter& prompter, ServiceHooks hooks,
                    QWidget* parent) {
    AccessCodeDialog dialog(radio, doc, prompter, std::move(hooks), parent);
    dialog.exec();
}

}  // namespace pl3
