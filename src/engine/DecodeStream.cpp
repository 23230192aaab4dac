#include "engine/DecodeStream.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <mutex>

#include "engine/AsfProtection.h"
#include "engine/ChannelTypeMap.h"
#include "engine/MusepackHeader.h"

extern "C" {
#include <libavutil/log.h>
}

namespace corvane {
namespace {

constexpr int kMaxFailuresInARow = 64;

void QuietFfmpegOnce() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_FATAL); });
}

const char* Find(const AVDictionary* dictionary, const char* key) {
  const AVDictionaryEntry* entry = av_dict_get(dictionary, key, nullptr, 0);
  return entry != nullptr ? entry->value : nullptr;
}

// FFmpeg hands on the bytes of ID3v1 and some other old tags as they are: those are
// ISO-8859-1, and read as such when they are not valid UTF-8.
QString TagText(const char* value) {
  const QByteArray bytes(value);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes);
  return (utf8.hasError() ? QString::fromLatin1(bytes) : text).trimmed();
}

SampleResolution ResolutionOf(const AVCodecParameters& parameters, int originalBits) {
  const char* name = avcodec_get_name(parameters.codec_id);
  if (std::strncmp(name, "pcm_f", 5) == 0) return SampleResolution::Float;
  return originalBits == 8 ? SampleResolution::Bits8 : SampleResolution::Bits16;
}

}  // namespace

DecodeStream::DecodeStream(QString path, Mode mode) : path_(std::move(path)), mode_(mode) {}

DecodeStream::~DecodeStream() = default;

EngineResult<std::unique_ptr<DecodeStream>> DecodeStream::Open(const QString& path, Mode mode) {
  using Opened = EngineResult<std::unique_ptr<DecodeStream>>;
  QuietFfmpegOnce();
  std::unique_ptr<DecodeStream> stream(new DecodeStream(path, mode));
  EngineError error = stream->OpenFile();
  if (error == EngineError::Ok) error = stream->OpenDecoder();
  if (error != EngineError::Ok) return Opened::Failure(error);
  stream->ReadFirstPacket();
  stream->ReadTags();
  if (stream->length_bytes_ < 0) {
    stream->length_bytes_ = stream->MeasureLengthByDecoding();
    stream->exact_length_ = true;
  }
  if (stream->length_bytes_ < 0) return Opened::Failure(EngineError::FileFormat);
  return Opened::Success(std::move(stream));
}

EngineError DecodeStream::OpenFile() {
  const QFileInfo file(path_);
  if (!file.isFile() || !file.isReadable()) return EngineError::FileOpen;
  // FFmpeg opens a protected file as any other and fails only on its scrambled audio.
  if (AsfHeaderIsProtected(path_)) return EngineError::Protected;
  AVDictionary* options = ffmpeg::RestrictedOpenOptions();
  // FFmpeg looks for a compressed stream in PCM-tagged WAV data by running every demuxer's
  // probe over up to 32 growing packet runs: most of the time of opening a short WAV. Four
  // runs (16 KiB) still find such a stream, as FFmpeg itself once settled for.
  av_dict_set(&options, "max_probe_packets", "4", 0);
  AVFormatContext* raw = nullptr;
  const int status = avformat_open_input(&raw, path_.toUtf8().constData(), nullptr, &options);
  av_dict_free(&options);
  if (status < 0) {
    return status == AVERROR(ENOENT) || status == AVERROR(EACCES) ? EngineError::FileOpen : EngineError::FileFormat;
  }
  format_.reset(raw);
  if (avformat_find_stream_info(format_.get(), nullptr) < 0) return EngineError::FileFormat;
  const AVCodec* decoder = nullptr;
  stream_index_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream_index_ == AVERROR_DECODER_NOT_FOUND) return EngineError::Codec;
  if (stream_index_ < 0) return EngineError::FileFormat;
  return EngineError::Ok;
}

EngineError DecodeStream::OpenDecoder() {
  const AVStream* stream = format_->streams[stream_index_];
  const AVCodecParameters& parameters = *stream->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(parameters.codec_id);
  if (decoder == nullptr) return EngineError::Codec;
  codec_.reset(avcodec_alloc_context3(decoder));
  if (!codec_ || avcodec_parameters_to_context(codec_.get(), &parameters) < 0) return EngineError::Memory;
  codec_->pkt_timebase = stream->time_base;
  codec_->thread_count = 1;
  if (avcodec_open2(codec_.get(), decoder, nullptr) < 0) return EngineError::Codec;
  packet_.reset(av_packet_alloc());
  frame_.reset(av_frame_alloc());
  if (!packet_ || !frame_) return EngineError::Memory;

  info_.rate = codec_->sample_rate > 0 ? codec_->sample_rate : parameters.sample_rate;
  info_.channels = codec_->ch_layout.nb_channels > 0 ? codec_->ch_layout.nb_channels : parameters.ch_layout.nb_channels;
  if (info_.rate <= 0 || info_.channels <= 0 || info_.channels > 64) return EngineError::FileFormat;
  info_.original_bits = ffmpeg::LosslessBitsOf(parameters);
  info_.resolution = ResolutionOf(parameters, info_.original_bits);
  info_.type = ChannelTypeOf(format_->iformat->name, parameters.codec_id);

  qint64 frames = -1;
  if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
    frames = av_rescale_q(stream->duration, stream->time_base, AVRational{1, info_.rate});
    exact_length_ = info_.original_bits > 0 && format_->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
  } else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
    frames = av_rescale(format_->duration, info_.rate, AV_TIME_BASE);
  }
  if (info_.type == ChannelType::Musepack) {
    // FFmpeg counts Musepack in whole frames or coarser: take the header's count, or decode.
    const std::optional<qint64> samples = MusepackSampleCount(path_);
    frames = samples.value_or(-1);
    exact_length_ = samples.has_value();
  }
  length_bytes_ = frames < 0 ? -1 : frames * info_.FrameBytes();
  return EngineError::Ok;
}

