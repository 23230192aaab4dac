#pragma once
// Fixtures and judges shared by the Monkey's Audio encoder tests: PCM generators (also
// speech from espeak-ng and music rendered by timidity from a MIDI file written here),
// encoding through the library interface, and decoding with ffmpeg.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "codecs/ape/ApeCompressor.h"
#include "codecs/ape/ApeInterface.h"
#include "codecs/ape/ApeTypes.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane::ape::test {

// Interleaved 16-bit stereo source material; Convert() derives the formats we encode.
struct StereoSignal {
  std::uint32_t sample_rate = 44100;
  std::vector<std::int16_t> samples;  // L, R, L, R ...
  std::size_t Blocks() const { return samples.size() / 2; }
};

// PCM in WAV data-chunk layout.
struct Pcm {
  WaveFormat format;
  QByteArray bytes;
  std::size_t Blocks() const { return static_cast<std::size_t>(bytes.size()) / format.block_align; }
};

inline Pcm Convert(const StereoSignal& signal, int channels, int bits) {
  Pcm pcm;
  pcm.format =
      MakeWaveFormat(signal.sample_rate, static_cast<std::uint16_t>(channels), static_cast<std::uint16_t>(bits));
  pcm.bytes.reserve(static_cast<qsizetype>(signal.Blocks() * pcm.format.block_align));
  auto put = [&](int v) {
    if (bits == 8) {
      pcm.bytes.append(static_cast<char>((v >> 8) + 128));
    } else {
      pcm.bytes.append(static_cast<char>(v & 0xFF));
      pcm.bytes.append(static_cast<char>((v >> 8) & 0xFF));
    }
  };
  for (std::size_t n = 0; n < signal.Blocks(); ++n) {
    const int left = signal.samples[2 * n];
    const int right = signal.samples[2 * n + 1];
    if (channels == 1) {
      put((left + right) >> 1);
    } else {
      put(left);
      put(right);
    }
  }
  return pcm;
}

inline StereoSignal Silence(std::size_t blocks) {
  StereoSignal s;
  s.samples.assign(2 * blocks, 0);
  return s;
}

// Full-scale square waves of different periods in the two channels.
inline StereoSignal Square(std::size_t blocks) {
  StereoSignal s;
  for (std::size_t n = 0; n < blocks; ++n) {
    s.samples.push_back((n / 50) % 2 ? 32767 : -32768);
    s.samples.push_back((n / 37) % 2 ? -32768 : 32767);
  }
  return s;
}

// Exponential sweeps from 20 Hz to 20 kHz, the right channel a little louder and reversed.
inline StereoSignal Sweep(std::size_t blocks) {
  StereoSignal s;
  const double rate = s.sample_rate;
  const double duration = static_cast<double>(blocks) / rate;
  const double k = std::log(1000.0);
  for (std::size_t n = 0; n < blocks; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double up = 2 * M_PI * 20 * duration / k * (std::exp(k * t / duration) - 1);
    const double down = 2 * M_PI * 20 * duration / k * (std::exp(k * (duration - t) / duration) - 1);
    s.samples.push_back(static_cast<std::int16_t>(std::lround(26000 * std::sin(up))));
    s.samples.push_back(static_cast<std::int16_t>(std::lround(32767 * std::sin(down))));
  }
  return s;
}

// Full-scale white noise, independent in the two channels (deterministic seed).
inline StereoSignal Noise(std::size_t blocks, std::uint32_t seed = 1234) {
  StereoSignal s;
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(-32768, 32767);
  for (std::size_t n = 0; n < 2 * blocks; ++n) s.samples.push_back(static_cast<std::int16_t>(value(random)));
  return s;
}

// Any audio file as 16-bit stereo at the given rate, decoded by ffmpeg.
inline StereoSignal ReadAudioFile(const QString& path, std::uint32_t sampleRate) {
  StereoSignal s;
  s.sample_rate = sampleRate;
  const QByteArray raw = corvane::test::ToolOutput(
      "ffmpeg", {"-v", "error", "-i", path, "-f", "s16le", "-ac", "2", "-ar", QString::number(sampleRate), "-"});
  s.samples.resize(static_cast<std::size_t>(raw.size()) / 2);
  if (s.samples.empty()) throw corvane::test::ToolFailure("ffmpeg decoded no samples from " + path.toStdString());
  std::memcpy(s.samples.data(), raw.constData(), s.samples.size() * 2);
  return s;
}

// Speech from espeak-ng (22050 Hz), the right channel an attenuated, delayed copy.
inline StereoSignal Speech(const QString& folder) {
  const QString wav = folder + "/speech.wav";
  corvane::test::RunTool("espeak-ng", {"-w", wav, "The quick brown fox jumps over the lazy dog, twice."});
  StereoSignal s = ReadAudioFile(wav, 22050);
  for (std::size_t n = s.Blocks(); n-- > 0;) {
    s.samples[2 * n + 1] = static_cast<std::int16_t>(n >= 7 ? s.samples[2 * (n - 7)] * 4 / 5 : 0);
  }
  return s;
}

