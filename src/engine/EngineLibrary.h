#pragma once
#include <array>

namespace corvane {

// The eighteen parts of the audio engine, in binding order. Each stands for a capability that
// the linked libraries must provide (decoding a format, mixing, writing WMA, reading CDs ...).
enum class EngineLibrary : int {
  Core,
  EncoderFeed,
  Mixer,
  Wma,
  Flac,
  MonkeysAudio,
  Musepack,
  AacMp4,
  Ac3,
  Adx,
  Aix,
  WavPack,
  Speex,
  Tags,
  Alac,
  Tta,
  OptimFrog,
  Cd,
};

inline constexpr int kEngineLibraryCount = 18;

struct EngineLibraryInfo {
  EngineLibrary library;
  const char* name;  // for diagnostics
};

// Binding order.
inline constexpr std::array<EngineLibraryInfo, kEngineLibraryCount> kEngineLibraries = {{
    {EngineLibrary::Core, "core"},
    {EngineLibrary::EncoderFeed, "encoder feed"},
    {EngineLibrary::Mixer, "mixer"},
    {EngineLibrary::Wma, "WMA"},
    {EngineLibrary::Flac, "FLAC"},
    {EngineLibrary::MonkeysAudio, "Monkey's Audio"},
    {EngineLibrary::Musepack, "Musepack"},
    {EngineLibrary::AacMp4, "AAC/MP4"},
    {EngineLibrary::Ac3, "AC-3"},
    {EngineLibrary::Adx, "ADX"},
    {EngineLibrary::Aix, "AIX"},
    {EngineLibrary::WavPack, "WavPack"},
    {EngineLibrary::Speex, "Speex"},
    {EngineLibrary::Tags, "tags"},
    {EngineLibrary::Alac, "ALAC"},
    {EngineLibrary::Tta, "TTA"},
    {EngineLibrary::OptimFrog, "OptimFROG"},
    {EngineLibrary::Cd, "CD"},
}};

}  // namespace corvane
