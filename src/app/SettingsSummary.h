#pragma once
#include <QString>

namespace corvane {

class SettingsStore;

// The two read-only summaries of the settings/about page, built from the stored values each
// time they are asked for.
QString BuildConverterSummary(const SettingsStore& settings);
QString BuildRipperSummary(const SettingsStore& settings);

}  // namespace corvane
