#include "engine/WmaEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cstring>

namespace corvane {
namespace {

AVCodecContext* MakeCodec(int sampleRate, int channels, int bitrate, bool globalHeader) {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
  if (codec == nullptr || channels < 1 || channels > 2 || sampleRate <= 0 || bitrate <= 0) return nullptr;
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (context == nullptr) return nullptr;
  context->sample_fmt = AV_SAMPLE_FMT_FLTP;
  context->sample_rate = sampleRate;
  av_channel_layout_default(&context->ch_layout, channels);
  context->bit_rate = bitrate;
  context->time_base = AVRational{1, sampleRate};
  if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(context, codec, nullptr) < 0) {
    avcodec_free_context(&context);
    return nullptr;
  }
  return context;
}

// ASF stores each text with a 16-bit byte length, UTF-16 with a terminating zero.
constexpr qsizetype kMaxAsfTextUnits = (0xFFFF - 2) / 2;

// The text cut to what ASF holds, never between the two halves of a surrogate pair.
QString FitForAsf(const QString& text) {
  if (text.size() <= kMaxAsfTextUnits) return text;
  qsizetype end = kMaxAsfTextUnits;
  if (text.at(end - 1).isHighSurrogate()) --end;
  return text.left(end);
}

}  // namespace

bool WmaEncoder::Accepts(int sampleRate, int channels, int bitrateBitsPerSecond) {
  AVCodecContext* context = MakeCodec(sampleRate, channels, bitrateBitsPerSecond, false);
  const bool ok = context != nullptr;
  avcodec_free_context(&context);
  return ok;
}

EngineResult<std::unique_ptr<WmaEncoder>> WmaEncoder::Open(int sampleRate, int channels, int bitrateBitsPerSecond,
                                                           const QString& path) {
  auto fail = [](EngineError code) { return EngineResult<std::unique_ptr<WmaEncoder>>::Failure(code); };
  std::unique_ptr<WmaEncoder> encoder(new WmaEncoder);
  const QByteArray file = path.toUtf8();
  if (avformat_alloc_output_context2(&encoder->format_, nullptr, "asf", file.constData()) < 0) {
    return fail(EngineError::NotAvailable);
  }
  const bool globalHeader = (encoder->format_->oformat->flags & AVFMT_GLOBALHEADER) != 0;
  encoder->codec_ = MakeCodec(sampleRate, channels, bitrateBitsPerSecond, globalHeader);
  if (encoder->codec_ == nullptr) return fail(EngineError::Format);
  AVStream* stream = avformat_new_stream(encoder->format_, nullptr);
  if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, encoder->codec_) < 0) {
    return fail(EngineError::Memory);
  }
  stream->time_base = encoder->codec_->time_base;
  if (avio_open(&encoder->format_->pb, file.constData(), AVIO_FLAG_WRITE) < 0) return fail(EngineError::Create);

  encoder->channels_ = channels;
  encoder->frame_size_ = encoder->codec_->frame_size;
  encoder->frame_ = av_frame_alloc();
  encoder->packet_ = av_packet_alloc();
  if (encoder->frame_ == nullptr || encoder->packet_ == nullptr) return fail(EngineError::Memory);
  encoder->frame_->format = encoder->codec_->sample_fmt;
  encoder->frame_->nb_samples = encoder->frame_size_;
  encoder->frame_->sample_rate = sampleRate;
  if (av_channel_layout_copy(&encoder->frame_->ch_layout, &encoder->codec_->ch_layout) < 0 ||
      av_frame_get_buffer(encoder->frame_, 0) < 0) {
    return fail(EngineError::Memory);
  }
  return EngineResult<std::unique_ptr<WmaEncoder>>::Success(std::move(encoder));
}

WmaEncoder::~WmaEncoder() {
  if (format_ != nullptr && format_->pb != nullptr) avio_closep(&format_->pb);
  avformat_free_context(format_);
  avcodec_free_context(&codec_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
}

bool WmaEncoder::SetTag(const QString& name, const QString& value) {
  if (header_written_ || closed_) return false;
  // FFmpeg's ASF writer puts a tag named "title" in the content description, where every
  // reader looks for the title; the other names it maps itself.
  const QByteArray key = name == QLatin1String("Title") ? QByteArrayLiteral("title") : name.toUtf8();
  return av_dict_set(&format_->metadata, key.constData(), FitForAsf(value).toUtf8().constData(), 0) >= 0;
}

bool WmaEncoder::StartFile() {
  if (header_written_) return true;
  if (avformat_write_header(format_, nullptr) < 0) {
    error_ = EngineError::Create;
    return false;
  }
  header_written_ = true;
  return true;
}

bool WmaEncoder::Write(const void* pcm, int bytes) {
  if (closed_ || !StartFile()) return false;
  const auto* samples = static_cast<const qint16*>(pcm);
  const int frames = bytes / (2 * channels_);
  for (int i = 0; i < frames; ++i) {
    if (buffered_ == 0 && av_frame_make_writable(frame_) < 0) return false;
    for (int c = 0; c < channels_; ++c) {
      reinterpret_cast<float*>(frame_->data[c])[buffered_] = samples[i * channels_ + c] / 32768.0f;
    }
    if (++buffered_ == frame_size_ && !EncodeFrame(false)) return false;
  }
  return true;
}

bool WmaEncoder::EncodeFrame(bool flush) {
  if (!flush) {
    frame_->pts = next_pts_;
    next_pts_ += buffered_;
    buffered_ = 0;
  }
  if (avcodec_send_frame(codec_, flush ? nullptr : frame_) < 0) {
    error_ = EngineError::Unknown;
    return false;
  }
  return Drain();
}

bool WmaEncoder::Drain() {
  AVStream* stream = format_->streams[0];
  for (;;) {
    const int result = avcodec_receive_packet(codec_, packet_);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
    if (result < 0) {
      error_ = EngineError::Unknown;
      return false;
    }
    av_packet_rescale_ts(packet_, codec_->time_base, stream->time_base);
    packet_->stream_index = 0;
    if (av_interleaved_write_frame(format_, packet_) < 0) {
      error_ = EngineError::Unknown;
      return false;
    }
  }
}

bool WmaEncoder::Close() {
  if (closed_) return true;
  if (!StartFile()) return false;
  if (buffered_ > 0) {
    // The encoder takes whole frames only: the last one is completed with silence.
    for (int c = 0; c < channels_; ++c) {
      std::memset(reinterpret_cast<float*>(frame_->data[c]) + buffered_, 0,
                  sizeof(float) * static_cast<size_t>(frame_size_ - buffered_));
    }
    buffered_ = frame_size_;
    if (!EncodeFrame(false)) return false;
  }
  if (!EncodeFrame(true)) return false;
  closed_ = true;
  const bool trailer = av_write_trailer(format_) >= 0;
  avio_flush(format_->pb);
  // A write the disk refused is only recorded in the I/O context.
  const bool written = format_->pb->error >= 0;
  const bool closedFile = avio_closep(&format_->pb) >= 0 && written;
  if (!trailer || !closedFile) error_ = EngineError::Unknown;
  return trailer && closedFile;
}

}  // namespace corvane
