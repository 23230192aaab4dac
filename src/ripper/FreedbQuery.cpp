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
  progress_ = ui_.OpenProgressWindow(QString());
  progress_->SetCancelEnabled(false);
  progress_->SetRange(0, kDonePercent);
  progress_->SetText(StringTable::Format(text::kFreedbPreparing, {server_}));
  progress_->SetPosition(kPreparingPercent);
  if (grabber.QueryFreedb(client, source).Failed()) return OnState(kFailed);
  return FreedbOutcome::Pending;
}

FreedbOutcome FreedbQuery::OnState(int code) {
  if (!Running()) return FreedbOutcome::Pending;
  switch (code) {
    case kConnecting:
      progress_->SetText(StringTable::Format(text::kFreedbConnecting, {server_}));
      progress_->SetPosition(kConnectingPercent);
      return FreedbOutcome::Pending;
    case kQuerying:
      progress_->SetText(StringTable::Text(text::kFreedbQuerying));
      progress_->SetPosition(kQueryingPercent);
      return FreedbOutcome::Pending;
    case kFound:
      ui_.SetStatusText(1, StringTable::Text(text::kFreedbRetrieved));
      return Finish(FreedbOutcome::Found);
    case kNoMatch:
      ui_.SetStatusText(1, StringTable::Text(text::kNoFreedbInfo));
      ui_.ShowMessage(StringTable::Text(text::kNoFreedbInfoMessage), MessageIcon::Error, MessageButtons::Ok);
      return Finish(FreedbOutcome::NoMatch);
    case kFailed:
      progress_->SetPosition(kDonePercent);
      ui_.ShowMessage(StringTable::Format(text::kFreedbConnectFailed, {server_}), MessageIcon::Error,
                      MessageButtons::Ok);
      return Finish(FreedbOutcome::Failed);
    default:
      return FreedbOutcome::Pending;
  }
}

FreedbOutcome FreedbQuery::Finish(FreedbOutcome outcome) {
  progress_->SetPosition(kDonePercent);
  progress_.reset();
  return outcome;
}

void FreedbQuery::Abandon() { progress_.reset(); }

}  // namespace corvane
