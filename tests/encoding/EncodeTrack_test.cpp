// EncodeTrack over the conversion component, the WMA encoder and the Monkey's Audio library, on
// generated WAV sources; outputs are judged by ffprobe and ffmpeg.
#include "encoding/EncodeTrack.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/FormatText.h"
#include "components/IConversionComponent.h"
#include "encoding/EncodeFixtures.h"
#include "encoding/EncoderSetup.h"
#include "encoding/Mp3EncoderConfig.h"
#include "encoding/backends/ApeBackend.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::EncodeFixture;

constexpr int kRate = 44100;

QString StreamField(const QString& path, const char* field) {
  const test::ToolResult probe = test::RunTool(
      QStringLiteral("ffprobe"),
      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), QStringLiteral("a:0"),
       QStringLiteral("-show_entries"), QStringLiteral("stream=") + QString::fromLatin1(field), QStringLiteral("-of"),
       QStringLiteral("default=nw=1:nk=1"), path});
  return QString::fromUtf8(probe.out).trimmed();
}

void ExpectStream(const QString& path, const char* codec, int rate, int channels) {
  const QJsonObject probe = test::ProbeWithFfprobe(path);
  EXPECT_EQ(test::ProbeText(probe, "codec_name"), QString::fromLatin1(codec));
  EXPECT_EQ(probe.value(QStringLiteral("sample_rate")).toInt(), rate);
  EXPECT_EQ(probe.value(QStringLiteral("channels")).toInt(), channels);
}

void ExpectTags(const QString& path, const SourceTags& tags, const std::array<const char*, 7>& names) {
  const QString* values[] = {&tags.title,   &tags.artist, &tags.album, &tags.year,
                             &tags.comment, &tags.track,  &tags.genre};
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(test::ProbeTag(path, QString::fromLatin1(names[i])), *values[i])
        << names[i] << " in " << QJsonDocument(test::ProbeWithFfprobe(path)).toJson().constData();
  }
}

// ---- WMA ----

TEST(WmaBackend, ConstantBitrateWithTheSevenTags) {
  EncodeFixture f;
  const SourceTags tags = test::FixtureTags();
  ASSERT_TRUE(f.OpenTagged(2.0, kRate, 2, tags));
  f.job.settings.format = FormatCode::Wma;
  f.job.settings.bitrate = 128;
  f.job.keep_tags = true;
  f.Output(QStringLiteral("out.wma"));
  const EncodeOutcome outcome = f.Run();
  ASSERT_EQ(outcome.code, EncodeResult::Done) << qPrintable(outcome.text);
  ExpectStream(f.job.output_path, "wmav2", kRate, 2);
  EXPECT_NEAR(test::DecodedFrames(f.job.output_path, 2), f.SourceFramesAtJobRate(), kRate / 2);
  // FFmpeg reads the ASF attributes under its own names.
  ExpectTags(f.job.output_path, tags, {"title", "artist", "album", "WM/Year", "comment", "track", "genre"});
  EXPECT_EQ(f.ui.script.progress.back(), 100);
}

TEST(WmaBackend, MixedToMonoAtAnotherRate) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.5, 48000, 2));
  ASSERT_TRUE(f.Mix(32000, 1));
  f.job.settings.format = FormatCode::Wma;
  f.job.settings.bitrate = 48;
  f.Output(QStringLiteral("out.wma"));
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  ExpectStream(f.job.output_path, "wmav2", 32000, 1);
  EXPECT_NEAR(test::DecodedFrames(f.job.output_path, 1), f.SourceFramesAtJobRate(), 16000);
}

