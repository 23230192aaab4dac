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
#include "tags/SourceFileServices.h"

namespace corvane {
namespace {

using Outcome = Result<RipResult>;

constexpr double kEnded = 100;

// Progress and read attempts to the seam; the grab's final event wakes the wait.
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
  void OnReadRetries(int attempts) override {
    ui_.SetStatusText(1, StringTable::Format(text::kRipReadAttempts, {attempts}));
    worst_attempts = std::max(worst_attempts, attempts);
  }
  void OnFreedbState(int /*code*/) override {}

  bool ended = false;
  int worst_attempts = 0;

 private:
  IUserInterface& ui_;
  IWaiting& waiting_;
};

Outcome Failed(const QString& text) { return Outcome::Failure(RipResult::Failed, text); }

// Asks about a stop that was pressed, taking it back; the answer is kept in the request.
StopAnswer ServeStop(const RipTrackJob& job, IUserInterface& ui) {
  if (job.stop_request == nullptr || !job.stop_request->pressed.exchange(false)) return StopAnswer::Continue;
  const StopAnswer answer = ui.AskStop(StringTable::Text(text::kAskStopRipping));
  job.stop_request->answer = answer;
  return answer;
}

Outcome Stopped(StopAnswer answer) {
  return Outcome::Failure(answer == StopAnswer::StopThis ? RipResult::StoppedThis : RipResult::StoppedAll);
}

}  // namespace

Result<RipResult> GrabWithComponent(IAudioCDGrabber& grabber, const RipTrackJob& job, IUserInterface& ui,
                                    EventLoopWaiting& waiting) {
  // A stop pressed while no grab ran is asked about before the next one starts.
  if (const StopAnswer answer = ServeStop(job, ui); answer != StopAnswer::Continue) return Stopped(answer);
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
    return Outcome::Failure(RipResult::NoOutput, StringTable::Format(text::kUnableToCreate, {job.output}) +
                                                     QStringLiteral(": ") + SystemErrorText(fileError));
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
  // A stop is asked about while the grab runs on (whoever presses it wakes the wait). Yes or Stop
  // All cancels the track, even when the grab ended while the question was open.
  StopAnswer stopped = StopAnswer::Continue;
  const auto pressed = [&] {
    return stopped == StopAnswer::Continue && job.stop_request != nullptr && job.stop_request->pressed;
  };
  while (!events.ended) {
    waiting.WaitUntil([&] { return events.ended || pressed(); });
    if (events.ended) break;
    const StopAnswer answer = ServeStop(job, ui);
    if (answer == StopAnswer::Continue) continue;
    stopped = answer;
    ui.SetStatusText(1, StringTable::Text(text::kRipCancelling));
    if (!events.ended) grabber.AbortGrab();  // its final event still comes
  }
  sink.Unadvise();
  grabber.SetPcmTap(nullptr);
  if (job.stats != nullptr) {
    job.stats->worst_attempts = events.worst_attempts;
    job.stats->given_up = grabber.GetGrabReadErrors();
  }

  const GrabberResult ended = grabber.GetGrabResult();
  Outcome outcome = Outcome::Success();
  // A grab stopped by the user loses its file, however far it got; the answer stays in the request.
  if (stopped != StopAnswer::Continue) {
    outcome = Stopped(stopped);
  } else if (ended.code == GrabberErrorCode::Aborted) {
    outcome = Stopped(StopAnswer::StopAll);
  } else if (ended.Failed()) {
    outcome = Failed(ended.text);
  } else if (job.fail_at_retry_limit && job.careful.retries > 0 && events.worst_attempts > job.careful.retries) {
    // A sector read at the last attempt it was allowed (the first read and every retry).
    outcome = Outcome::Failure(RipResult::RetryLimit, StringTable::Text(text::kRipReadError));
  }
  if (outcome.Failed()) {
    ui.SetJobProgress(0);
    return outcome;
  }
  ui.SetJobProgress(static_cast<int>(kEnded));
  // WMA's own back-end tags its file as it writes it; the grabber's encoder object does not.
  if (job.tags != nullptr && job.settings.format == FormatCode::Wma)
    SourceFileServices::WriteFileTags(temporary->WritePath(), *job.tags);
  return CommitRipOutput(job, *temporary, temporary->WritePath(), ui);
}

}  // namespace corvane
