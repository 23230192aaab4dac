#include "components/WmaFileEncoder.h"

#include <string>

#include "components/ConverterError.h"
#include "engine/WmaEncoder.h"

namespace corvane {
namespace {

constexpr int kBitsPerKilobit = 1000;

std::string Reason(const char* what, EngineError error) {
  return std::string(what) + " (engine error " + std::to_string(static_cast<int>(error)) + ")";
}

}  // namespace

bool WmaFileEncoder::Accepts(int sampleRate, int channels, int bitrateKbps) {
  return WmaEncoder::Accepts(sampleRate, channels, bitrateKbps * kBitsPerKilobit);
}

WmaFileEncoder::WmaFileEncoder(const QString& path, int sampleRate, int channels, int bitrateKbps) {
  EngineResult<std::unique_ptr<WmaEncoder>> opened =
      WmaEncoder::Open(sampleRate, channels, bitrateKbps * kBitsPerKilobit, path);
  if (!opened.Succeeded()) {
    const bool refused = opened.status.code == EngineError::Format;
    throw ConverterError(refused ? ConverterErrorCode::UnsupportedFormat : ConverterErrorCode::OutputOpen,
                         Reason(refused ? "the WMA encoder does not take these settings" : "cannot create the WMA file",
                                opened.status.code));
  }
  encoder_ = std::move(*opened.value);
}

WmaFileEncoder::~WmaFileEncoder() = default;

void WmaFileEncoder::Write(std::span<const std::int16_t> samples) {
  if (samples.empty()) return;
  if (!encoder_->Write(samples.data(), static_cast<int>(samples.size_bytes())))
    throw ConverterError(ConverterErrorCode::WriteFailed, Reason("cannot write the WMA file", encoder_->LastError()));
}

void WmaFileEncoder::Finish() {
  if (!encoder_->Close())
    throw ConverterError(ConverterErrorCode::WriteFailed,
                         Reason("cannot complete the WMA file", encoder_->LastError()));
}

}  // namespace corvane
