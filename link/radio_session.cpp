#include "link/radio_session.h"

#include <algorithm>
#include <ctime>

#include "codeplug/document.h"
#include "codeplug/text_keys.h"

namespace pl3::link {

namespace {

constexpr std::uint8_t kEmptyChannelTail[] = {0xFF,           0xFF, 0xFF, 0xFF, kResetChannelFlags,
                                              kResetShiftByte};

}  // namespace

RadioSession::RadioSession(SerialPort& port, Direction direction, backup::BackupStore& backups,
                           Prompter& prompter)
    : port_(port), backups_(backups), prompter_(prompter), job_(port, direction) {}

void RadioSession::start(const Image& image, const SessionOptions& options) {
    options_ = options;
    result_ = {};
    ended_ = false;
    ImageFields sent;
    sent.image() = image;
    if (direction() == Direction::Write) {
        prepareImageForWrite(sent);
        // Before the job runs: a warning about the backup must not meet a finished job.
        if (options.backups)
            result_.writeBackup =
                backups_.save(sent.image(), backup::Event::BeforeWrite, prompter_);
        job_.setVerifyAfterWrite(options.verify);
        job_.setKeepRadioTuning(options.keepTuning);
    }
    job_.start(sent.image(), options.plan);
}

void RadioSession::setVerify(bool verify) {
    options_.verify = verify;
    job_.setVerifyAfterWrite(verify);
}

void RadioSession::setKeepTuning(bool keep) {
    options_.keepTuning = keep;
    job_.setKeepRadioTuning(keep);
}

SessionLook RadioSession::look() {
    SessionLook look{job_.snapshot(), {}, ended_};
    if (ended_) return look;
    // A job that ended without a final status was stopped after its block.
    if (look.job.finished && !isFinal(look.job.status)) {
        end(look.job, look.actions, true);
        look.ended = true;
        return look;
    }
    look.actions = tickActions(look.job, direction());
    if (look.actions.stopTimer) {
        end(look.job, look.actions, false);
        look.ended = true;
    }
    return look;
}

void RadioSession::end(const JobSnapshot& job, const TickActions& actions, bool stopped) {
    job_.join();
    result_ = {.writeBackup = std::move(result_.writeBackup), .lineLost = port_.hungUp()};
    port_.close();
    ended_ = true;
    result_.status = job.status;
    result_.stopped = stopped;
    result_.blocksDone = job.blocksDone;
    result_.verified = job.verified;
    if (job.mismatchAddress >= 0) result_.mismatchAddress = job.mismatchAddress;
    if (actions.takeRadioTuning) result_.radioTuning = job_.radioTuning();
    result_.openProblem = job_.openProblem();
    result_.portOpened = job_.portOpened();
    result_.foundPortNotStored = job.foundPortNotStored;
    result_.version = job_.versionText();
    result_.devicePath = port_.lastDevicePath();
    result_.log = port_.logOutcome();
    if (actions.takeImage && options_.backups) {
        result_.readBackup = backups_.save(job_.workingImage(), backup::Event::Read, prompter_,
                                           std::time(nullptr), result_.devicePath);
    }
}

void RadioSession::cancel() {
    job_.cancel();
    port_.close();
}

std::vector<std::string> RadioSession::standing(const TextLookup& texts) const {
    BackupsKept backups{options_.backups, result_.writeBackup, std::nullopt};
    if (backups.taken) backups.newestRead = backups_.latest(backup::Event::Read);
    return radioStanding({direction(), result_.status, result_.blocksDone, result_.stopped},
                         backups, texts);
}

PromptMessage RadioSession::errorMessage(std::string_view errorKey, bool tellOpenProblem,
                                         const TextLookup& texts) const {
    PromptMessage message{text_key::kError, errorKey, {}, PromptIcon::Stop};
    if (tellOpenProblem) message = noRadioMessage(result_.openProblem, result_.portOpened, texts);
    message.detail += logFileDetail(result_.log, texts);
    return message;
}

void prepareImageForWrite(ImageFields& fields) {
    int first = 1;
    for (int n = 1; n <= kChannelCount; ++n) {
        if (!fields.isEmpty(n)) {
            first = n;
            break;
        }
    }
    fields.setSetting(Setting::StartChannel, first);
}

void takeReadImage(CMaItemDoc& doc, const Image& image) {
    doc.rawFields().image() = image;
    // The radio's range decides the limits, and the document no longer matches its file.
    doc.deriveRangeLimits();
    doc.setModifiedFlag(true);
    doc.setFromIncompleteFile(false);
    for (int n = 1; n <= kChannelCount; ++n) {
        if (!doc.fields().isEmpty(n)) continue;
        std::copy(std::begin(kEmptyChannelTail), std::end(kEmptyChannelTail),
                  doc.rawFields().image().begin() +
                      static_cast<std::ptrdiff_t>(layout::record(n) + layout::kRecRxTone));
    }
    doc.startHistory(false);
}

}  // namespace pl3::link
