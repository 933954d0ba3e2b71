#include "service/auto_tuning_session.h"

#include <algorithm>

namespace pl3::service {

namespace {

std::uint8_t byteOf(int value) {
    return static_cast<std::uint8_t>(value);
}

}  // namespace

AutoTuningSession::AutoTuningSession(CMaItemDoc& doc, LiveTuningChannel& channel)
    : doc_(doc), channel_(channel), band_(bandCode(doc.lowerLimit(), doc.upperLimit())) {}

ValueLimits AutoTuningSession::range() const {
    return kAutoTuningItems[static_cast<std::size_t>(selected_)].range;
}

PollTimer AutoTuningSession::open() {
    selected_ = 0;
    position_ = itemValue(doc_, 0);
    record_ = kBlankRecord;
    record_[live_record::kAction] = byteOf(static_cast<int>(LiveAction::Set));
    record_[live_record::kBand] = band_;
    record_[live_record::kPoint] = kAutoTuningItems[0].pointCode;
    record_[live_record::kItem] = 0;
    record_[live_record::kValue] = byteOf(position_);
    channel_.sendLiveSet(record_, 0);
    channel_.querySquelch(kSquelchQueryPauseMs);
    return PollTimer::Start;
}

PollTimer AutoTuningSession::select(int n) {
    if (n < 0 || n >= kAutoTuningItemCount)
        return squelchShown() ? PollTimer::Start : PollTimer::Stop;
    selected_ = n;
    position_ = itemValue(doc_, n);
    record_[live_record::kAction] = byteOf(static_cast<int>(LiveAction::Set));
    record_[live_record::kBand] = band_;
    record_[live_record::kPoint] = kAutoTuningItems[static_cast<std::size_t>(n)].pointCode;
    return sendCurrent();
}

int AutoTuningSession::step(int direction) {
    ValueLimits limits = range();
    position_ += direction;
    if (position_ < limits.lower) position_ = limits.upper;
    if (position_ > limits.upper) position_ = limits.lower;
    return position_;
}

int AutoTuningSession::track(int position) {
    ValueLimits limits = range();
    position_ = std::clamp(position, limits.lower, limits.upper);
    return position_;
}

PollTimer AutoTuningSession::endScroll() {
    storeItemValue(doc_, selected_, position_);
    return sendCurrent();
}

PollTimer AutoTuningSession::sendCurrent() {
    record_[live_record::kItem] = byteOf(selected_);
    record_[live_record::kValue] = byteOf(position_);
    channel_.sendLiveSet(record_, kLiveSetPauseMs);
    if (!squelchShown()) return PollTimer::Stop;
    channel_.querySquelch(kSquelchQueryPauseMs);
    return PollTimer::Start;
}

void AutoTuningSession::pollSquelch() {
    if (squelchShown()) channel_.querySquelch(0);
}

void AutoTuningSession::finish(bool keep) {
    record_[live_record::kAction] =
        byteOf(static_cast<int>(keep ? LiveAction::Keep : LiveAction::Discard));
    channel_.finish(record_);
}

}  // namespace pl3::service