TEST(WmaBackend, VbrIsRefusedWith140AndNoFile) {
  for (const int quality : {0, 75}) {
    EncodeFixture f;
    ASSERT_TRUE(f.Open(1.0, kRate, 2));
    f.job.settings.format = FormatCode::Wma;
    f.job.settings.bitrate = 128;
    f.job.settings.vbr_enabled = true;
    f.job.settings.wma_quality = quality;
    f.Output(QStringLiteral("out.wma"));
    const EncodeOutcome outcome = f.Run();
    EXPECT_EQ(outcome.code, EncodeResult::Failed);
    const EngineError code = quality == 0 ? EngineError::IllegalParam : EngineError::NotAvailable;
    EXPECT_EQ(outcome.text, StringTable::Format(text::kMsgEncoderStartFailed, {ToCode(code)}));
    EXPECT_FALSE(QFileInfo::exists(f.job.output_path));
  }
}

TEST(WmaBackend, StopAllClosesAndRemovesTheFile) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(2.0, kRate, 2));
  f.job.settings.format = FormatCode::Wma;
  f.job.settings.bitrate = 128;
  f.Output(QStringLiteral("out.wma"));
  f.ui.script.stop_answers = {StopAnswer::StopAll};
  f.ui.on_pump = [&](int) { f.stop = true; };
  EXPECT_EQ(f.Run().code, EncodeResult::StoppedAll);
  EXPECT_EQ(f.ui.script.pumps, 1);
  EXPECT_FALSE(QFileInfo::exists(f.job.output_path));
}

// ---- Monkey's Audio ----

// Compression level stored in a Monkey's Audio header (after the descriptor).
int ApeLevel(const QString& path) {
  const QByteArray bytes = test::ReadAll(path);
  if (bytes.size() < 64 || !bytes.startsWith("MAC ")) return -1;
  const auto at = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
  const qsizetype header = at(8) | at(9) << 8 | at(10) << 16 | at(11) << 24;
  return at(header) | at(header + 1) << 8;
}

TEST(ApeBackend, LosslessWithTagsAndTheStoredLevel) {
  EncodeFixture f;
  const SourceTags tags = test::FixtureTags();
  ASSERT_TRUE(f.OpenTagged(2.0, kRate, 2, tags));
  f.job.settings.format = FormatCode::Ape;
  f.job.keep_tags = true;
  f.Output(QStringLiteral("out.ape"));
  f.store.WriteNumber(keys::section::kEncoder, keys::kApeCompressionLevel, 9);
  const EncodeOutcome outcome = f.Run();
  ASSERT_EQ(outcome.code, EncodeResult::Done) << qPrintable(outcome.text);
  ExpectStream(f.job.output_path, "ape", kRate, 2);
  EXPECT_EQ(test::DecodeWithFfmpeg(f.job.output_path), test::DecodeWithFfmpeg(f.source->Path()));
  ExpectTags(f.job.output_path, tags, {"Title", "Artist", "Album", "Year", "Comment", "Track", "Genre"});
  EXPECT_EQ(ApeLevel(f.job.output_path), 5000);
  EXPECT_EQ(f.store.ReadNumber(keys::section::kEncoder, keys::kApeCompressionLevel, -1), 4);

  // Absent: index 1, that is level 2000, written back.
  f.store.Remove(keys::section::kEncoder, keys::kApeCompressionLevel);
  f.job.keep_tags = false;
  ASSERT_TRUE(f.source->Seek(0));
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  EXPECT_EQ(ApeLevel(f.job.output_path), 2000);
  EXPECT_EQ(f.store.ReadNumber(keys::section::kEncoder, keys::kApeCompressionLevel, -1), 1);
  EXPECT_TRUE(test::ProbeTag(f.job.output_path, QStringLiteral("Title")).isEmpty());
}

TEST(ApeBackend, EightBitSourcesStayEightBit) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.0, 22050, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_u8")}));
  ASSERT_TRUE(f.source->Info().Is8Bit());
  f.job.settings.format = FormatCode::Ape;
  f.Output(QStringLiteral("out.ape"));
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  ExpectStream(f.job.output_path, "ape", 22050, 1);
  EXPECT_EQ(StreamField(f.job.output_path, "bits_per_raw_sample").toInt() == 8 ||
                StreamField(f.job.output_path, "sample_fmt").startsWith(QStringLiteral("u8")),
            true);
  EXPECT_EQ(test::DecodeWithFfmpeg(f.job.output_path), test::DecodeWithFfmpeg(f.source->Path()));
}

