#include "components/grabber/GrabJob.h"

#include <QFileInfo>
#include <span>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/IConversionComponent.h"

namespace corvane {
namespace {

constexpr int kCdRate = 44100;
constexpr int kCdChannels = 2;
constexpr int kSectorsPerRead = 26;
constexpr int kDone = 100;

GrabberResult Fail(GrabberErrorCode code, int textId, std::initializer_list<QVariant> args = {}) {
  return GrabberResult::Failure(code, StringTable::Format(textId, args));
}

}  // namespace

GrabJob::GrabJob(IConversionComponent& encoder, Report progress, Report retries)
    : encoder_(encoder), progress_(std::move(progress)), retries_(std::move(retries)) {}

GrabJob::~GrabJob() {
  abort_ = true;
  Wait();
}

GrabberResult GrabJob::Open(const GrabSource& source, const QString& path) {
  if (source.image && !QFileInfo::exists(source.drive_path))
    return Fail(GrabberErrorCode::NoDisc, text::kDiscImageGone, {source.drive_path});
  DiscOpenResult disc = OpenDisc(source.drive_path);
  if (!disc.Succeeded()) return GrabberResult::Failure(GrabberErrorCode::DeviceError, disc.status.text);
  disc_ = std::move(*disc.value);
  reader_ = std::make_unique<TrackReader>(*disc_, source.first_lsn, source.sectors, source.settings, source.tap);
  if (const GrabberResult opened = reader_->Open(); opened.Failed()) return opened;
  ConverterResult output = encoder_.SetInputFormat(kCdRate, kCdChannels);
  if (output.Succeeded()) output = encoder_.OpenOutput(path, encoder_.GetOutputType());
  if (output.Failed()) return Fail(GrabberErrorCode::WriteError, text::kGrabOutputFailed, {path, output.text});
  sectors_ = source.sectors;
  path_ = path;
  return GrabberResult::Success();
}

void GrabJob::Launch() {
  {
    std::lock_guard lock(outcome_mutex_);
    outcome_ = Fail(GrabberErrorCode::Busy, text::kGrabRunning);
  }
  running_ = true;
  worker_ = std::thread([this] { Run(); });
}

void GrabJob::Wait() {
  if (worker_.joinable()) worker_.join();
}

GrabberResult GrabJob::Outcome() const {
  std::lock_guard lock(outcome_mutex_);
  return outcome_;
}

void GrabJob::Run() {
  GrabberResult outcome = Copy();
  // The output is completed in every case: a finished file is whole, a partial one at least
  // closed for the caller to remove.
  const ConverterResult closed = encoder_.Reset();
  if (outcome.Succeeded() && closed.Failed())
    outcome = Fail(GrabberErrorCode::WriteError, text::kGrabOutputFailed, {path_, closed.text});
  Finish(outcome);
}

GrabberResult GrabJob::Copy() {
  int done = 0;
  int reported = 0;
  int attempts = 1;
  for (QByteArray chunk;;) {
    if (abort_) return Fail(GrabberErrorCode::Aborted, text::kGrabAborted);
    const GrabberResult read = reader_->Read(kSectorsPerRead, chunk);
    if (reader_->WorstAttempts() > attempts) {
      attempts = reader_->WorstAttempts();
      retries_(attempts);
    }
    if (read.Failed()) return read;
    if (chunk.isEmpty() && reader_->AtEnd()) return GrabberResult::Success();
    // A block whose every sector was discarded reads empty; the track goes on after it.
    const std::span samples(reinterpret_cast<const std::int16_t*>(chunk.constData()),
                            static_cast<std::size_t>(chunk.size()) / sizeof(std::int16_t));
    const ConverterResult written = samples.empty() ? ConverterResult::Success() : encoder_.WriteSamples(samples);
    if (written.Failed()) return Fail(GrabberErrorCode::WriteError, text::kGrabOutputFailed, {path_, written.text});
    // Sectors the error action left out still count towards the track's end.
    done = std::min(done + kSectorsPerRead, sectors_);
    const int percent = static_cast<int>(static_cast<long long>(done) * kDone / std::max(sectors_, 1));
    if (percent > reported && percent < kDone) progress_(reported = percent);
  }
}

void GrabJob::Finish(GrabberResult outcome) {
  if (reader_) unreadable_ = reader_->UnreadableSectors();
  {
    std::lock_guard lock(outcome_mutex_);
    outcome_ = std::move(outcome);
  }
  running_ = false;
  progress_(kDone);
}

}  // namespace corvane
