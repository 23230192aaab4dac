#pragma once
#include <QString>
#include <optional>

namespace corvane {

class IUserInterface;
class SettingsStore;

// The ripper page's output fields: the output folder with its browse button, and the output-name
// pattern with its tips. Both are stored in "Rip Setting" as they change.
class RipOutputFields {
 public:
  RipOutputFields(SettingsStore& settings, IUserInterface& ui);

  QString OutputFolder() const;
  // The pattern; the default one when none is stored.
  QString OutputName() const;
  void StoreOutputFolder(const QString& folder);
  void StoreOutputName(const QString& pattern);
  // The folder dialog, starting at `editFolder` or, when that is empty, at "Last Output Folder".
  // The chosen folder is stored and returned; nullopt when the user cancelled.
  std::optional<QString> Browse(const QString& editFolder);
  // The tags the pattern understands, in an information box.
  void ShowTips();

 private:
  SettingsStore& settings_;
  IUserInterface& ui_;
};

}  // namespace corvane
