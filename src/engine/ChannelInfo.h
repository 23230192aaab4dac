#pragma once

namespace corvane {

// Stream kinds, numbered as the audio library's public channel-type constants so that the
// input-type mapping and anything stored with these numbers keep their meaning.
enum class ChannelType : int {
  Unknown = 0,
  OggVorbis = 0x10002,
  MpegLayer1 = 0x10003,
  MpegLayer2 = 0x10004,
  MpegLayer3 = 0x10005,
  Aiff = 0x10006,
  Cd = 0x10200,
  Wma = 0x10300,
  WmaMp3 = 0x10301,
  WavPack = 0x10500,
  OptimFrog = 0x10600,
  MonkeysAudio = 0x10700,
  Flac = 0x10900,
  FlacOgg = 0x10901,
  Musepack = 0x10A00,
  Aac = 0x10B00,
  Mp4 = 0x10B01,
  Speex = 0x10C00,
  Alac = 0x10E00,
  Tta = 0x10F00,
  Ac3 = 0x11000,
  Opus = 0x11200,
  Adx = 0x1F000,
  Aix = 0x1F001,
  Wav = 0x40000,
  WavPcm = 0x50001,
  WavFloat = 0x50003,
};

// Sample resolution of the source (what the file holds); streams always deliver 16-bit samples.
enum class SampleResolution { Bits8, Bits16, Float };

// What a stream delivers and what it was made from.
struct ChannelInfo {
  int rate = 0;      // samples per second
  int channels = 0;  // interleaved in the delivered data
  SampleResolution resolution = SampleResolution::Bits16;
  int original_bits = 0;  // bits per sample stored in the source; 0 for lossy sources
  ChannelType type = ChannelType::Unknown;

  // Bytes of one sample frame of the delivered 16-bit data.
  int FrameBytes() const { return channels * 2; }
  bool Is8Bit() const { return resolution == SampleResolution::Bits8; }
};

}  // namespace corvane
