#include "link/ui/progress_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"
#include "link/job_display.h"
#include "link/text_fit.h"
#include "platform/prompter.h"

namespace pl3 {

namespace {

constexpr int kBarControl = 1009;
constexpr int kStatusControl = 1010;
constexpr int kOkControl = 1;
constexpr int kCancelControl = 2;
// Lines longer than this many average characters wrap rather than widen the dialog.
constexpr int kReadableCharacters = 96;
// Room kept free at the screen's edges for the window frame.
constexpr int kScreenMargin = 48;

}  // namespace

ProgressDialog::ProgressDialog(RadioServices radio, CMaItemDoc& doc, Prompter& prompter,
                               link::Direction direction, Hooks hooks, QWidget* parent)
    : QDialog(parent),
      radio_(radio),
      doc_(doc),
      prompter_(prompter),
      direction_(direction),
      hooks_(std::move(hooks)),
      session_(
          std::make_unique<link::RadioSession>(radio.port, direction, radio.backups, prompter)),
      timer_(new QTimer(this)),
      bar_(new QProgressBar(this)),
      status_(new QLabel(this)),
      retry_(new QPushButton(this)),
      close_(new QPushButton(this)),
      verify_(new QCheckBox(this)),
      keepTuning_(new QCheckBox(this)) {
    setProperty("templateNumber", kTemplate);
    setResourceId(bar_, kBarControl);
    setResourceId(status_, kStatusControl);
    setResourceId(retry_, kOkControl);
    setResourceId(close_, kCancelControl);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addWidget(verify_);
    layout->addWidget(keepTuning_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(retry_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    setMinimumWidth(kMinimumWidth);
    status_->setWordWrap(true);
    bar_->setRange(0, link::kBarRange);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    // The buttons only appear after a failure. Enter must not start a transfer again
    // unasked, so Close is the default.
    retry_->setVisible(false);
    close_->setVisible(false);
    retry_->setAutoDefault(false);
    close_->setDefault(true);
    connect(retry_, &QPushButton::clicked, this, &ProgressDialog::accept);
    connect(close_, &QPushButton::clicked, this, &ProgressDialog::reject);
    connect(timer_, &QTimer::timeout, this, &ProgressDialog::poll);
    // Ticked while the write runs, it still applies to this write.
    verify_->setVisible(direction_ == link::Direction::Write);
    verify_->setChecked(radio_.settings.verifyAfterWrite());
    connect(verify_, &QCheckBox::toggled, this, [this](bool on) {
        radio_.settingsWarning.check(radio_.settings.setVerifyAfterWrite(on), prompter_,
                                     radio_.settings.path());
        session_->setVerify(on);
    });
    // Read by the job once the radio has answered, so a change counts for this write
    // until then, and for the next one (a retry) after.
    keepTuning_->setVisible(direction_ == link::Direction::Write);
    keepTuning_->setChecked(radio_.settings.keepRadioTuning());
    connect(keepTuning_, &QCheckBox::toggled, this, [this](bool on) {
        radio_.settingsWarning.check(radio_.settings.setKeepRadioTuning(on), prompter_,
                                     radio_.settings.path());
        session_->setKeepTuning(on);
    });

    translateDialog(this, kTemplate, radio_.texts);
    setWindowTitle(QString::fromStdString(radio_.texts.text(link::titleKey(direction_))));
    verify_->setText(QString::fromStdString(radio_.texts.text(text_key::kVerifyAfterWrite)));
    keepTuning_->setText(QString::fromStdString(radio_.texts.text(text_key::kKeepRadioTuning)));
    retry_->setText(QString::fromStdString(radio_.texts.text(text_key::kButtonRetry)));
    close_->setText(QString::fromStdString(radio_.texts.text(text_key::kButtonClose)));
    showStatus(radio_.texts.text(link::promptKey(direction_)));
}

ProgressDialog::~ProgressDialog() {
    timer_->stop();
    session_->cancel();
    if (hooks_.statusBar) hooks_.statusBar();
}

void ProgressDialog::startJob() {
    setFocus();
    retry_->setVisible(false);
    close_->setVisible(false);
    // The document holds what the radio gets, so a file saved after the write matches it.
    if (direction_ == link::Direction::Write) link::prepareImageForWrite(doc_.rawFields());
    const SettingsFile& settings = radio_.settings;
    session_->start(doc_.image(),
                    {.plan = {settings.comPort(), std::nullopt, settings.portSearchEnabled()},
                     .verify = verify_->isChecked(),
                     .keepTuning = keepTuning_->isChecked()});
    showStatus(radio_.texts.text(link::promptKey(direction_)));
    timer_->start(kPollMs);
}

void ProgressDialog::poll() {
    const link::SessionLook look = session_->look();
    const link::TickActions& actions = look.actions;
    const link::SessionResult& result = session_->result();
    if (actions.portPane && hooks_.portPane) hooks_.portPane(*actions.portPane);
    if (actions.refreshStatusBar && hooks_.statusBar) hooks_.statusBar();
    if (actions.statusLine) {
        std::string line = radio_.texts.text(actions.statusLine->key) + actions.statusLine->suffix;
        if (actions.mismatchAddress)
            line += link::mismatchPlace(*actions.mismatchAddress, hooks_.placeOf, radio_.texts);
        // A failure shown in the dialog: the log is complete once the job has ended.
        if (actions.allowRetry) line += standing() + link::logFileDetail(result.log, radio_.texts);
        showStatus(line);
    }
    if (actions.barPosition) bar_->setValue(*actions.barPosition);
    if (look.ended) timer_->stop();
    if (actions.errorKey) {
        if (actions.tellOpenProblem && result.openProblem && hooks_.portProblem)
            hooks_.portProblem(link::describeOpenProblem(*result.openProblem, radio_.texts));
        prompter_.showMessage(
            session_->errorMessage(*actions.errorKey, actions.tellOpenProblem, radio_.texts));
    }
    if (actions.settingsNotWritten) radio_.settingsWarning.tell(prompter_, radio_.settings.path());
    if (actions.takeImage) {
        link::takeReadImage(doc_, session_->image());
        if (hooks_.afterRead) hooks_.afterRead();
        doc_.updateAllViews();
    }
    if (actions.takeRadioTuning) {
        const std::optional<TuningBlock>& tuning = result.radioTuning;
        TuningTaken taken = tuning ? takeRadioTuning(doc_, *tuning) : TuningTaken::Same;
        if (taken == TuningTaken::Taken) doc_.updateAllViews();
        if (taken == TuningTaken::RadioHoldsNone) {
            prompter_.showMessage(
                {text_key::kPrompt, text_key::kRadioHoldsNoTuning, {}, PromptIcon::Information});
        }
    }
    if (actions.allowRetry) {
        retry_->setVisible(true);
        close_->setVisible(true);
        close_->setFocus();
        fitToText();
    }
    // A transfer that went well names no log, but one that lacks lines is still said.
    if (actions.end && !actions.errorKey) link::tellIfLogIncomplete(result.log, prompter_);
    if (actions.done && hooks_.transferDone) hooks_.transferDone(*actions.done);
    if (actions.end) end();
}

// Where a failed write left the radio, on lines of their own; nothing for other failures.
std::string ProgressDialog::standing() const {
    std::string lines;
    for (const std::string& line : session_->standing(radio_.texts))
        lines += "\n" + line;
    return lines;
}

void ProgressDialog::end() {
    if (hooks_.radioVersion) hooks_.radioVersion(session_->result().version);
    done(5);
}

void ProgressDialog::accept() {
    if (timer_->isActive()) return;  // Enter while the job runs does nothing
    startJob();
}

void ProgressDialog::reject() {
    timer_->stop();
    session_->cancel();
    if (hooks_.statusBar) hooks_.statusBar();
    QDialog::reject();
}

void ProgressDialog::showStatus(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (shown == status_->text()) return;
    status_->setText(shown);
    fitToText();
}

void ProgressDialog::fitToText() {
    const QFontMetricsF metrics(status_->font());
    int longestLine = 0;
    // Whole pixels up: a line a fraction wider than its room wraps.
    for (const QString& line : status_->text().split(QLatin1Char('\n')))
        longestLine = std::max(longestLine, qCeil(metrics.horizontalAdvance(line)) + 1);
    QLayout* box = layout();
    const QMargins margins = box->contentsMargins();
    const int frame = margins.left() + margins.right();
    const QRect room = screen()->availableGeometry();
    const int width = link::fittedWidth(
        {.longestLine = longestLine + frame,
         .unbreakable = box->minimumSize().width(),
         .minimum = kMinimumWidth,
         .readable = qRound(metrics.averageCharWidth()) * kReadableCharacters + frame,
         .current = isVisible() ? this->width() : 0,
         .available = room.width() - kScreenMargin});
    const int height = std::min(box->totalHeightForWidth(width), room.height() - kScreenMargin);
    // Narrower or lower, the text would be cut again.
    setMinimumSize(width, height);
    resize(width, height);
    if (!isVisible()) return;
    // Grown past the screen's edge: back onto it.
    QRect placed = frameGeometry();
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    placed.moveTop(std::max(placed.top(), room.top()));
    move(placed.topLeft());
}

QString ProgressDialog::statusText() const {
    return status_->text();
}
int ProgressDialog::barPosition() const {
    return bar_->value();
}
bool ProgressDialog::retryAllowed() const {
    return !retry_->isHidden();
}

}  // namespace pl3
