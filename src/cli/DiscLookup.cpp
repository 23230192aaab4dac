#include "cli/DiscLookup.h"

#include <QEventLoop>

#include "cli/ConsoleUserInterface.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "components/CAudioCDGrabberEvents.h"
#include "components/IAudioCDGrabber.h"
#include "ripper/FreedbSettingsValues.h"

namespace corvane::cli {
namespace {

// The look-up's states: 1 connecting, 2 querying, then 3 found, -2 nothing known, -1 failed.
constexpr int kFound = 3;

class LookupWaiter final : public IAudioCDGrabberEventHandler {
 public:
  explicit LookupWaiter(QEventLoop& loop) : loop_(loop) {}
  void OnDiscChanged() override {}
  void OnGrabProgress(double) override {}
  void OnReadRetries(int) override {}
  void OnFreedbState(int code) override {
    if (code != kFound && code >= 0) return;
    state_ = code;
    loop_.quit();
  }
  int State() const { return state_; }

 private:
  QEventLoop& loop_;
  int state_ = -1;
};

void Take(QString& field, const QString& found) {
  if (!found.isEmpty()) field = found;
}

}  // namespace

void LookUpDisc(IAudioCDGrabber& grabber, LookupSource source, SettingsStore& settings, int rows,
                DiscMetadata& metadata, Console& console) {
  const std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  FreedbSettingsValues::Load(settings).ApplyTo(*client);
  QEventLoop loop;
  LookupWaiter waiter(loop);
  CAudioCDGrabberEvents sink(waiter);
  sink.Advise(grabber);
  // Events arrive through this thread's event loop, so none can be missed before it runs.
  if (grabber.QueryFreedb(*client, static_cast<int>(source)).Succeeded()) loop.exec();
  sink.Unadvise();
  if (waiter.State() != kFound) {
    console.Message(StringTable::Text(waiter.State() == -2 ? text::kRipLookupNoMatch : text::kRipLookupFailed));
    return;
  }
  const DiscMetadata found = ReadLookupMetadata(grabber, rows);
  Take(metadata.artist, found.artist);
  Take(metadata.album, found.album);
  Take(metadata.year, found.year);
  if (found.genre_entry > 0) metadata.genre_entry = found.genre_entry;
  if (metadata.titles.size() < found.titles.size()) metadata.titles.resize(found.titles.size());
  for (qsizetype row = 0; row < found.titles.size(); ++row) Take(metadata.titles[row], found.titles[row]);
}

}  // namespace corvane::cli
