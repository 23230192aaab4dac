#pragma once
#include <QStringList>

namespace corvane {
class CAudioEngine;
}

namespace corvane::cli {

// `corvane-cli convert [options] PATH...`; returns the exit status (0 all converted, 1 some
// failed, 2 bad usage or a run-wide refusal, 130 interrupted).
int RunConvertCommand(const QStringList& arguments, const CAudioEngine& engine);

}  // namespace corvane::cli
