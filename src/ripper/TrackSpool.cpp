#include "ripper/TrackSpool.h"

#include <QFile>
#include <vector>

#include "common/StringTable.h"
#include "common/SystemError.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "engine/AudioStream.h"
#include "engine/CdStream.h"
#include "output/TemporaryOutput.h"
#include "ripper/GrabbedTrackStream.h"

namespace corvane {
namespace {

using Outcome = Result<RipResult>;

constexpr int kChannels = 2;
constexpr int kBlockBytes = CdStream::kSectorBytes * 25;
constexpr int kPercent = 100;

// The spooled audio read back from its file.
class SpooledAudio final : public AudioStream {
 public:
  SpooledAudio(const QString& path, qint64 length) : file_(path), length_(length) {}
  bool Open() { return file_.open(QIODevice::ReadOnly); }

  ChannelInfo Info() const override {
    return ChannelInfo{CdStream::kRate, kChannels, SampleResolution::Bits16, 16, ChannelType::Cd};
  }
  qint64 LengthBytes() const override { return length_; }
  bool LengthIsExact() const override { return true; }
  qint64 PositionBytes() const override { return file_.pos(); }
  bool Seek(qint64 bytePosition) override {
    if (bytePosition < 0 || bytePosition > length_) return false;
    return file_.seek(bytePosition - bytePosition % 4);
  }
  bool IsActive() const override { return file_.pos() < length_; }

 protected:
  int ReadPcm(char* buffer, int bytes) override {
    const qint64 read = file_.read(buffer, bytes - bytes % 4);
    if (read < 0) SetLastError(EngineError::Unknown);
    return static_cast<int>(read);
  }

 private:
  QFile file_;
  qint64 length_;
};

Outcome Failed(const QString& text) { return Outcome::Failure(RipResult::Failed, text); }

}  // namespace

TrackSpool::~TrackSpool() { audio_.reset(); }

Result<RipResult> TrackSpool::Read(const RipTrackJob& job, IUserInterface& ui, std::unique_ptr<TrackSpool>& spool) {
  std::unique_ptr<AudioStream> source;
  if (const Outcome opened = OpenRipSource(job, source); opened.Failed()) return opened;
  int fileError = 0;
  std::unique_ptr<TemporaryOutput> temporary = TemporaryOutput::Create(job.output, false, fileError);
  QFile out(temporary ? temporary->WritePath() : QString());
  if (!temporary || !out.open(QIODevice::WriteOnly)) {
    if (temporary) fileError = EIO;
    return Failed(StringTable::Format(text::kUnableToCreate, {job.output}) + QStringLiteral(": ") +
                  SystemErrorText(fileError));
  }
  std::vector<char> block(kBlockBytes);
  qint64 length = 0;
  int shown = -1;
  for (;;) {
    if (job.stop_request != nullptr && job.stop_request->pressed) return Outcome::Failure(RipResult::StoppedAll);
    const int read = source->Read(block.data(), kBlockBytes);
    if (read < 0) {
      const auto* grabbed = dynamic_cast<const GrabbedTrackStream*>(source.get());
      if (grabbed != nullptr && !grabbed->FailureText().isEmpty()) return Failed(grabbed->FailureText());
      return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(source->LastError())}));
    }
    if (read == 0) break;
    if (out.write(block.data(), read) != read) {
      return Failed(StringTable::Format(text::kUnableToCreate, {job.output}) + QStringLiteral(": ") +
                    out.errorString());
    }
    length += read;
    const auto percent = static_cast<int>(length * kPercent / std::max<qint64>(source->LengthBytes(), 1));
    if (percent != shown) ui.SetJobProgress(shown = std::min(percent, kPercent));
  }
  if (!out.flush()) {
    return Failed(StringTable::Format(text::kUnableToCreate, {job.output}) + QStringLiteral(": ") + out.errorString());
  }
  out.close();
  NoteReadStats(job, *source);
  auto audio = std::make_unique<SpooledAudio>(temporary->WritePath(), length);
  if (!audio->Open()) return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(EngineError::FileOpen)}));
  spool.reset(new TrackSpool());
  spool->file_ = std::move(temporary);
  spool->audio_ = std::move(audio);
  return Outcome::Success();
}

}  // namespace corvane
