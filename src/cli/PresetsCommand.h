#pragma once
#include <QStringList>

namespace corvane {
class SettingsStore;
}

namespace corvane::cli {

// `corvane-cli presets list | show NAME | save NAME [options] | remove NAME | reset`.
int RunPresetsCommand(const QStringList& arguments, SettingsStore& settings);

}  // namespace corvane::cli
