#pragma once
#include "engine/EngineLibrary.h"

namespace corvane {

// What probing one engine part found.
enum class ProbeResult {
  Available,    // the linked libraries provide the capability
  Missing,      // they should, and do not: binding fails
  NotProvided,  // no library on this platform offers it; binding succeeds with it empty
};

// Asks the linked libraries whether they provide one engine part.
class IEngineCapabilityProbe {
 public:
  virtual ~IEngineCapabilityProbe() = default;
  virtual ProbeResult Probe(EngineLibrary library) = 0;
};

// The real probe: FFmpeg's decoders, demuxers, encoders and versions, libswresample, libcdio.
class LinkedLibraryProbe final : public IEngineCapabilityProbe {
 public:
  ProbeResult Probe(EngineLibrary library) override;
};

}  // namespace corvane
