#pragma once
#include <QStringList>

namespace corvane {
class CAudioEngine;
}

namespace corvane::cli {

// `corvane-cli probe [--json] PATH...`: each file's "Audio Info." description, length and size.
int RunProbeCommand(const QStringList& arguments, const CAudioEngine& engine);

}  // namespace corvane::cli
