#pragma once
#include <QByteArray>

namespace corvane {

// The 44-byte header of a PCM WAV stream whose length is not known when it starts: the RIFF
// and data sizes say "as long as it goes" (0xFFFFFFFF), which encoders reading a pipe accept.
QByteArray MakeStreamingWavHeader(int sampleRate, int channels, int bitsPerSample);

}  // namespace corvane
