#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "support/ToolRunner.h"

namespace corvane::test {

// True when FFmpeg on this machine has an encoder of that name.
bool HasFfmpegEncoder(const QString& name);

// Makes `path` with ffmpeg from a generated tone: `seconds` of a sine at `rate` Hz with
// `channels` channels, encoded with `outputArguments` (codec, bitrate, container options ...).
void MakeTone(const QString& path, double seconds, int rate, int channels, const QStringList& outputArguments = {});

// Makes `path` a 16-bit stereo WAV of music-like sound with sox: plucked chords over pink noise,
// the right channel quieter, broadband like real music, `seconds` long at `rate` Hz.
void MakeMusic(const QString& path, int rate, double seconds);

// Makes `path` a WAV of `sentence` spoken by espeak-ng (22050 Hz mono, with pauses).
void MakeSpeech(const QString& path, const QString& sentence);

// The two ASF header objects that mark a file as protected by digital rights management.
enum class AsfProtection { ContentEncryption, ExtendedContentEncryption };
// Makes `path` a one-second WMA file (ffmpeg, wmav2) whose header object also holds a protection
// object of that kind, the header's size and object count adjusted to it.
void MakeProtectedWma(const QString& path, AsfProtection kind);

// Decodes `path` with ffmpeg to raw 16-bit little-endian interleaved samples.
QByteArray DecodeWithFfmpeg(const QString& path);

// Duration in seconds as ffprobe reports it for the file; negative when it cannot tell.
double ProbeDuration(const QString& path);
// One format-level tag as ffprobe reports it (empty when absent).
QString ProbeTag(const QString& path, const QString& key);

QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& bytes);

}  // namespace corvane::test
