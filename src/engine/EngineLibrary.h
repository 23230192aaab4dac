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
  int resourceId;    // the number the library has always been known by
  const char* name;  // for diagnostics
};

// Binding order.
inline constexpr std::array<EngineLibraryInfo, kEngineLibraryCount> kEngineLibraries = {{
    {EngineLibrary::Core, 184, "core"},
    {EngineLibrary::EncoderFeed, 193, "encoder feed"},
    {EngineLibrary::Mixer, 191, "mixer"},
    {EngineLibrary::Wma, 185, "WMA"},
    {EngineLibrary::Flac, 190, "FLAC"},
    {EngineLibrary::MonkeysAudio, 187, "Monkey's Audio"},
    {EngineLibrary::Musepack, 189, "Musepack"},
    {EngineLibrary::AacMp4, 186, "AAC/MP4"},
    {EngineLibrary::Ac3, 188, "AC-3"},
    {EngineLibrary::Adx, 201, "ADX"},
    {EngineLibrary::Aix, 202, "AIX"},
    {EngineLibrary::WavPack, 195, "WavPack"},
    {EngineLibrary::Speex, 194, "Speex"},
    {EngineLibrary::Tags, 196, "tags"},
    {EngineLibrary::Alac, 197, "ALAC"},
    {EngineLibrary::Tta, 199, "TTA"},
    {EngineLibrary::OptimFrog, 200, "OptimFROG"},
    {EngineLibrary::Cd, 198, "CD"},
}};

}  // namespace corvane
