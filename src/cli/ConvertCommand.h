#pragma once
#include <QStringList>

namespace corvane {
class CAudioEngine;
class SettingsStore;
}  // namespace corvane

namespace corvane::cli {

// `corvane-cli convert [options] PATH...`; returns the exit status (0 all converted, 1 some
// failed, 2 bad usage or a refusal that left nothing converted, 128 + the signal's number when
// SIGINT, SIGTERM or SIGHUP stopped it).
int RunConvertCommand(const QStringList& arguments, const CAudioEngine& engine, SettingsStore& settings);

}  // namespace corvane::cli
