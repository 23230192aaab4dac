#include "discimage/DecodedAudioFile.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

constexpr int kSampleBytes = 2;
// A decoder that fails this often in a row is given up rather than spun on.
constexpr int kMaxFailuresInARow = 64;

}  // namespace

DecodedAudioFile::DecodedAudioFile(QString path) : path_(std::move(path)) {}

DecodedAudioFile::~DecodedAudioFile() = default;

std::unique_ptr<DecodedAudioFile> DecodedAudioFile::Open(const QString& path) {
  av_log_set_level(AV_LOG_FATAL);
  std::unique_ptr<DecodedAudioFile> file(new DecodedAudioFile(path));
  if (!file->OpenDecoder()) return nullptr;
  const AVStream& stream = *file->format_->streams[file->stream_];
  const bool counted = file->stored_bits_ > 0 && stream.duration != AV_NOPTS_VALUE && stream.duration > 0 &&
                       file->format_->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
  file->frames_ =
      counted ? av_rescale_q(stream.duration, stream.time_base, AVRational{1, file->rate_}) : file->CountFrames();
  if (file->frames_ < 0) return nullptr;
  return file;
}

bool DecodedAudioFile::OpenDecoder() {
  format_.reset();
  codec_.reset();
  resampler_.reset();
  AVDictionary* options = ffmpeg::RestrictedOpenOptions();
  AVFormatContext* raw = nullptr;
  const int status = avformat_open_input(&raw, QFile::encodeName(path_).constData(), nullptr, &options);
  av_dict_free(&options);
  if (status < 0) return false;
  format_.reset(raw);
  if (avformat_find_stream_info(format_.get(), nullptr) < 0) return false;
  const AVCodec* decoder = nullptr;
  stream_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream_ < 0 || decoder == nullptr) return false;
  const AVStream& stream = *format_->streams[stream_];
  codec_.reset(avcodec_alloc_context3(decoder));
  if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream.codecpar) < 0) return false;
  codec_->pkt_timebase = stream.time_base;
  codec_->thread_count = 1;
  if (avcodec_open2(codec_.get(), decoder, nullptr) < 0) return false;
  packet_.reset(av_packet_alloc());
  frame_.reset(av_frame_alloc());
  rate_ = codec_->sample_rate;
  channels_ = codec_->ch_layout.nb_channels;
  stored_bits_ = ffmpeg::LosslessBitsOf(*stream.codecpar);
  drained_ = false;
  failed_ = false;
  pending_.clear();
  pending_first_ = next_ = 0;
  return packet_ && frame_ && rate_ > 0 && channels_ > 0 && channels_ <= 8;
}

qint64 DecodedAudioFile::CountFrames() {
  qint64 frames = 0;
  while (DecodeMore()) frames += static_cast<qint64>(pending_.size()) / (channels_ * kSampleBytes);
  if (failed_) return -1;
  return OpenDecoder() ? frames : -1;
}

qint64 DecodedAudioFile::FrameStart() const {
  const AVStream& stream = *format_->streams[stream_];
  int64_t timestamp = frame_->best_effort_timestamp;
  if (timestamp == AV_NOPTS_VALUE) return -1;
  if (stream.start_time != AV_NOPTS_VALUE) timestamp -= stream.start_time;
  return av_rescale_q(timestamp, stream.time_base, AVRational{1, rate_});
}

bool DecodedAudioFile::SeekTo(qint64 frame) {
  const AVStream& stream = *format_->streams[stream_];
  int64_t timestamp = av_rescale_q(frame, AVRational{1, rate_}, stream.time_base);
  if (stream.start_time != AV_NOPTS_VALUE) timestamp += stream.start_time;
  if (frame > 0 && av_seek_frame(format_.get(), stream_, timestamp, AVSEEK_FLAG_BACKWARD) >= 0) {
    avcodec_flush_buffers(codec_.get());
    drained_ = false;
    failed_ = false;
    pending_.clear();
    next_ = -1;  // known from the first decoded frame's time stamp
  } else if (!OpenDecoder()) {
    return false;
  }
  return true;
}

bool DecodedAudioFile::DecodeMore() {
  pending_.clear();
  for (int failures = 0; !failed_;) {
    const int status = avcodec_receive_frame(codec_.get(), frame_.get());
    if (status == 0) {
      const bool converted = Convert();
      av_frame_unref(frame_.get());
      if (!converted) failed_ = true;
      if (!pending_.empty() || failed_) return !failed_;
      continue;
    }
    if (status == AVERROR_EOF) return false;
    if (status != AVERROR(EAGAIN)) {
      if (++failures > kMaxFailuresInARow) failed_ = true;
      continue;
    }
    if (drained_) return false;
    if (av_read_frame(format_.get(), packet_.get()) < 0) {
      drained_ = true;
      avcodec_send_packet(codec_.get(), nullptr);
      continue;
    }
    if (packet_->stream_index == stream_) avcodec_send_packet(codec_.get(), packet_.get());
    av_packet_unref(packet_.get());
  }
  return false;
}

bool DecodedAudioFile::Convert() {
  const AVFrame& frame = *frame_;
  if (frame.nb_samples <= 0) return true;
  if (frame.ch_layout.nb_channels != channels_ || frame.sample_rate != rate_) return false;
  if (!resampler_) {
    resampler_ =
        ffmpeg::MakeResampler(frame.ch_layout, static_cast<AVSampleFormat>(frame.format), rate_, channels_, rate_);
    if (!resampler_) return false;
  }
  const int frameBytes = channels_ * kSampleBytes;
  pending_.resize(static_cast<size_t>(frame.nb_samples) * frameBytes);
  auto* out = reinterpret_cast<uint8_t*>(pending_.data());
  const int produced = swr_convert(resampler_.get(), &out, frame.nb_samples,
                                   const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
  if (produced < 0) return false;
  pending_.resize(static_cast<size_t>(produced) * frameBytes);
  if (next_ < 0) next_ = std::max<qint64>(0, FrameStart());
  pending_first_ = next_;
  next_ += produced;
  return true;
}

qint64 DecodedAudioFile::Read(qint64 first, qint64 count, char* out) {
  const int frameBytes = channels_ * kSampleBytes;
  const qint64 pendingEnd = pending_first_ + static_cast<qint64>(pending_.size()) / frameBytes;
  // Within what was decoded last, or on from it: no seek.
  if ((first < pending_first_ || first > pendingEnd) && !SeekTo(first)) return -1;
  qint64 done = 0;
  bool rewound = false;
  while (done < count) {
    const qint64 at = first + done;
    const qint64 end = pending_first_ + static_cast<qint64>(pending_.size()) / frameBytes;
    if (at >= pending_first_ && at < end) {
      const qint64 take = std::min(count - done, end - at);
      std::memcpy(out + done * frameBytes, pending_.data() + (at - pending_first_) * frameBytes,
                  static_cast<size_t>(take * frameBytes));
      done += take;
      continue;
    }
    if (!DecodeMore()) break;
    if (at < pending_first_) {
      // The seek landed past the frame asked for: decode from the start instead.
      if (rewound || !OpenDecoder()) return -1;
      rewound = true;
    }
  }
  if (failed_ && done == 0) return -1;
  return done;
}

}  // namespace corvane