TEST(ApeBackend, StopThisRemovesTheUnfinishedFile) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(2.0, kRate, 2));
  f.job.settings.format = FormatCode::Ape;
  f.Output(QStringLiteral("out.ape"));
  f.ui.script.stop_answers = {StopAnswer::StopThis};
  f.ui.on_pump = [&](int) { f.stop = true; };
  EXPECT_EQ(f.Run().code, EncodeResult::StoppedThis);
  EXPECT_FALSE(QFileInfo::exists(f.job.output_path));
}

// "APE Encoder Threads": 0 (or absent, or below) means every processor; a job that shares the
// processors with others (corvane-cli --jobs) never starts more than its share.
TEST(ApeBackend, EncoderThreadsFollowTheSettingAndTheJobsShare) {
  struct Case {
    int stored, share, processors, threads;
  };
  for (const Case c : {Case{0, 0, 4, 4}, Case{-3, 0, 4, 4}, Case{2, 0, 4, 2}, Case{9, 0, 4, 4}, Case{0, 2, 4, 2},
                       Case{0, 1, 2, 1}, Case{3, 2, 8, 2}, Case{0, 6, 4, 4}, Case{0, 0, 0, 1}}) {
    EXPECT_EQ(ApeEncoderThreads(c.stored, c.share, c.processors), c.threads)
        << c.stored << " stored, share " << c.share << " of " << c.processors;
  }
}

TEST(ApeBackend, AnOutputThatCannotBeCreatedGives9005) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.0, kRate, 2));
  f.job.settings.format = FormatCode::Ape;
  f.Output(QStringLiteral("missing-folder/out.ape"));
  const EncodeOutcome outcome = f.Run();
  EXPECT_EQ(outcome.code, EncodeResult::Failed);
  EXPECT_EQ(outcome.text, StringTable::Format(text::kMsgEncoderStartFailed, {9005}));
}

// ---- Conversion component ----

class ConverterBackend : public ::testing::Test {
 protected:
  // Sets the run's component up for `settings` as the run does before its first job.
  bool Setup(EncodeFixture& f, const EncodeSettings& settings) {
    config_.PrepareMp3Encoder(f.ui.script);
    f.job.settings = settings;
    f.job.converter = converter_.get();
    return SetupEncoder(*converter_, settings, config_, capabilities_, f.ui.script);
  }

  MemorySettings store_;
  Mp3EncoderConfig config_{store_};
  EncoderCapabilities capabilities_;
  std::unique_ptr<IConversionComponent> converter_ = CreateAudioConverter();
};

