#include "components/SndFileEncoder.h"

#include <sndfile.h>

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <string>

#include "components/ConverterError.h"

namespace corvane {
namespace {

int FormatOf(SndFileKind kind) {
  switch (kind) {
    case SndFileKind::WavPcm8:
      return SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
    case SndFileKind::WavPcm16:
      return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SndFileKind::WavMsAdpcm:
      return SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM;
    case SndFileKind::WavALaw:
      return SF_FORMAT_WAV | SF_FORMAT_ALAW;
    case SndFileKind::WavULaw:
      return SF_FORMAT_WAV | SF_FORMAT_ULAW;
    case SndFileKind::VoxAdpcm:
      return SF_FORMAT_RAW | SF_FORMAT_VOX_ADPCM;
  }
  return 0;
}

SF_INFO InfoFor(SndFileKind kind, int sampleRate, int channels) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = FormatOf(kind);
  return info;
}

// A WAV file's sizes are 32-bit: the data must end before 4 GiB, with room for the header and
// the last ADPCM block.
constexpr long long kMaxWavBytes = 0xFFFFFFFFLL - 65536;

std::string SystemError(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

}  // namespace

bool SndFileEncoder::Accepts(SndFileKind kind, int sampleRate, int channels) {
  if (sampleRate <= 0 || channels < 1 || channels > 2) return false;
  if (kind == SndFileKind::VoxAdpcm && channels != 1) return false;
  SF_INFO info = InfoFor(kind, sampleRate, channels);
  return sf_format_check(&info) != 0;
}

SndFileEncoder::SndFileEncoder(const QString& path, SndFileKind kind, int sampleRate, int channels)
    : channels_(channels), pairs_only_(kind == SndFileKind::VoxAdpcm) {
  if (!Accepts(kind, sampleRate, channels))
    throw ConverterError(ConverterErrorCode::UnsupportedFormat, "libsndfile does not take these settings");
  SF_INFO info = InfoFor(kind, sampleRate, channels);
  // Opened here and handed over, so a path of any length the system takes will do.
  fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) throw ConverterError(ConverterErrorCode::OutputOpen, SystemError("cannot create the file", errno));
  file_ = sf_open_fd(fd_, SFM_WRITE, &info, SF_FALSE);
  if (!file_) {
    ::close(fd_);
    fd_ = -1;
    throw ConverterError(ConverterErrorCode::OutputOpen, sf_strerror(nullptr));
  }
  limited_ = kind != SndFileKind::VoxAdpcm;  // VOX has no header and no limit
}

SndFileEncoder::~SndFileEncoder() {
  if (file_) sf_close(file_);
  if (fd_ >= 0) ::close(fd_);
}

void SndFileEncoder::WriteFrames(const std::int16_t* samples, std::int64_t frames) {
  if (frames <= 0) return;
  struct stat written {};
  if (limited_ && ::fstat(fd_, &written) == 0 &&
      written.st_size + static_cast<long long>(frames) * channels_ * 2 > kMaxWavBytes) {
    // Past this point the header's sizes would wrap and lie about the file.
    throw ConverterError(ConverterErrorCode::WriteFailed, "the WAV file would pass 4 GiB, the most WAV holds");
  }
  if (sf_writef_short(file_, samples, frames) != frames)
    throw ConverterError(ConverterErrorCode::WriteFailed, sf_strerror(file_));
}

void SndFileEncoder::Write(std::span<const std::int16_t> samples) {
  if (!pairs_only_) {
    WriteFrames(samples.data(), static_cast<sf_count_t>(samples.size()) / channels_);
    return;
  }
  if (samples.empty()) return;
  joined_.clear();
  if (carried_) joined_.push_back(*carried_);
  joined_.insert(joined_.end(), samples.begin(), samples.end());
  carried_.reset();
  if (joined_.size() % 2 != 0) {
    carried_ = joined_.back();
    joined_.pop_back();
  }
  WriteFrames(joined_.data(), static_cast<sf_count_t>(joined_.size()));
}

void SndFileEncoder::Finish() {
  if (carried_) {
    // The file can only end on a whole byte: the last sample is held once more.
    const std::int16_t last[2] = {*carried_, *carried_};
    carried_.reset();
    WriteFrames(last, 2);
  }
  // Closing writes the final header sizes and the last partial ADPCM block.
  sf_write_sync(file_);
  const int pending = sf_error(file_);
  // libsndfile keeps the system's words for a failed write with the file.
  const std::string pendingText = sf_strerror(file_);
  const int result = sf_close(file_);
  file_ = nullptr;
  // Closing may be where the disk reports that it is full.
  const int closed = ::fsync(fd_) == 0 && ::close(fd_) == 0 ? 0 : errno;
  fd_ = -1;
  if (pending != SF_ERR_NO_ERROR) throw ConverterError(ConverterErrorCode::WriteFailed, pendingText);
  if (result != 0) throw ConverterError(ConverterErrorCode::WriteFailed, sf_error_number(result));
  if (closed != 0) throw ConverterError(ConverterErrorCode::WriteFailed, SystemError("cannot write the file", closed));
}

}  // namespace corvane