void DecodeStream::ReadFirstPacket() {
  while (av_read_frame(format_.get(), packet_.get()) >= 0) {
    if (packet_->stream_index == stream_index_) {
      audio_start_ = packet_->pos;
      held_packet_ = true;
      return;
    }
    av_packet_unref(packet_.get());
  }
  demux_ended_ = true;
}

void DecodeStream::ReadTags() {
  const AVDictionary* container = format_->metadata;
  const AVDictionary* own = format_->streams[stream_index_]->metadata;
  auto lookup = [&](std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
      for (const AVDictionary* dictionary : {container, own}) {
        const char* value = Find(dictionary, key);
        if (value != nullptr && *value != '\0') return TagText(value);
      }
    }
    return QString();
  };
  tags_.title = lookup({"title"});
  tags_.artist = lookup({"artist", "author"});
  tags_.album = lookup({"album"});
  tags_.year = lookup({"date", "year"});
  tags_.comment = lookup({"comment", "description"});
  tags_.track = lookup({"track"});
  tags_.genre = lookup({"genre"});
  if (info_.type != ChannelType::Wma && info_.type != ChannelType::WmaMp3) return;

  QString isVbr = lookup({"IsVBR"});
  tags_.wma_block = {
      QStringLiteral("Title=") + tags_.title,
      QStringLiteral("Author=") + tags_.artist,
      QStringLiteral("WM/AlbumTitle=") + tags_.album,
      QStringLiteral("WM/Genre=") + tags_.genre,
      QStringLiteral("Description=") + tags_.comment,
      QStringLiteral("WM/TrackNumber=") + tags_.track,
      QStringLiteral("WM/Year=") + tags_.year,
      QStringLiteral("IsVBR=") + (isVbr.isEmpty() ? QStringLiteral("0") : isVbr),
      QStringLiteral("Bitrate=") + QString::number(format_->streams[stream_index_]->codecpar->bit_rate),
  };
}

qint64 DecodeStream::MeasureLengthByDecoding() {
  qint64 bytes = 0;
  char scratch[16384];
  for (;;) {
    const int read =
        ReadPcm(scratch, static_cast<int>(sizeof scratch) - static_cast<int>(sizeof scratch) % info_.FrameBytes());
    if (read < 0) return -1;
    if (read == 0) break;
    bytes += read;
  }
  if (!Reopen()) return -1;
  return bytes;
}

int DecodeStream::ReadPcm(char* buffer, int bytes) {
  if (exact_length_) {
    const qint64 left = std::max<qint64>(0, length_bytes_ - position_bytes_) * (wide_ ? 2 : 1);
    bytes = static_cast<int>(std::min<qint64>(bytes, left));
  }
  const int written =
      ReadThroughPending(pending_, pending_offset_, ended_, buffer, bytes, [this] { return DecodeMore(); });
  if (written < 0) return -1;
  position_bytes_ += wide_ ? written / 2 : written;
  if (exact_length_ && position_bytes_ >= length_bytes_) ended_ = true;
  return written;
}

bool DecodeStream::DecodeMore() {
  int failures = 0;
  for (;;) {
    const int status = avcodec_receive_frame(codec_.get(), frame_.get());
    if (status == 0) {
      const bool converted = ConvertFrame();
      av_frame_unref(frame_.get());
      if (!converted) return false;
      if (!pending_.empty()) return true;
      continue;
    }
    if (status == AVERROR_EOF) {
      ended_ = true;
      return false;
    }
    if (status != AVERROR(EAGAIN)) {
      // A damaged frame: go on with the next one, but never spin on a decoder that keeps failing.
      if (++failures > kMaxFailuresInARow) {
        ended_ = true;
        return false;
      }
      continue;
    }
    if (!FeedPacket()) return false;
  }
}