TEST_F(ConverterBackend, WavIsBitExactInOneSecondBlocks) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(2.5, kRate, 2));
  ASSERT_TRUE(Setup(f, EncodeSettings{FormatCode::Wav, kRate, 0, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  f.Output(QStringLiteral("out.wav"));
  const EncodeOutcome outcome = f.Run();
  ASSERT_EQ(outcome.code, EncodeResult::Done) << qPrintable(outcome.text);
  EXPECT_EQ(f.ui.script.pumps, 3);                // two whole seconds and the short last block
  EXPECT_EQ(f.ui.script.pumps_while_waiting, 3);  // with the wait cursor
  ASSERT_TRUE(converter_->Reset().Succeeded());   // the run completes the file
  EXPECT_EQ(test::DecodeWithFfmpeg(f.job.output_path), test::DecodeWithFfmpeg(f.source->Path()));
  EXPECT_EQ(f.ui.script.progress, (std::vector<int>{0, 40, 80, 100}));
}

TEST_F(ConverterBackend, Mp3ThroughAMixer) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(2.0, 48000, 1));
  ASSERT_TRUE(f.Mix(kRate, 2));
  ASSERT_TRUE(Setup(f, EncodeSettings{FormatCode::Mp3, kRate, 128, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  f.Output(QStringLiteral("out.mp3"));
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  ASSERT_TRUE(converter_->Reset().Succeeded());
  ExpectStream(f.job.output_path, "mp3", kRate, 2);
  EXPECT_NEAR(test::DecodedFrames(f.job.output_path, 2), f.SourceFramesAtJobRate(), kRate);
}

TEST_F(ConverterBackend, StopAndContinue) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(3.0, kRate, 1));
  ASSERT_TRUE(Setup(f, EncodeSettings{FormatCode::Wav, kRate, 0, 1, 16, 0, 3, 4, false, WavCodec::Pcm}));
  f.Output(QStringLiteral("out.wav"));
  f.ui.script.stop_answers = {StopAnswer::Continue, StopAnswer::StopThis};
  f.ui.on_pump = [&](int) { f.stop = true; };
  EXPECT_EQ(f.Run().code, EncodeResult::StoppedThis);
  EXPECT_EQ(f.ui.script.pumps, 2);
  EXPECT_EQ(f.ui.script.stop_questions.size(), 2);
}

TEST_F(ConverterBackend, RefusedOutputsGive253) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.0, kRate, 2));
  ASSERT_TRUE(Setup(f, EncodeSettings{FormatCode::Wav, kRate, 0, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  const QString refused = StringTable::Text(text::kMsgConversionInitFailed);
  f.Output(QStringLiteral("missing-folder/out.wav"));
  EXPECT_EQ(f.Run().text, refused);
  f.job.settings.format = static_cast<FormatCode>(5);  // no format has that code: the component gets none
  f.Output(QStringLiteral("out.five"));
  EXPECT_EQ(f.Run().text, refused);
  f.job.settings.format = FormatCode::Wav;
  f.job.converter = nullptr;
  EXPECT_EQ(f.Run().text, refused);
}

// The run's component with a log of the calls a job makes on it.
class CallLog final : public IConversionComponent {
 public:
  explicit CallLog(IConversionComponent& inner) : inner_(inner) {}
  mutable QStringList calls;  // GetLastError is a const call

  void Prepare(int mode) override { inner_.Prepare(mode); }
  void SetOutputType(ComponentFormat format) override { inner_.SetOutputType(format); }
  ComponentFormat GetOutputType() const override { return inner_.GetOutputType(); }
  bool IsMp3FormatSupported(int r, int b, int c) override { return inner_.IsMp3FormatSupported(r, b, c); }
  bool IsOggFormatSupported(int r, int c, int n, int lo, int hi) override {
    return inner_.IsOggFormatSupported(r, c, n, lo, hi);
  }
  void SetMp3Encoder(const Mp3EncoderSettings& settings) override { inner_.SetMp3Encoder(settings); }
  ConverterResult SetOggFormat(int r, int c, int n, int lo, int hi, int q) override {
    return inner_.SetOggFormat(r, c, n, lo, hi, q);
  }
  ConverterResult SetWavPcm(int r, int c, int bits) override { return inner_.SetWavPcm(r, c, bits); }
  ConverterResult SetWavAdpcm(int r, int c) override { return inner_.SetWavAdpcm(r, c); }
  ConverterResult SetWavALaw(int r, int c) override { return inner_.SetWavALaw(r, c); }
  ConverterResult SetWavULaw(int r, int c) override { return inner_.SetWavULaw(r, c); }
  ConverterResult SetVox(int r) override { return inner_.SetVox(r); }
  ConverterResult SetWmaFormat(int r, int c, int b) override { return inner_.SetWmaFormat(r, c, b); }
  ConverterResult SetInputFormat(int r, int c) override {
    calls << QStringLiteral("SetInputFormat %1 %2").arg(r).arg(c);
    return inner_.SetInputFormat(r, c);
  }
  ConverterResult OpenOutput(const QString& path, ComponentFormat format) override {
    calls << QStringLiteral("OpenOutput");
    return inner_.OpenOutput(path, format);
  }
  int GetLastError() const override {
    calls << QStringLiteral("GetLastError");
    return inner_.GetLastError();
  }
  ConverterResult WriteSamples(std::span<const std::int16_t> samples) override {
    if (calls.isEmpty() || calls.back() != QLatin1String("WriteSamples")) calls << QStringLiteral("WriteSamples");
    return inner_.WriteSamples(samples);
  }
  ConverterResult Reset() override { return inner_.Reset(); }

 private:
  IConversionComponent& inner_;
};

TEST_F(ConverterBackend, TheInputFormatIsSetAgainBeforeTheSamples) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.5, 22050, 1));
  ASSERT_TRUE(Setup(f, EncodeSettings{FormatCode::Wav, 22050, 0, 1, 16, 0, 3, 4, false, WavCodec::Pcm}));
  CallLog log(*converter_);
  f.job.converter = &log;
  f.Output(QStringLiteral("out.wav"));
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  ASSERT_TRUE(converter_->Reset().Succeeded());
  EXPECT_EQ(log.calls, QStringList({QStringLiteral("SetInputFormat 22050 1"), QStringLiteral("OpenOutput"),
                                    QStringLiteral("GetLastError"), QStringLiteral("SetInputFormat 22050 1"),
                                    QStringLiteral("WriteSamples")}));
  EXPECT_EQ(test::DecodeWithFfmpeg(f.job.output_path), test::DecodeWithFfmpeg(f.source->Path()));
}

