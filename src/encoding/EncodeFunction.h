#pragma once
#include <functional>

#include "encoding/EncodeJob.h"

namespace corvane {

class IUserInterface;

// Encodes one file of a run (EncodeTrack in the program; tests and other callers may wrap it).
using EncodeFunction = std::function<EncodeOutcome(const EncodeJob& job, IUserInterface& ui)>;

}  // namespace corvane
