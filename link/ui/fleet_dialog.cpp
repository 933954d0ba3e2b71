#include "link/ui/fleet_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"
#include "platform/prompter.h"

namespace pl3 {

namespace {

constexpr int kRadiosLabelControl = 1550;
constexpr int kWatchControl = 1551;
constexpr int kStartControl = 1552;
constexpr int kStopControl = 1553;
// Rows shown before the list scrolls.
constexpr int kVisibleRows = 8;
// The least width of the bar and of the result in its place, in average characters.
constexpr int kResultCharacters = 26;
// Room kept free at the screen's edges for the window frame.
constexpr int kScreenMargin = 48;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

struct MarkLook {
    QColor badge;
    const char* background;  // of the result, so the row reads at a glance
    const char* text;
};

MarkLook markLook(link::RowMark mark) {
    switch (mark) {
        case link::RowMark::Written:
            return {QColor(0x2e, 0x7d, 0x32), "#d8f0d8", "#14451a"};
        case link::RowMark::Failed:
            return {QColor(0xc6, 0x28, 0x28), "#f8d7d7", "#6d0d0d"};
        case link::RowMark::Stopped:
            return {QColor(0xd9, 0x77, 0x06), "#fbead0", "#5c3700"};
        default:
            return {QColor(0x9e, 0x9e, 0x9e), nullptr, nullptr};
    }
}

// The mark's shape tells it without the colour: a tick, a cross, a pause sign, a ring.
QPixmap markPixmap(link::RowMark mark, int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    if (mark == link::RowMark::Idle || mark == link::RowMark::Writing) return pixmap;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size, size);
    const QColor colour = markLook(mark).badge;
    if (mark == link::RowMark::Waiting) {
        painter.setPen(QPen(colour, 0.12));
        painter.drawEllipse(QRectF(0.12, 0.12, 0.76, 0.76));
        return pixmap;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.02, 0.02, 0.96, 0.96));
    painter.setPen(QPen(Qt::white, 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (mark == link::RowMark::Written) {
        QPainterPath tick(QPointF(0.27, 0.52));
        tick.lineTo(0.44, 0.69);
        tick.lineTo(0.74, 0.33);
        painter.drawPath(tick);
    } else if (mark == link::RowMark::Failed) {
        painter.drawLine(QPointF(0.33, 0.33), QPointF(0.67, 0.67));
        painter.drawLine(QPointF(0.67, 0.33), QPointF(0.33, 0.67));
    } else {
        painter.drawLine(QPointF(0.40, 0.32), QPointF(0.40, 0.68));
        painter.drawLine(QPointF(0.60, 0.32), QPointF(0.60, 0.68));
    }
    return pixmap;
}

}  // namespace

FleetDialog::FleetDialog(RadioServices radio, const CMaItemDoc& doc, Prompter& prompter,
                         link::PlaceNamer placeOf,
                         const std::vector<platform::PresentSerialDevice>& present, QWidget* parent)
    : QDialog(parent),
      radio_(radio),
      doc_(doc),
      prompter_(prompter),
      run_(radio.settings, radio.backups, prompter, radio.texts, std::move(placeOf)),
      timer_(new QTimer(this)),
      scroll_(new QScrollArea(this)),
      verify_(new QCheckBox(this)),
      keepTuning_(new QCheckBox(this)),
      watch_(new QCheckBox(QStringLiteral("持续写入新连接的对讲机（生产线）"), this)),
      count_(new QLabel(this)),
      start_(new QPushButton(QStringLiteral("开始"), this)),
      stop_(new QPushButton(QStringLiteral("停止"), this)),
      close_(new QPushButton(this)) {
    const std::vector<link::FleetChoice> choices =
        link::fleetChoices(SerialPort(radio_.settings), present);
    for (const link::FleetChoice& choice : choices)
        targets_.push_back(choice.target);
    layOut(choices);
    translateDialog(this, kTemplate, radio_.texts);
    verify_->setText(qs(radio_.texts.text(text_key::kVerifyAfterWrite)));
    keepTuning_->setText(qs(radio_.texts.text(text_key::kKeepRadioTuning)));
    close_->setText(qs(radio_.texts.text(text_key::kButtonClose)));
    for (Row& row : rows_)
        row.retry->setText(qs(radio_.texts.text(text_key::kButtonRetry)));

    // The same settings as the progress dialog's boxes.
    verify_->setChecked(radio_.settings.verifyAfterWrite());
    connect(verify_, &QCheckBox::toggled, this, [this](bool on) {
        radio_.settingsWarning.check(radio_.settings.setVerifyAfterWrite(on), prompter_,
                                     radio_.settings.path());
    });
    keepTuning_->setChecked(radio_.settings.keepRadioTuning());
    connect(keepTuning_, &QCheckBox::toggled, this, [this](bool on) {
        radio_.settingsWarning.check(radio_.settings.setKeepRadioTuning(on), prompter_,
                                     radio_.settings.path());
    });
    connect(start_, &QPushButton::clicked, this, &FleetDialog::start);
    connect(stop_, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(close_, &QPushButton::clicked, this, &FleetDialog::reject);
    connect(timer_, &QTimer::timeout, this, &FleetDialog::poll);
    showPhase();
    fitToRows();
}

FleetDialog::~FleetDialog() {
    timer_->stop();
}

void FleetDialog::layOut(const std::vector<link::FleetChoice>& choices) {
    setProperty("templateNumber", kTemplate);
    setWindowTitle(QStringLiteral("写入多台对讲机"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("要写入的对讲机："), this);
    setResourceId(heading, kRadiosLabelControl);
    layout->addWidget(heading);

    auto* list = new QWidget;
    auto* grid = new QGridLayout(list);
    grid->setColumnStretch(2, 1);
    for (const link::FleetChoice& choice : choices)
        addRow(grid, choice);
    if (choices.empty()) {
        auto* none = new QLabel(qs(radio_.texts.text(text_key::kFleetDialogNoPorts)), list);
        none->setWordWrap(true);
        none->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
        grid->addWidget(none, 0, 0);
    }
    scroll_->setWidget(list);
    scroll_->setWidgetResizable(true);
    placeRows(false);
    // Too wide for the screen in one line: the bar and the result go below the radio's name.
    list->layout()->activate();
    const int frame = 2 * scroll_->frameWidth() + layout->contentsMargins().left() +
                      layout->contentsMargins().right();
    if (list->sizeHint().width() + frame > screen()->availableGeometry().width() - kScreenMargin)
        placeRows(true);
    layout->addWidget(scroll_, 1);

    layout->addWidget(verify_);
    layout->addWidget(keepTuning_);
    setResourceId(watch_, kWatchControl);
    layout->addWidget(watch_);
    count_->setWordWrap(true);
    count_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(count_);

    setResourceId(start_, kStartControl);
    setResourceId(stop_, kStopControl);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    // Enter starts; it never stops writes or closes unasked.
    start_->setDefault(true);
    stop_->setAutoDefault(false);
    close_->setAutoDefault(false);
}

void FleetDialog::addRow(QGridLayout* grid, const link::FleetChoice& choice) {
    QWidget* list = grid->parentWidget();
    const int line = static_cast<int>(rows_.size());
    Row row{new QCheckBox(qs(choice.name), list), new QProgressBar(list), new QLabel(list),
            new QLabel(list), new QPushButton(list)};
    // Every radio present is meant, unless the user says otherwise.
    row.box->setChecked(true);
    connect(row.box, &QCheckBox::toggled, this, &FleetDialog::showPhase);
    row.bar->setRange(0, link::kBarRange);
    row.bar->setValue(0);
    // The bar says what the write is doing; the result takes its place at the end.
    const int resultWidth = fontMetrics().averageCharWidth() * kResultCharacters;
    row.bar->setMinimumWidth(resultWidth);
    row.bar->setVisible(false);
    row.mark->setFixedSize(fontMetrics().height(), fontMetrics().height());
    row.result->setMinimumWidth(resultWidth);
    row.result->setWordWrap(true);
    row.result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row.retry->setAutoDefault(false);
    // Its room is kept, so the rows do not move when it shows.
    QSizePolicy keepRoom = row.retry->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    row.retry->setSizePolicy(keepRoom);
    row.retry->setVisible(false);
    row.retry->setAccessibleName(qs(choice.name));
    connect(row.retry, &QPushButton::clicked, this, [this, line] { retry(line); });
    rows_.push_back(row);
}

void FleetDialog::placeRows(bool stacked) {
    auto* grid = static_cast<QGridLayout*>(scroll_->widget()->layout());
    const int lines = stacked ? 2 : 1;
    for (int i = 0; i < rowCount(); ++i) {
        const Row& row = rows_[static_cast<std::size_t>(i)];
        for (QWidget* part : {static_cast<QWidget*>(row.box), static_cast<QWidget*>(row.mark),
                              static_cast<QWidget*>(row.bar), static_cast<QWidget*>(row.result),
                              static_cast<QWidget*>(row.retry)})
            grid->removeWidget(part);
        const int line = i * lines;
        if (stacked) {
            grid->addWidget(row.box, line, 0, 1, 4);
        } else {
            grid->addWidget(row.box, line, 0);
        }
        const int below = line + lines - 1;
        grid->addWidget(row.mark, below, 1);
        grid->addWidget(row.bar, below, 2);
        grid->addWidget(row.result, below, 2);
        grid->addWidget(row.retry, below, 3);
    }
    // Below the radios' names, the second line starts where the names' text does.
    const QStyle* style = scroll_->widget()->style();
    grid->setColumnMinimumWidth(0, stacked ? style->pixelMetric(QStyle::PM_IndicatorWidth) : 0);
    for (int line = 0; line < grid->rowCount(); ++line)
        grid->setRowStretch(line, 0);
    grid->setRowStretch(grid->rowCount(), 1);
}

void FleetDialog::start() {
    if (run_.phase() == link::FleetRun::Phase::Writing ||
        run_.phase() == link::FleetRun::Phase::Stopping)
        return;
    std::vector<link::FleetTarget> chosen;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].runRow = rows_[i].box->isChecked() ? static_cast<int>(chosen.size()) : -1;
        if (rows_[i].box->isChecked()) chosen.push_back(targets_[i]);
        showRow(rows_[i], {});
    }
    if (chosen.empty()) return;
    run_.start(std::move(chosen), doc_.image(), options(), watch_->isChecked());
    timer_->start(kPollMs);
    poll();
}

void FleetDialog::stop() {
    run_.stop();
    showPhase();
}

void FleetDialog::retry(int row) {
    if (rows_[row].runRow < 0) return;
    run_.retry(static_cast<std::size_t>(rows_[row].runRow), options());
    timer_->start(kPollMs);
    poll();
}

link::FleetOptions FleetDialog::options() const {
    return {.verify = verify_->isChecked(), .keepTuning = keepTuning_->isChecked()};
}

void FleetDialog::poll() {
    run_.look();
    for (Row& row : rows_) {
        if (row.runRow >= 0) showRow(row, run_.row(static_cast<std::size_t>(row.runRow)));
    }
    if (run_.phase() == link::FleetRun::Phase::Ended) timer_->stop();
    timer_->setInterval(run_.watching() && !run_.writing() ? kIdlePollMs : kPollMs);
    showPhase();
}

void FleetDialog::showRow(Row& row, const link::FleetRow& shown) {
    const bool writing = shown.mark == link::RowMark::Writing;
    row.bar->setVisible(writing);
    row.result->setVisible(!writing);
    row.bar->setValue(shown.bar);
    const QString text = qs(shown.text);
    const QString standing = qs(shown.standing);
    const QVariant mark = static_cast<int>(shown.mark);
    if (row.result->text() != text || row.mark->property("mark") != mark ||
        row.result->toolTip() != standing) {
        row.result->setText(text);
        row.bar->setFormat(text);
        const MarkLook look = markLook(shown.mark);
        row.result->setStyleSheet(
            look.background
                ? QStringLiteral("QLabel { background: %1; color: %2; padding: 1px 4px; "
                                 "border-radius: 3px; }")
                      .arg(QLatin1String(look.background), QLatin1String(look.text))
                : QString());
        row.mark->setPixmap(markPixmap(shown.mark, row.mark->width(), devicePixelRatioF()));
        row.mark->setProperty("mark", mark);
        // Where the radio stands, on the whole row.
        for (QWidget* part : {static_cast<QWidget*>(row.box), static_cast<QWidget*>(row.bar),
                              static_cast<QWidget*>(row.mark), static_cast<QWidget*>(row.result)})
            part->setToolTip(standing);
        row.result->setAccessibleDescription(standing);
        fitToRows();
    }
    row.retry->setVisible(shown.retry);
}

void FleetDialog::showPhase() {
    const bool running = run_.phase() == link::FleetRun::Phase::Writing ||
                         run_.phase() == link::FleetRun::Phase::Stopping;
    const bool anyTicked = std::any_of(rows_.begin(), rows_.end(),
                                       [](const Row& row) { return row.box->isChecked(); });
    for (Row& row : rows_)
        row.box->setEnabled(!running);
    verify_->setEnabled(!running);
    keepTuning_->setEnabled(!running);
    watch_->setEnabled(!running);
    start_->setVisible(!running);
    start_->setEnabled(anyTicked);
    stop_->setVisible(running);
    stop_->setEnabled(run_.phase() == link::FleetRun::Phase::Writing);
    const QString count = qs(run_.countLine());
    if (count_->text() != count) {
        count_->setText(count);
        count_->setVisible(!count.isEmpty());
    }
}

void FleetDialog::fitToRows() {
    QWidget* list = scroll_->widget();
    list->layout()->activate();
    const QSize wanted = list->sizeHint();
    const int rows = std::max(rowCount(), 1);
    // Up to kVisibleRows rows show, in half the screen at most; more scroll.
    const int room = screen()->availableGeometry().height() / 2;
    int height = rows > kVisibleRows ? wanted.height() * kVisibleRows / rows : wanted.height();
    const bool scrolls = height < wanted.height() || height > room;
    height = std::min(height, room);
    // As wide as the radios' names: the rows have gone onto two lines already when one
    // was too wide for the screen, and a name is not cut.
    const int width = wanted.width() + 2 * scroll_->frameWidth() +
                      (scrolls ? scroll_->verticalScrollBar()->sizeHint().width() : 0);
    // Wider only: a dialog on the screen does not shrink under the user's eyes.
    scroll_->setMinimumSize(std::max(width, scroll_->minimumWidth()),
                            height + 2 * scroll_->frameWidth());
    layout()->activate();
    resize(std::max(this->width(), minimumSizeHint().width()),
           std::max(this->height(), minimumSizeHint().height()));
}

int FleetDialog::barPosition(int row) const {
    return rows_[row].bar->value();
}

QString FleetDialog::resultText(int row) const {
    return rows_[row].result->text();
}

QString FleetDialog::standingText(int row) const {
    return rows_[row].result->toolTip();
}

QString FleetDialog::countText() const {
    return count_->text();
}

void FleetDialog::reject() {
    // Stays until every write has stopped, so the rows can say where each radio stands.
    if (run_.phase() == link::FleetRun::Phase::Stopping) return;
    if (run_.writing()) {
        if (prompter_.askOkCancel(
                {text_key::kPrompt, text_key::kFleetDialogAskStop, {}, PromptIcon::Question}))
            stop();
        return;
    }
    // A production line waiting for radios has nothing under way.
    run_.stop();
    timer_->stop();
    QDialog::reject();
}

}  // namespace pl3