// A small type-0 MIDI file: piano chords, an arpeggio, a bass line and drums.
inline QByteArray MidiSong(int bars) {
  QByteArray track;
  auto event = [&](int delta, std::initializer_list<int> bytes) {
    std::vector<std::uint8_t> vlq{static_cast<std::uint8_t>(delta & 0x7F)};
    for (delta >>= 7; delta > 0; delta >>= 7) vlq.insert(vlq.begin(), static_cast<std::uint8_t>(0x80 | (delta & 0x7F)));
    for (auto b : vlq) track.append(static_cast<char>(b));
    for (int b : bytes) track.append(static_cast<char>(b));
  };
  event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // 120 bpm
  event(0, {0xC0, 0});                             // piano
  event(0, {0xC1, 33});                            // electric bass
  event(0, {0xC2, 48});                            // strings
  const int roots[] = {60, 57, 53, 55};
  const int quarter = 96;
  for (int bar = 0; bar < bars; ++bar) {
    const int root = roots[bar % 4];
    const int chord[] = {root, root + 4 - (bar % 2), root + 7};
    for (int note : chord) event(0, {0x92, note - 12, 60});
    for (int beat = 0; beat < 4; ++beat) {
      for (int note : chord) event(0, {0x90, note + (beat % 2) * 12, 80 + beat * 8});
      event(0, {0x91, root - 24 + (beat == 3 ? 7 : 0), 100});
      event(0, {0x99, beat % 2 ? 38 : 36, 110});
      event(0, {0x99, 42, 70});
      event(quarter / 2, {0x99, 42, 60});
      event(quarter / 2, {0x80, chord[0] + (beat % 2) * 12, 0});
      for (int i = 1; i < 3; ++i) event(0, {0x80, chord[i] + (beat % 2) * 12, 0});
      event(0, {0x81, root - 24 + (beat == 3 ? 7 : 0), 0});
    }
    for (int note : chord) event(0, {0x82, note - 12, 0});
  }
  event(quarter, {0xFF, 0x2F, 0x00});
  QByteArray file("MThd", 4);
  for (int b : {0, 0, 0, 6, 0, 0, 0, 1, 0, quarter}) file.append(static_cast<char>(b));
  file.append("MTrk", 4);
  const auto size = static_cast<std::uint32_t>(track.size());
  for (int shift = 24; shift >= 0; shift -= 8) file.append(static_cast<char>((size >> shift) & 0xFF));
  return file + track;
}

// timidity's configuration for the fixture: the patch set scripts/install-deps.sh installs, named
// explicitly because the machine's default configuration may source a sound font that is absent.
// CORVANE_TIMIDITY_CFG overrides it (the test of a failing fixture tool uses that).
inline QString TimidityConfig() {
  const QByteArray chosen = qgetenv("CORVANE_TIMIDITY_CFG");
  return chosen.isEmpty() ? QStringLiteral("/etc/timidity/freepats.cfg") : QString::fromLocal8Bit(chosen);
}

// Music-like material: the MIDI song rendered by timidity at 44100 Hz.
inline StereoSignal Music(const QString& folder, int bars) {
  const QString midi = folder + "/song.mid";
  const QString wav = folder + "/song.wav";
  if (!corvane::test::WriteAll(midi, MidiSong(bars))) {
    throw corvane::test::ToolFailure("cannot write " + midi.toStdString());
  }
  corvane::test::RunTool("timidity", {"-c", TimidityConfig(), "-idq", "-Ow", "-s", "44100", "-o", wav, midi});
  return ReadAudioFile(wav, 44100);
}

// Encodes through the library interface, feeding the PCM in uneven pieces (odd sizes and
// empty calls included). blocksPerFrame 0 keeps the level's frame size.
inline ApeResult EncodeFile(const QString& path, const Pcm& pcm, int level, std::uint32_t blocksPerFrame = 0,
                            std::int64_t maxAudioBytes = kOpenEndedLength) {
  ApeResult result = ApeResult::kOk;
  ApeCompressor* compressor = CompressCreate(&result);
  if (compressor == nullptr) return result;
  if (blocksPerFrame != 0) compressor->SetBlocksPerFrame(blocksPerFrame);
  const std::string utf8 = path.toStdString();
  result = CompressStart(compressor, utf8.c_str(), &pcm.format, maxAudioBytes, level);
  const auto* data = reinterpret_cast<const unsigned char*>(pcm.bytes.constData());
  const std::int64_t size = pcm.bytes.size();
  const std::int64_t pieces[] = {0, 1, 7, 4096, 0, 12345, 65537};
  for (std::int64_t done = 0, i = 0; result == ApeResult::kOk && done < size; ++i) {
    const std::int64_t take = std::min(pieces[i % 7], size - done);
    result = CompressAddData(compressor, data + done, take);
    done += take;
  }
  if (result == ApeResult::kOk) result = CompressFinish(compressor);
  CompressDestroy(compressor);
  return result;
}

// The raw samples ffmpeg decodes from a file, with frame CRC checking on; nothing when it
// refuses the file or reports an error.
inline std::optional<QByteArray> DecodeWithFfmpeg(const QString& path, int bits) {
  const corvane::test::ToolResult result = corvane::test::RunTool(
      "ffmpeg", {"-v", "error", "-err_detect", "crccheck+explode", "-i", path, "-f", bits == 8 ? "u8" : "s16le", "-"},
      {.mayFail = true});
  if (result.exitCode != 0 || !result.err.isEmpty()) return std::nullopt;
  return result.out;
}

}  // namespace corvane::ape::test
