#pragma once
#include <QByteArray>

namespace corvane {

// The header of a PCM WAV stream handed to an encoder on a pipe. `frames` is the number of sample
// frames that follow; when it is negative (not known in advance) or too large for the header,
// the RIFF and data sizes say "as long as it goes" (0xFFFFFFFF). More than two channels get the
// extensible format with the usual speaker mask for their count, as flac requires.
QByteArray MakeWavStreamHeader(int sampleRate, int channels, int bitsPerSample, qint64 frames);

}  // namespace corvane