bool DecodeStream::FeedPacket() {
  for (;;) {
    if (demux_ended_) {
      avcodec_send_packet(codec_.get(), nullptr);  // drain what the decoder still holds
      return true;
    }
    if (!held_packet_ && av_read_frame(format_.get(), packet_.get()) < 0) {
      demux_ended_ = true;
      continue;
    }
    held_packet_ = false;
    if (packet_->stream_index != stream_index_) {
      av_packet_unref(packet_.get());
      continue;
    }
    const int status = avcodec_send_packet(codec_.get(), packet_.get());
    av_packet_unref(packet_.get());
    if (status == AVERROR(ENOMEM)) {
      SetLastError(EngineError::Memory);
      return false;
    }
    return true;  // a packet the decoder refused as damaged is skipped
  }
}

qint64 DecodeStream::FrameStartSample() const {
  const AVStream* stream = format_->streams[stream_index_];
  int64_t timestamp = frame_->best_effort_timestamp;
  if (timestamp == AV_NOPTS_VALUE) return -1;
  if (stream->start_time != AV_NOPTS_VALUE) timestamp -= stream->start_time;
  return av_rescale_q(timestamp, stream->time_base, AVRational{1, info_.rate});
}

bool DecodeStream::ConvertFrame() {
  const AVFrame& frame = *frame_;
  if (frame.nb_samples <= 0 || frame.sample_rate <= 0 || frame.ch_layout.nb_channels <= 0) return true;
  if (!resampler_ || resampler_channels_ != frame.ch_layout.nb_channels || resampler_rate_ != frame.sample_rate ||
      resampler_format_ != frame.format) {
    resampler_ = ffmpeg::MakeResampler(frame.ch_layout, static_cast<AVSampleFormat>(frame.format), frame.sample_rate,
                                       info_.channels, info_.rate, wide_ ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16);
    if (!resampler_) {
      SetLastError(EngineError::Format);
      return false;
    }
    resampler_channels_ = frame.ch_layout.nb_channels;
    resampler_rate_ = frame.sample_rate;
    resampler_format_ = frame.format;
  }
  const int capacity = swr_get_out_samples(resampler_.get(), frame.nb_samples);
  if (capacity <= 0) return true;
  pending_.resize(static_cast<size_t>(capacity) * DeliveredFrameBytes());
  uint8_t* out = reinterpret_cast<uint8_t*>(pending_.data());
  const int produced =
      swr_convert(resampler_.get(), &out, capacity, const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
  if (produced < 0) {
    SetLastError(EngineError::Decode);
    return false;
  }
  pending_.resize(static_cast<size_t>(produced) * DeliveredFrameBytes());

  if (skip_to_sample_ >= 0) {  // first frame after a seek: drop what lies before the target
    const qint64 start = FrameStartSample();
    drop_samples_ = start < 0 ? 0 : std::max<qint64>(0, skip_to_sample_ - start);
    skip_to_sample_ = -1;
  }
  if (drop_samples_ > 0) {
    const qint64 drop = std::min<qint64>(drop_samples_, produced);
    pending_offset_ = static_cast<size_t>(drop) * DeliveredFrameBytes();
    drop_samples_ -= drop;
    if (pending_offset_ >= pending_.size()) {
      pending_.clear();
      pending_offset_ = 0;
    }
  }
  return true;
}

bool DecodeStream::SelectWideSamples() {
  if (wide_) return true;
  if (!pending_.empty()) return false;  // 16-bit samples are already waiting
  wide_ = true;
  resampler_.reset();
  return true;
}

void DecodeStream::ResetDecoding() {
  avcodec_flush_buffers(codec_.get());
  resampler_.reset();
  pending_.clear();
  pending_offset_ = 0;
  if (held_packet_) av_packet_unref(packet_.get());
  held_packet_ = false;
  demux_ended_ = false;
  ended_ = false;
  skip_to_sample_ = -1;
  drop_samples_ = 0;
  SetLastError(EngineError::Ok);
}

bool DecodeStream::Reopen() {
  const ChannelInfo kept = info_;
  codec_.reset();
  format_.reset();
  resampler_.reset();
  if (OpenFile() != EngineError::Ok || OpenDecoder() != EngineError::Ok) return false;
  info_ = kept;
  ResetDecoding();
  position_bytes_ = 0;
  return true;
}

bool DecodeStream::Seek(qint64 bytePosition) {
  const int frameBytes = info_.FrameBytes();
  if (bytePosition < 0 || bytePosition > length_bytes_) return false;
  const qint64 target = bytePosition / frameBytes;
  const AVStream* stream = format_->streams[stream_index_];
  int64_t timestamp = av_rescale_q(target, AVRational{1, info_.rate}, stream->time_base);
  if (stream->start_time != AV_NOPTS_VALUE) timestamp += stream->start_time;
  if (av_seek_frame(format_.get(), stream_index_, timestamp, AVSEEK_FLAG_BACKWARD) >= 0) {
    ResetDecoding();
    skip_to_sample_ = target;
  } else {
    const qint64 keptLength = length_bytes_;
    const bool keptExact = exact_length_;
    if (!Reopen()) return false;
    length_bytes_ = keptLength;
    exact_length_ = keptExact;
    drop_samples_ = target;  // decoded again from the start: count the samples away
  }
  position_bytes_ = target * frameBytes;
  return true;
}

}  // namespace corvane
