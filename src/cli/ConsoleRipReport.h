#pragma once
#include <QJsonObject>
#include <QString>

#include "cli/ConsoleUserInterface.h"
#include "ripper/RipSession.h"

namespace corvane::cli {

// Prints what the session reports: one line (or JSON object) per track in track order, then the
// checksums and verdicts.
class ConsoleRipReport final : public IRipObserver {
 public:
  ConsoleRipReport(Console& console, bool json, bool verify, QString device)
      : console_(console), json_(json), verify_(verify), device_(std::move(device)) {}

  std::unique_ptr<IUserInterface> Interface(int slot, const QString& name) override {
    return std::make_unique<JobConsole>(console_, slot, name);
  }
  void Message(const QString& text) override { console_.Message(text); }
  void TrackEnded(const RipSessionTrack& track, int ended, int total) override;
  void Verified(const std::vector<RipSessionTrack>& tracks,
                const std::optional<AccurateRipCheckResult>& check) override;

 private:
  QJsonObject TrackObject(const RipSessionTrack& track) const;

  Console& console_;
  bool json_;
  bool verify_;
  QString device_;
};

}  // namespace corvane::cli
