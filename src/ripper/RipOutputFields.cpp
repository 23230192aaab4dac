#include "ripper/RipOutputFields.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/RipperText.h"

namespace corvane {
namespace {

constexpr const char* kSection = keys::section::kRip;

}  // namespace

RipOutputFields::RipOutputFields(SettingsStore& settings, IUserInterface& ui) : settings_(settings), ui_(ui) {}

QString RipOutputFields::OutputFolder() const { return settings_.ReadText(kSection, keys::kOutputFolder); }

QString RipOutputFields::OutputName() const {
  const QString pattern = settings_.ReadText(kSection, keys::kOutputName);
  return pattern.isEmpty() ? StringTable::Text(text::kDefaultOutputName) : pattern;
}

void RipOutputFields::StoreOutputFolder(const QString& folder) {
  settings_.WriteText(kSection, keys::kOutputFolder, folder);
}

void RipOutputFields::StoreOutputName(const QString& pattern) {
  settings_.WriteText(kSection, keys::kOutputName, pattern);
}

std::optional<QString> RipOutputFields::Browse(const QString& editFolder) {
  const QString start = editFolder.isEmpty() ? settings_.ReadText(kSection, keys::kLastOutputFolder) : editFolder;
  const std::optional<QString> chosen = ui_.ChooseFolder(StringTable::Text(text::kRipFolderChooserTitle), start);
  if (chosen) StoreOutputFolder(*chosen);
  return chosen;
}

void RipOutputFields::ShowTips() {
  ui_.ShowMessage(StringTable::Text(text::kOutputNameTips), MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace corvane
