#include "service/ui/tuning_dialog.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"
#include "platform/prompter.h"
#include "service/access_code.h"
#include "service/service_display.h"
#include "service/ui/service_job_runner.h"
#include "service/ui/value_box.h"

namespace pl3 {

namespace {

using service::ServiceTask;

// Built-in captions of the rows, in test-data block order.
constexpr const char* kRowCaptions[] = {
    "静噪3级 低端",  "静噪3级 中端",  "静噪3级 高端",  "高功率 低端",
    "高功率 中低端", "高功率 中端",   "高功率 中高端", "高功率 高端",
    "低功率 低端",   "低功率 中低端", "低功率 中端",   "低功率 中高端",
    "低功率 高端",   "电池检测",      "声控等级1",     "声控等级9"};

// A menu text may carry its shortcut after a tab ("&Open...\tCtrl+O"): the key then works
// as the menu says.
void labelAction(QAction* action, const std::string& text) {
    QString label = QString::fromStdString(text);
    action->setText(label);
    qsizetype tab = label.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        action->setShortcut(QKeySequence(label.mid(tab + 1)));
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

}  // namespace

TuningDialog::TuningDialog(RadioServices radio, CMaItemDoc& doc, Prompter& prompter,
                           ServiceHooks hooks, QWidget* parent)
    : QDialog(parent),
      radio_(radio),
      doc_(doc),
      prompter_(prompter),
      hooks_(std::move(hooks)),
      editable_(service::accessLevelOf(doc.accessCode()) == service::AccessLevel::Full),
      runner_(new ServiceJobRunner(radio, prompter, this)) {
    layOut();
    translateDialog(this, kTemplate, radio_.texts);
    buildMenuBar();
    for (ValueBox* box : boxes_)
        box->setEnabled(editable_);
    redisplay();
}

TuningDialog::~TuningDialog() {
    // QDialog's destructor hides the window, which takes the focus from a box: by then this
    // is no TuningDialog any more, so nothing may call back into it.
    for (ValueBox* box : boxes_)
        box->disconnect(this);
}

void TuningDialog::layOut() {
    setWindowTitle(QStringLiteral("调试"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setColumnMinimumWidth(2, 24);
    for (const service::TuningBox& tuning : service::kTuningBoxes) {
        auto* caption = new QLabel(QString::fromUtf8(kRowCaptions[tuning.index]), this);
        setResourceId(caption, tuning.captionId);
        auto* box = new ValueBox(this);
        setResourceId(box, tuning.controlId);
        box->setMinimumWidth(72);
        caption->setBuddy(box);
        int column = tuning.column == service::Column::Left ? 0 : 3;
        grid->addWidget(caption, tuning.row, column);
        grid->addWidget(box, tuning.row, column + 1);
        boxes_[static_cast<std::size_t>(tuning.index)] = box;
        const int index = tuning.index;
        connect(box, &ValueBox::stepped, this, [this, index](int d) { step(index, d); });
        // Also fires when the box loses the focus to a transfer, a message box or another
        // window: only a typed value is committed then.
        connect(box, &ValueBox::editingFinished, this, [this, index] { commitTyped(index); });
    }
    layout->addLayout(grid);

    status_ = new QLabel(this);
    setResourceId(status_, kStatusLine);
    status_->setWordWrap(true);
    bar_ = new QProgressBar(this);
    setResourceId(bar_, kProgressBar);
    bar_->setRange(0, service::kBarMaximum);
    bar_->setVisible(false);
    // Shown only while a transfer runs, to stop it.
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    setResourceId(cancel_, kCancelButtonId);
    cancel_->setAutoDefault(false);
    cancel_->setVisible(false);
    connect(cancel_, &QPushButton::clicked, runner_, &ServiceJobRunner::cancel);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(bar_, 1);
    progressRow->addWidget(cancel_);
    layout->addWidget(status_);
    layout->addLayout(progressRow);
}

void TuningDialog::buildMenuBar() {
    const TextLookup& texts = radio_.texts;
    auto* bar = new QMenuBar(this);
    auto makeCommand = [this](int id, const std::string& text) {
        auto* action = new QAction(this);
        action->setData(id);
        labelAction(action, text);
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        commands_.append(action);
        return action;
    };
    QMenu* file = bar->addMenu(QString::fromStdString(texts.text(text_key::kMenuFile)));
    file->addAction(makeCommand(kOpenFile, texts.text(text_key::kMenuFileOpen)));
    file->addAction(makeCommand(kSaveFile, texts.text(text_key::kMenuFileSave)));
    bar->addAction(makeCommand(kReadTestData, texts.text(text_key::kMenuProgramReadTestData)));
    bar->addAction(makeCommand(kWriteTestData, texts.text(text_key::kMenuProgramWriteTestData)));
    bar->addAction(makeCommand(kReadAll, texts.text(text_key::kMenuProgramRead)));
    bar->addAction(makeCommand(kWriteAll, texts.text(text_key::kMenuProgramCopy)));
    layout()->setMenuBar(bar);
}

QAction* TuningDialog::command(int id) const {
    for (QAction* action : commands_) {
        if (action->data().toInt() == id) return action;
    }
    return nullptr;
}

void TuningDialog::redisplay() {
    for (const service::TuningBox& tuning : service::kTuningBoxes) {
        boxes_[static_cast<std::size_t>(tuning.index)]->showValue(service::boxValue(doc_, tuning));
    }
}

void TuningDialog::step(int index, int direction) {
    if (!editable_ || transferRunning()) return;
    const service::TuningBox& tuning = service::kTuningBoxes[static_cast<std::size_t>(index)];
    ValueBox* box = boxes_[static_cast<std::size_t>(index)];
    int value = service::stepBox(box->text().toStdString(), direction, tuning.limits);
    box->showValue(value);
    service::storeBoxValue(doc_, tuning, value);
}

void TuningDialog::commitTyped(int index) {
    if (boxes_[static_cast<std::size_t>(index)]->editInProgress()) step(index, 0);
}

void TuningDialog::commitFocusedBox() {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i]->hasFocus()) commitTyped(static_cast<int>(i));
    }
}

void TuningDialog::runCommand(int id) {
    if (transferRunning()) return;
    // A value typed but not yet committed is saved or sent with the rest.
    commitFocusedBox();
    switch (id) {
        case kOpenFile:
            if (hooks_.openFile) hooks_.openFile();
            redisplay();
            break;
        case kSaveFile:
            if (hooks_.saveFile) hooks_.saveFile();
            break;
        case kReadTestData:
            startTransfer(ServiceTask::ReadTestData);
            break;
        case kWriteTestData:
            startTransfer(ServiceTask::WriteTestData);
            break;
        case kReadAll:
            startTransfer(ServiceTask::ReadAll);
            break;
        case kWriteAll:
            startTransfer(ServiceTask::WriteAll);
            break;
        default:
            break;
    }
}

void TuningDialog::startTransfer(ServiceTask task) {
    const std::string lead = radio_.texts.text(service::progressKey(task));
    if (service::isWholeImage(task)) {
        bar_->setValue(0);
        bar_->setVisible(true);
        status_->setText(QString::fromStdString(service::progressLine(lead, 0)));
    } else {
        status_->setText(QString::fromStdString(lead));
    }
    setTransferRunning(true);
    runner_->start(
        task, doc_.image(), false,
        {[this, task](service::ServiceSnapshot snapshot) { showProgress(task, snapshot); },
         [this, task](service::ServiceSnapshot end, const Image& working) {
             endTransfer(task, end, working);
         }});
}

void TuningDialog::showProgress(ServiceTask task, const service::ServiceSnapshot& snapshot) {
    if (!service::isWholeImage(task) || snapshot.blocksDone == 0) return;
    int position = service::barPosition(snapshot.blocksDone);
    bar_->setValue(position);
    status_->setText(QString::fromStdString(
        service::progressLine(radio_.texts.text(service::progressKey(task)), position)));
}

void TuningDialog::endTransfer(ServiceTask task, const service::ServiceSnapshot& end,
                               const Image& working) {
    setTransferRunning(false);
    bar_->setVisible(false);
    service::FinalDisplay display = service::finalDisplay(task, end);
    status_->setText(display.statusKey.empty()
                         ? QString()
                         : QString::fromStdString(
                               service::statusLine(radio_.texts.text(display.statusKey), display)));
    if (end.status == service::ServiceStatus::Succeeded) {
        service::applyResult(doc_, task, working);
        if (task == ServiceTask::ReadAll) doc_.updateAllViews();
        redisplay();
    }
    if (hooks_.afterTransfer) hooks_.afterTransfer();
    if (display.errorKey) {
        prompter_.showMessage(service::errorMessage(display, end, radio_.texts));
    }
}

void TuningDialog::setTransferRunning(bool running) {
    for (QAction* action : commands_)
        action->setEnabled(!running);
    for (ValueBox* box : boxes_)
        box->setEnabled(editable_ && !running);
    cancel_->setVisible(running);
    if (running) cancel_->setFocus();
}

QString TuningDialog::statusText() const {
    return status_->text();
}

bool TuningDialog::progressShown() const {
    return !bar_->isHidden();
}

int TuningDialog::progressPosition() const {
    return bar_->value();
}

bool TuningDialog::transferRunning() const {
    return runner_->running();
}

void TuningDialog::reject() {
    if (transferRunning()) {
        runner_->cancel();
        return;
    }
    QDialog::reject();
}

void TuningDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!transferRunning()) accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TuningDialog::done(int result) {
    // Enter or Escape in a box: its value is committed before the dialog closes.
    commitFocusedBox();
    QDialog::done(result);
}

}  // namespace pl3
