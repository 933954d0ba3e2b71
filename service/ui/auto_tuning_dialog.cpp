#include "service/ui/auto_tuning_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

namespace {

bool movesTheBar(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
    }
}

}  // namespace

AutoTuningDialog::AutoTuningDialog(CMaItemDoc& doc, const TextLookup& texts, SerialPort& port,
                                   QWidget* parent)
    : QDialog(parent),
      texts_(texts),
      link_(std::make_unique<service::LiveTuningLink>(port)),
      session_(doc, *link_),
      pollTimer_(new QTimer(this)),
      watchTimer_(new QTimer(this)) {
    layOut();
    translateDialog(this, kTemplate, texts_);
    // The list comes from the language file, but only the items the radio knows are offered.
    std::vector<std::string> items = texts_.listItems(lang_section::kTestData);
    for (std::size_t i = 0; i < items.size() && i < service::kAutoTuningItems.size(); ++i)
        list_->addItem(QString::fromStdString(items[i]));
    // Every item in sight, whatever the language's font needs.
    list_->setMinimumHeight(list_->sizeHintForRow(0) * list_->count() + 2 * list_->frameWidth() +
                            2);
    {
        QSignalBlocker quiet(list_);
        list_->setCurrentRow(0);
    }
    applyPollTimer(session_.open());
    showPosition();

    pollTimer_->setInterval(service::kSquelchPollMs);
    connect(pollTimer_, &QTimer::timeout, this, [this] { session_.pollSquelch(); });
    connect(watchTimer_, &QTimer::timeout, this, &AutoTuningDialog::watchLink);
    watchTimer_->start(kWatchMs);
    connect(list_, &QListWidget::currentRowChanged, this, &AutoTuningDialog::select);
    connect(bar_, &QScrollBar::actionTriggered, this, &AutoTuningDialog::scrollAction);
    connect(bar_, &QScrollBar::sliderReleased, this, &AutoTuningDialog::endScroll);
    bar_->installEventFilter(this);
}

AutoTuningDialog::~AutoTuningDialog() {
    bar_->removeEventFilter(this);
}

void AutoTuningDialog::layOut() {
    setWindowTitle(QStringLiteral("自动调试"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    setResourceId(list_, kItemList);
    layout->addWidget(list_);

    auto* grid = new QGridLayout;
    auto* valueCaption = new QLabel(QStringLiteral("数值"), this);
    setResourceId(valueCaption, kValueCaption);
    value_ = new QLineEdit(this);
    setResourceId(value_, kValueField);
    value_->setReadOnly(true);
    value_->setMaximumWidth(64);
    bar_ = new QScrollBar(Qt::Horizontal, this);
    setResourceId(bar_, kValueBar);
    bar_->setFocusPolicy(Qt::StrongFocus);
    bar_->setMinimumWidth(220);
    squelchCaption_ = new QLabel(QStringLiteral("静噪状态"), this);
    setResourceId(squelchCaption_, kSquelchCaption);
    squelch_ = new QLineEdit(this);
    setResourceId(squelch_, kSquelchField);
    squelch_->setReadOnly(true);
    squelch_->setMaximumWidth(64);
    grid->addWidget(valueCaption, 0, 0);
    grid->addWidget(bar_, 0, 1);
    grid->addWidget(value_, 0, 2);
    grid->addWidget(squelchCaption_, 1, 0);
    grid->addWidget(squelch_, 1, 2);
    layout->addLayout(grid);
    layout->addLayout(addOkCancelRow(this));
}

void AutoTuningDialog::showPosition() {
    service::ValueLimits range = session_.range();
    QSignalBlocker quiet(bar_);
    bar_->setRange(range.lower, range.upper);
    bar_->setSliderPosition(session_.position());
    value_->setText(QString::number(session_.position()));
    squelchCaption_->setVisible(session_.squelchShown());
    squelch_->setVisible(session_.squelchShown());
}

void AutoTuningDialog::applyPollTimer(service::PollTimer timer) {
    // The link sends the squelch query just asked for after its pauses; the next poll
    // comes a full period after that query, not after this handler.
    pollTimer_->stop();
    restartPollAtAnswer_ = timer == service::PollTimer::Start ? link_->squelchQueriesAsked() : 0;
}

bool AutoTuningDialog::squelchPolling() const {
    return pollTimer_->isActive();
}

void AutoTuningDialog::select(int row) {
    if (closing_ || row < 0) return;
    applyPollTimer(session_.select(row));
    showPosition();
}

void AutoTuningDialog::scrollAction(int action) {
    if (closing_) return;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            session_.step(+1);
            break;
        case QAbstractSlider::SliderSingleStepSub:
            session_.step(-1);
            break;
        case QAbstractSlider::SliderMove:
            session_.track(bar_->sliderPosition());
            break;
        default:
            break;  // page steps and jumps to either end change nothing
    }
    // Overrides what the bar would do by itself (it stops at the ends instead of wrapping).
    bar_->setSliderPosition(session_.position());
    value_->setText(QString::number(session_.position()));
}

void AutoTuningDialog::endScroll() {
    if (closing_) return;
    applyPollTimer(session_.endScroll());
    showPosition();
}

// A scroll ends when the mouse button or key that drove it is let go; a thumb drag ends
// with sliderReleased. The wheel does not move the value.
bool AutoTuningDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_) {
        switch (event->type()) {
            case QEvent::MouseButtonRelease:
                if (!bar_->isSliderDown()) endScroll();
                break;
            case QEvent::KeyRelease: {
                auto* key = static_cast<QKeyEvent*>(event);
                if (!key->isAutoRepeat() && movesTheBar(key->key())) endScroll();
                break;
            }
            case QEvent::Wheel:
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AutoTuningDialog::watchLink() {
    service::SquelchReading reading = link_->squelch();
    if (reading.answers != shownAnswers_) {
        shownAnswers_ = reading.answers;
        squelch_->setText(
            QString::fromStdString(texts_.text(service::squelchTextKey(reading.open))));
    }
    if (restartPollAtAnswer_ > 0 && reading.answers >= restartPollAtAnswer_) {
        restartPollAtAnswer_ = 0;
        pollTimer_->start(service::kSquelchPollMs);
    }
    if (closing_ && link_->finished()) {
        watchTimer_->stop();
        QDialog::done(closingResult_);
    }
}

void AutoTuningDialog::finish(bool keep) {
    if (closing_) return;
    closing_ = true;
    closingResult_ = keep ? QDialog::Accepted : QDialog::Rejected;
    applyPollTimer(service::PollTimer::Stop);
    list_->setEnabled(false);
    bar_->setEnabled(false);
    session_.finish(keep);
}

void AutoTuningDialog::accept() {
    finish(true);
}

void AutoTuningDialog::reject() {
    finish(false);
}

}  // namespace pl3
