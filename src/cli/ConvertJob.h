#pragma once
#include <QString>

#include "components/loudness/LoudnessMeter.h"

namespace corvane::cli {

// One file of a command-line conversion and how it ended.
struct ConvertJob {
  QString source;
  QString output;
  QString status;  // the list's status word: "Completed", "Failed", "Cancelled", "Skipped"
  QString detail;  // why it failed
  double seconds = 0;
  bool failed = false;
  bool converted = false;
  Loudness loudness;  // as written, with ReplayGain
};

}  // namespace corvane::cli
