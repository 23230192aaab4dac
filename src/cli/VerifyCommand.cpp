#include "cli/VerifyCommand.h"

#include <sndfile.h>

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <memory>
#include <vector>

#include "cli/AccurateRipReport.h"
#include "cli/CommandParsing.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/RipperText.h"
#include "ripper/AccurateRipCheck.h"
#include "ripper/DiscVerification.h"

namespace corvane::cli {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr sf_count_t kBlockFrames = 588 * 32;

QString Opt(const char* name) { return QString::fromLatin1(name); }

void PrintJsonLine(const QJsonObject& object) {
  std::fputs(QJsonDocument(object).toJson(QJsonDocument::Compact).constData(), stdout);
  std::fputc('\n', stdout);
}

void PrintLine(const QString& line) {
  std::fputs(line.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
}

struct SoundFile {
  SNDFILE* file = nullptr;
  SF_INFO info{};
  ~SoundFile() {
    if (file != nullptr) sf_close(file);
  }
};

// Opens `path` as CD audio: WAV or FLAC, 44100 Hz, two channels of 16-bit samples. An error
// text when it is not.
QString OpenCdAudio(const QString& path, SoundFile& sound) {
  sound.file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &sound.info);
  if (sound.file == nullptr)
    return StringTable::Format(text::kVerifyUnreadable, {path, QString::fromUtf8(sf_strerror(nullptr))});
  const int container = sound.info.format & SF_FORMAT_TYPEMASK;
  const bool wave = container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX || container == SF_FORMAT_FLAC;
  if (!wave || (sound.info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_PCM_16 || sound.info.samplerate != kRate ||
      sound.info.channels != kChannels)
    return StringTable::Format(text::kVerifyNotCdAudio, {path});
  return {};
}

// Feeds the whole file, as 16-bit little-endian stereo, to `sums`; an error text when a read fails.
QString ReadInto(const QString& path, SoundFile& sound, AccurateRipChecksum& sums) {
  std::vector<short> samples(static_cast<size_t>(kBlockFrames * kChannels));
  QByteArray bytes(static_cast<qsizetype>(samples.size() * 2), Qt::Uninitialized);
  for (;;) {
    const sf_count_t frames = sf_readf_short(sound.file, samples.data(), kBlockFrames);
    if (frames < 0)
      return StringTable::Format(text::kVerifyUnreadable, {path, QString::fromUtf8(sf_strerror(sound.file))});
    if (frames == 0) break;
    const auto count = static_cast<size_t>(frames * kChannels);
    for (size_t i = 0; i < count; ++i) {
      const auto value = static_cast<quint16>(samples[i]);
      bytes[static_cast<qsizetype>(2 * i)] = static_cast<char>(value & 0xffu);
      bytes[static_cast<qsizetype>(2 * i + 1)] = static_cast<char>(value >> 8);
    }
    sums.Consume(bytes.constData(), static_cast<qsizetype>(count * 2));
  }
  if (sf_error(sound.file) != SF_ERR_NO_ERROR)
    return StringTable::Format(text::kVerifyUnreadable, {path, QString::fromUtf8(sf_strerror(sound.file))});
  return {};
}

// The disc's rows that hold audio, in disc order.
std::vector<int> AudioRows(const DiscVerification& disc) {
  std::vector<int> rows;
  for (int row = 0; disc.TrackNumberOfRow(row) > 0; ++row) {
    if (disc.AudioIndexOfRow(row) >= 0) rows.push_back(row);
  }
  return rows;
}

}  // namespace

int RunVerifyCommand(const QStringList& arguments, SettingsStore& settings) {
  QCommandLineParser parser;
  parser.setApplicationDescription(StringTable::Text(text::kVerifyDescription));
  parser.addPositionalArgument(Opt("verify"), StringTable::Text(text::kCliTheCommand));
  parser.addPositionalArgument(Opt("FILE"), StringTable::Text(text::kVerifyFilesHelp), Opt("FILE..."));
  parser.addOptions({
      {Opt("device"), StringTable::Text(text::kVerifyDeviceHelp), Opt("PATH")},
      {Opt("json"), StringTable::Text(text::kVerifyJsonHelp)},
  });
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  const QStringList files = parser.positionalArguments().mid(1);
  const QString device = parser.value(Opt("device"));
  if (files.isEmpty() || device.isEmpty()) {
    PrintError(StringTable::Text(text::kVerifyUsage));
    return kExitUsage;
  }
  const bool json = parser.isSet(Opt("json"));
  const std::optional<DiscVerification> disc = DiscVerification::Read(device);
  if (!disc) {
    PrintError(StringTable::Format(text::kVerifyNoDiscId, {device}));
    return kExitUsage;
  }
  const std::vector<int> rows = AudioRows(*disc);
  if (files.size() > static_cast<qsizetype>(rows.size())) {
    PrintError(StringTable::Format(text::kVerifyTooManyFiles,
                                   {static_cast<int>(files.size()), static_cast<int>(rows.size())}));
    return kExitUsage;
  }
  // Every file is checked to be CD audio before any is read or looked up.
  std::vector<std::unique_ptr<SoundFile>> sounds;
  for (const QString& file : files) {
    auto sound = std::make_unique<SoundFile>();
    if (const QString error = OpenCdAudio(file, *sound); !error.isEmpty()) {
      PrintError(error);
      return kExitUsage;
    }
    sounds.push_back(std::move(sound));
  }
  std::vector<TrackChecksums> sums;
  for (qsizetype i = 0; i < files.size(); ++i) {
    const int row = rows[static_cast<size_t>(i)];
    const std::unique_ptr<AccurateRipChecksum> checksum = disc->ChecksumFor(row);
    if (const QString error = ReadInto(files[i], *sounds[static_cast<size_t>(i)], *checksum); !error.isEmpty()) {
      PrintError(error);
      return kExitUsage;
    }
    sounds[static_cast<size_t>(i)].reset();
    TrackChecksums& track = sums.emplace_back();
    track.audio_index = disc->AudioIndexOfRow(row);
    track.v1 = checksum->V1();
    track.v2 = checksum->V2();
    track.crc32 = checksum->Crc32();
    track.complete = checksum->Complete();
  }
  const AccurateRipCheckResult result = CheckWithAccurateRip(disc->Id(), sums, settings);
  for (size_t i = 0; i < sums.size(); ++i) {
    const int number = disc->TrackNumberOfRow(rows[i]);
    const std::optional<AccurateRipVerdict> verdict =
        i < result.verdicts.size() ? std::optional(result.verdicts[i]) : std::nullopt;
    if (json) {
      QJsonObject object{{Opt("track"), number},
                         {Opt("file"), QFileInfo(files[static_cast<qsizetype>(i)]).absoluteFilePath()}};
      AddChecksumFields(object, sums[i], verdict);
      PrintJsonLine(object);
    } else {
      PrintLine(ChecksumLine(StringTable::Format(text::kRipTrackName, {number}), sums[i], verdict));
    }
  }
  if (json) {
    PrintJsonLine(QJsonObject{{Opt("summary"), result.SummaryText()},
                              {Opt("files"), static_cast<int>(files.size())},
                              {Opt("accuraterip"), CheckSummaryObject(result)},
                              {Opt("disc_id"), DiscIdName(disc->Id())}});
  } else {
    PrintLine(result.SummaryText());
  }
  std::fflush(stdout);
  return result.accurate == static_cast<int>(files.size()) ? kExitOk : kExitSomeFailed;
}

}  // namespace corvane::cli
