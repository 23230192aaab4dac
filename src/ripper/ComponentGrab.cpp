#include "ripper/ComponentGrab.h"

#include <QFileInfo>
#include <algorithm>

#include "common/EventLoopWaiting.h"
#include "common/StringTable.h"
#include "common/SystemError.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "common/strings/RipperText.h"
#include "components/CAudioCDGrabberEvents.h"
#include "components/IAudioCDGrabber.h"
#include "components/IConversionComponent.h"
#include "output/TemporaryOutput.h"
#include "ripper/DiscReading.h"

namespace corvane {
namespace {

using Outcome = Result<RipResult>;

constexpr double kEnded = 100;

// Progress to the seam; the grab's final event wakes the wait.
class GrabEvents final : public IAudioCDGrabberEventHandler {
 public:
  GrabEvents(IUserInterface& ui, IWaiting& waiting) : ui_(ui), waiting_(waiting) {}
  void OnDiscChanged() override {}
  void OnGrabProgress(double percent) override {
    if (percent >= kEnded) {
      ended = true;
      waiting_.Wake();
      return;
    }
    ui_.SetJobProgress(static_cast<int>(percent));
  }
  void OnReadRetries(int attempts) override { worst_attempts = std::max(worst_attempts, attempts); }
  void OnFreedbState(int /*code*/) override {}

  bool ended = false;
  int worst_attempts = 0;

 private:
  IUserInterface& ui_;
  IWaiting& waiting_;
};

Outcome Failed(const QString& text) { return Outcome::Failure(RipResult::Failed, text); }

}  // namespace

Result<RipResult> GrabWithComponent(IAudioCDGrabber& grabber, const RipTrackJob& job, IUserInterface& ui,
                                    EventLoopWaiting& waiting) {
  if (!AddressRow(grabber, job.row)) return Failed(StringTable::Text(text::kRipGrabStartFailed));
  IConversionComponent* encoder = grabber.GetEncoder();
  if (encoder != nullptr && job.settings.format == FormatCode::Wma) {
    // The encoder set-up leaves WMA to the run: the grabber's encoder object takes it here.
    const ConverterResult wma =
        encoder->SetWmaFormat(job.settings.sample_rate, job.settings.channels, job.settings.bitrate);
    if (wma.Failed()) return Failed(wma.text);
  }
  TemporaryOutput::SweepFolder(QFileInfo(job.output).absolutePath());
  int fileError = 0;
  // The grabber opens its output by name.
  const std::unique_ptr<TemporaryOutput> temporary = TemporaryOutput::Create(job.output, true, fileError);
  if (!temporary) {
    return Failed(StringTable::Format(text::kUnableToCreate, {job.output}) + QStringLiteral(": ") +
                  SystemErrorText(fileError));
  }

  GrabEvents events(ui, waiting);
  CAudioCDGrabberEvents sink(events);
  sink.Advise(grabber);
  // The grab feeds the tap on its worker; it is read only once the grab has ended.
  grabber.SetPcmTap(job.tap);
  if (const GrabberResult started = grabber.GrabTrack(temporary->WritePath()); started.Failed()) {
    grabber.SetPcmTap(nullptr);
    sink.Unadvise();
    QString reason = StringTable::Text(text::kRipGrabStartFailed);
    if (!started.text.isEmpty()) reason += QStringLiteral(": ") + started.text;
    return Failed(reason);
  }
  const auto stopAsked = [&job] { return job.stop_request != nullptr && *job.stop_request; };
  waiting.WaitUntil([&] { return events.ended || stopAsked(); });
  const bool stopped = !events.ended;
  if (stopped) {
    grabber.AbortGrab();  // its final event still comes
    waiting.WaitUntil([&] { return events.ended; });
  }
  sink.Unadvise();
  grabber.SetPcmTap(nullptr);
  if (job.stats != nullptr) {
    job.stats->worst_attempts = events.worst_attempts;
    job.stats->given_up = grabber.GetGrabReadErrors();
  }

  const GrabberResult ended = grabber.GetGrabResult();
  if (stopped || ended.code == GrabberErrorCode::Aborted) {
    ui.SetJobProgress(0);
    return Outcome::Failure(RipResult::StoppedAll);  // the partial file goes with `temporary`
  }
  if (ended.Failed()) {
    ui.SetJobProgress(0);
    return Failed(ended.text);
  }
  ui.SetJobProgress(static_cast<int>(kEnded));
  return CommitRipOutput(job, *temporary, temporary->WritePath(), ui);
}

}  // namespace corvane
