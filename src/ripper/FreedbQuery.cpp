#include "ripper/FreedbQuery.h"

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "components/IFreedbClient.h"
#include "components/freedb/LookupSettings.h"
#include "ripper/FreedbSettingsValues.h"

namespace corvane {
namespace {

constexpr int kPreparingPercent = 20;
constexpr int kConnectingPercent = 50;
constexpr int kQueryingPercent = 75;
constexpr int kDonePercent = 100;

// Codes of the grabber's look-up event.
constexpr int kConnecting = 1;
constexpr int kQuerying = 2;
constexpr int kFound = 3;
constexpr int kFailed = -1;
constexpr int kNoMatch = -2;

}  // namespace

FreedbQuery::FreedbQuery(SettingsStore& settings, IUserInterface& ui) : settings_(settings), ui_(ui) {}

FreedbQuery::~FreedbQuery() = default;

FreedbOutcome FreedbQuery::Start(IAudioCDGrabber& grabber, IFreedbClient& client) {
  const FreedbSettingsValues values = FreedbSettingsValues::Load(settings_);
  values.ApplyTo(client);
  const int source = values.freedb_source;
  server_ = LookupServiceName(client, static_cast<LookupSource>(source));
  held_.clear();
  grabber_ = &grabber;
  progress_ = ui_.OpenProgressWindow(QString());
  // A slow server would otherwise hold the window until the time-out.
  progress_->SetCancelEnabled(true);
  progress_->SetCancelHandler([this] { Cancel(); });
  progress_->SetRange(0, kDonePercent);
  ShowProgress(StringTable::Format(text::kFreedbPreparing, {server_}), kPreparingPercent);
  if (grabber.QueryFreedb(client, source).Failed()) return Handle(kFailed);
  return HandleHeld(FreedbOutcome::Pending);
}

FreedbOutcome FreedbQuery::OnState(int code) {
  if (!Running()) return FreedbOutcome::Pending;
  if (updating_) {
    held_.push_back(code);
    return FreedbOutcome::Pending;
  }
  return HandleHeld(Handle(code));
}

FreedbOutcome FreedbQuery::HandleHeld(FreedbOutcome outcome) {
  while (outcome == FreedbOutcome::Pending && Running() && !held_.empty()) {
    const int code = held_.front();
    held_.pop_front();
    outcome = Handle(code);
  }
  return outcome;
}

void FreedbQuery::ShowProgress(const QString& text, int percent) {
  updating_ = true;
  if (!text.isEmpty()) progress_->SetText(text);
  progress_->SetPosition(percent);
  updating_ = false;
}

FreedbOutcome FreedbQuery::Handle(int code) {
  switch (code) {
    case kConnecting:
      ShowProgress(StringTable::Format(text::kFreedbConnecting, {server_}), kConnectingPercent);
      return FreedbOutcome::Pending;
    case kQuerying:
      ShowProgress(StringTable::Text(text::kFreedbQuerying), kQueryingPercent);
      return FreedbOutcome::Pending;
    case kFound:
      ui_.SetStatusText(1, StringTable::Text(text::kFreedbRetrieved));
      return Finish(FreedbOutcome::Found);
    case kNoMatch:
      ui_.SetStatusText(1, StringTable::Text(text::kNoFreedbInfo));
      ui_.ShowMessage(StringTable::Text(text::kNoFreedbInfoMessage), MessageIcon::Error, MessageButtons::Ok);
      return Finish(FreedbOutcome::NoMatch);
    case kFailed:
      ShowProgress(QString(), kDonePercent);
      ui_.ShowMessage(StringTable::Format(text::kFreedbConnectFailed, {server_}), MessageIcon::Error,
                      MessageButtons::Ok);
      return Finish(FreedbOutcome::Failed);
    default:
      return FreedbOutcome::Pending;
  }
}

FreedbOutcome FreedbQuery::Finish(FreedbOutcome outcome) {
  ShowProgress(QString(), kDonePercent);
  progress_.reset();
  held_.clear();
  return outcome;
}

void FreedbQuery::Abandon() {
  progress_.reset();
  held_.clear();
}

void FreedbQuery::Cancel() {
  if (!Running()) return;
  grabber_->CancelFreedbQuery();
  Abandon();
  if (cancelled_) cancelled_();
}

}  // namespace corvane