// A decoded file that stops delivering after some reads, as a damaged file would.
class FailingStream final : public AudioStream {
 public:
  FailingStream(AudioStream& inner, int goodReads) : inner_(inner), good_reads_(goodReads) {}
  ChannelInfo Info() const override { return inner_.Info(); }
  qint64 LengthBytes() const override { return inner_.LengthBytes(); }
  qint64 PositionBytes() const override { return inner_.PositionBytes(); }
  bool Seek(qint64 position) override { return inner_.Seek(position); }
  bool IsActive() const override { return true; }

 protected:
  int ReadPcm(char* buffer, int bytes) override { return good_reads_-- > 0 ? inner_.Read(buffer, bytes) : -1; }

 private:
  AudioStream& inner_;
  int good_reads_;
};

TEST_F(ConverterBackend, AFailedReadGives236) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(2.0, kRate, 2));
  ASSERT_TRUE(Setup(f, EncodeSettings{FormatCode::Wav, kRate, 0, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  FailingStream failing(*f.source, 1);
  f.job.encode = &failing;
  f.Output(QStringLiteral("out.wav"));
  const EncodeOutcome outcome = f.Run();
  EXPECT_EQ(outcome.code, EncodeResult::Failed);
  EXPECT_EQ(outcome.text, StringTable::Text(text::kMsgUnableToLoadData));
  EXPECT_EQ(f.ui.script.pumps_while_waiting, 1);
  EXPECT_EQ(f.ui.script.wait_depth, 0) << "the wait cursor stayed after the error";
}

TEST(EncodeTrack, AJobWithoutStreamsFailsWithoutText) {
  test::PumpHookUi ui;
  EncodeJob job;
  job.settings.format = FormatCode::Flac;
  const EncodeOutcome outcome = EncodeTrack(job, ui);
  EXPECT_EQ(outcome.code, EncodeResult::Failed);
  EXPECT_TRUE(outcome.text.isEmpty());
  EXPECT_TRUE(ui.script.status_texts.empty());
}

}  // namespace
}  // namespace corvane
