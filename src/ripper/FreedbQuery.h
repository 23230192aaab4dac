#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <memory>

namespace corvane {

class IAudioCDGrabber;
class IFreedbClient;
class IProgressWindow;
class IUserInterface;
class SettingsStore;

// How a look-up ended, as the page acts on it.
enum class FreedbOutcome { Pending, Found, NoMatch, Failed };

// One look-up of the disc's metadata from its start to its final state: hands the freedb
// settings to the client, starts the grabber's query and keeps the progress window up to date
// with the states the grabber reports (event 4) until the last, which it reports to the user.
//
// Updating the progress window may serve the user interface, and with it the grabber's next
// state. A state that arrives so is held and acted on once the update has returned: the answer
// ends the window and may open dialogs, which must not happen under the window's own update.
class FreedbQuery {
 public:
  FreedbQuery(SettingsStore& settings, IUserInterface& ui);
  ~FreedbQuery();
  FreedbQuery(const FreedbQuery&) = delete;
  FreedbQuery& operator=(const FreedbQuery&) = delete;

  // Starts a look-up of the grabber's current disc. A grabber that refuses to start one ends it
  // at once as Failed, told as a failure to reach the server.
  FreedbOutcome Start(IAudioCDGrabber& grabber, IFreedbClient& client);
  bool Running() const { return progress_ != nullptr; }
  // A state the grabber reported; Pending while the look-up goes on, and for states that arrive
  // when none runs.
  FreedbOutcome OnState(int code);
  // Ends a running look-up without a report: the grabber forgot it with the disc it was about.
  void Abandon();
  // Told when the user cancelled a look-up in its progress window. The look-up ends then without
  // a report and the page's fields stay as they were.
  void SetCancelled(std::function<void()> cancelled) { cancelled_ = std::move(cancelled); }

 private:
  FreedbOutcome Handle(int code);
  // Acts on the states held during progress updates until one ends the look-up.
  FreedbOutcome HandleHeld(FreedbOutcome outcome);
  void ShowProgress(const QString& text, int percent);
  FreedbOutcome Finish(FreedbOutcome outcome);
  void Cancel();

  SettingsStore& settings_;
  IUserInterface& ui_;
  QString server_;
  std::unique_ptr<IProgressWindow> progress_;
  bool updating_ = false;
  std::deque<int> held_;
  IAudioCDGrabber* grabber_ = nullptr;  // the running look-up's
  std::function<void()> cancelled_;
};

}  // namespace corvane
