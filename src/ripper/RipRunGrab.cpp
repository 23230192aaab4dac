// The window's rip run while the grabber writes a track itself: waiting on the grabber's events,
// the stop prompt, and the progress and read attempts the grabber reports.
#include <QEventLoop>
#include <QTimer>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "ripper/DiscReading.h"
#include "ripper/RipRun.h"
#include "ripper/RipperView.h"

namespace corvane {
namespace {

constexpr int kPumpMs = 200;

QString Word(int id) { return StringTable::Text(id); }

}  // namespace

void RipRun::Wait() {
  QEventLoop loop;
  wake_ = &loop;
  QTimer::singleShot(kPumpMs, &loop, &QEventLoop::quit);
  loop.exec();
  wake_ = nullptr;
  ui_.PumpEvents();
}

void RipRun::Wake() {
  if (wake_ != nullptr) wake_->quit();
}

RipResult RipRun::AskPendingStop() {
  if (!stop_request_.exchange(false)) return RipResult::Done;
  switch (ui_.AskStop(Word(text::kAskStopRipping))) {
    case StopAnswer::Continue:
      return RipResult::Done;
    case StopAnswer::StopThis:
      return RipResult::StoppedThis;
    case StopAnswer::StopAll:
      break;
  }
  return RipResult::StoppedAll;
}

RipResult RipRun::ComponentGrab(int row, const QString& writePath, PcmTap* tap, QString& reason) {
  read_attempts_ = 0;
  if (const RipResult pending = AskPendingStop(); pending != RipResult::Done) return pending;
  const bool addressed = grabber_ != nullptr && AddressRow(*grabber_, row);
  if (addressed && encoder_ != nullptr && start_.settings.format == FormatCode::Wma) {
    // The encoder set-up leaves WMA to the run: the grabber's encoder object takes it here.
    const ConverterResult wma =
        encoder_->SetWmaFormat(start_.settings.sample_rate, start_.settings.channels, start_.settings.bitrate);
    if (wma.Failed()) {
      reason = wma.text;
      return RipResult::Failed;
    }
  }
  if (addressed) grabber_->SetPcmTap(tap);
  if (!addressed || grabber_->GrabTrack(writePath).Failed()) {
    if (addressed) grabber_->SetPcmTap(nullptr);
    ui_.ShowMessage(Word(text::kRipGrabStartFailed), MessageIcon::Error, MessageButtons::Ok);
    return RipResult::Failed;
  }
  grab_active_ = true;
  abort_pending_ = false;
  stop_answer_ = StopAnswer::Continue;
  while (grab_active_ && stop_answer_ == StopAnswer::Continue) Wait();
  if (stop_answer_ == StopAnswer::Continue) {
    grabber_->SetPcmTap(nullptr);  // the grab has ended: the tap holds the whole track
    read_errors_ = grabber_->GetGrabReadErrors();
    // The grab's end says nothing of how it ended: a read or write failure is no finished track.
    const GrabberResult ended = grabber_->GetGrabResult();
    if (ended.Succeeded()) return RipResult::Done;
    reason = ended.text;
    return RipResult::Failed;
  }
  while (grab_active_ && abort_pending_) Wait();
  grabber_->SetPcmTap(nullptr);
  stop_request_ = false;  // answered: the next grab starts without asking again
  view_.SetRipButton(Word(text::kRipStopButton), Word(text::kRipStopTooltip), true);
  return stop_answer_ == StopAnswer::StopAll ? RipResult::StoppedAll : RipResult::StoppedThis;
}

void RipRun::RequestStop() {
  if (!running_) return;
  if (!component_grab_ || !grab_active_) {
    stop_request_ = true;
    return;
  }
  const StopAnswer answer = ui_.AskStop(Word(text::kAskStopRipping));
  if (answer == StopAnswer::Continue) return;
  if (!grab_active_) {
    // The grab ended while the question was up: its track is whole and stays, the run does not.
    stop_all_after_track_ = answer == StopAnswer::StopAll;
    return;
  }
  stop_answer_ = answer;
  stop_request_ = true;
  ui_.SetStatusText(1, Word(text::kRipCancelling));
  view_.SetRipButton(Word(text::kRipStopButton), Word(text::kRipStopTooltip), false);
  abort_pending_ = true;
  grabber_->AbortGrab();
  Wake();
}

void RipRun::OnGrabProgress(double percent) {
  ui_.SetJobProgress(static_cast<int>(percent));
  if (percent >= 100) {
    ui_.SetStatusText(1, Word(text::kStatusOutput));
    grab_active_ = false;
    abort_pending_ = false;
    ui_.SetJobProgress(0);
  } else {
    read_attempts_ = 0;
  }
  Wake();
}

void RipRun::OnReadRetries(int attempts) {
  ui_.SetStatusText(1, StringTable::Format(text::kRipReadAttempts, {attempts}));
  read_attempts_ = attempts;
}

}  // namespace corvane
