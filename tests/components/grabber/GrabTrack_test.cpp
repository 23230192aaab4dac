// Grabbing tracks of generated disc images into files through the grabber's encoder object: the
// bytes against the image's PCM and independent decoders, the progress and retry events, and
// stopping, refusing and read failures part way.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "components/IAudioCDGrabber.h"
#include "components/IConversionComponent.h"
#include "engine/CdStream.h"
#include "support/DiscImageFixture.h"
#include "support/ExternalTools.h"
#include "support/QtPrinters.h"
#include "support/ShiftedDisc.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using test::DiscImage;
using test::DiscImageFixture;

constexpr int kBytes = DiscImageFixture::kSectorBytes;

// Events 2 and 3 as the worker signals them. With `hold` set, the worker waits inside its first
// progress event until Release, so a test acts on a grab that is certainly running.
class GrabEvents {
 public:
  explicit GrabEvents(IAudioCDGrabber& grabber) {
    QObject::connect(
        &grabber, &IAudioCDGrabber::Event, &grabber, [this](const ComponentEvent& event) { Record(event); },
        Qt::DirectConnection);
  }

  void Hold() { hold_ = true; }
  // Waits until the worker is held in its first progress event.
  bool WaitHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60), [this] { return held_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    hold_ = false;
    changed_.notify_all();
  }
  // Waits for the final progress event.
  bool WaitDone() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(120), [this] { return Finals() > 0; });
  }
  std::vector<int> Progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
  }
  std::vector<int> Retries() const {
    std::lock_guard lock(mutex_);
    return retries_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    progress_.clear();
    retries_.clear();
    held_ = false;
  }

 private:
  long Finals() const { return std::count(progress_.begin(), progress_.end(), 100); }

  void Record(const ComponentEvent& event) {
    std::unique_lock lock(mutex_);
    if (event.id == 3) retries_.push_back(static_cast<int>(event.first));
    if (event.id != 2) return;
    progress_.push_back(static_cast<int>(event.value));
    if (hold_ && !held_ && event.value < 100) {
      held_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !hold_; });
    }
    changed_.notify_all();
  }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> progress_;
  std::vector<int> retries_;
  bool hold_ = false;
  bool held_ = false;
};

class GrabTrackTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    grabber_ = CreateAudioCDGrabber();
    ASSERT_NE(grabber_, nullptr);
    ASSERT_NE(grabber_->GetEncoder(), nullptr);
    events_ = std::make_unique<GrabEvents>(*grabber_);
    // Two audio tracks and a data track.
    disc_ = fixture_.Build(QStringLiteral("disc"), {{{300}, {1200}, {200, true}}, {}, {}});
    grabber_->SetDiscImages({disc_.cue});
    ASSERT_TRUE(grabber_->InitDevices().Succeeded());
    ASSERT_TRUE(grabber_->SetCurrentDrive(grabber_->GetDriveCount()).Succeeded());
    ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
    ASSERT_TRUE(grabber_->GetEncoder()->SetWavPcm(44100, 2, 16).Succeeded());
  }

  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Grabs track `track` (0-based) into `name` and waits for its end.
  GrabberResult Grab(int track, const QString& name) {
    events_->Clear();
    EXPECT_TRUE(grabber_->SetCurrentTrack(track).Succeeded());
    const GrabberResult started = grabber_->GrabTrack(Path(name));
    EXPECT_TRUE(started.Succeeded()) << started.text.toStdString();
    if (started.Failed()) return started;
    EXPECT_TRUE(events_->WaitDone());
    return grabber_->GetGrabResult();
  }

  // Progress rises, never repeats and ends with exactly one 100.
  void ExpectProgressEnds() const {
    const std::vector<int> progress = events_->Progress();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    EXPECT_EQ(std::count(progress.begin(), progress.end(), 100), 1);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(std::adjacent_find(progress.begin(), progress.end()), progress.end());
  }

  QTemporaryDir dir_;
  DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
  DiscImage disc_;
  std::unique_ptr<GrabEvents> events_;  // outlives the grabber, whose last events it receives
  std::unique_ptr<IAudioCDGrabber> grabber_;
};

TEST_F(GrabTrackTest, WavIsTheTracksPcmBitForBit) {
  for (const int mode : {1, 4}) {
    SCOPED_TRACE(mode);
    grabber_->SetGrabMode(mode);
    const QString name = QStringLiteral("mode%1.wav").arg(mode);
    const GrabberResult result = Grab(1, name);
    EXPECT_TRUE(result.Succeeded()) << result.text.toStdString();
    ExpectProgressEnds();
    EXPECT_GE(events_->Progress().size(), 20U) << "progress comes at least every few percent";
    EXPECT_TRUE(events_->Retries().empty());
    EXPECT_TRUE(test::DecodeWithFfmpeg(Path(name)) == disc_.tracks[1]);
  }
  // sox reads the same samples, and the first track comes out as its own.
  ASSERT_TRUE(Grab(0, QStringLiteral("first.wav")).Succeeded());
  const QByteArray raw = test::ToolOutput(
      QStringLiteral("sox"), {Path(QStringLiteral("first.wav")), QStringLiteral("-t"), QStringLiteral("raw"),
                              QStringLiteral("-e"), QStringLiteral("signed"), QStringLiteral("-b"),
                              QStringLiteral("16"), QStringLiteral("-L"), QStringLiteral("-")});
  EXPECT_TRUE(raw == disc_.tracks[0]);
}

TEST_F(GrabTrackTest, Mp3LastsAsLongAsTheTrack) {
  Mp3EncoderSettings mp3;
  mp3.SetSampleRate(44100);
  mp3.SetBitrate(128);
  mp3.SetChannels(2);
  mp3.SetVbrMethod(-1);
  grabber_->GetEncoder()->SetOutputType(ComponentFormat::Mp3);
  grabber_->GetEncoder()->SetMp3Encoder(mp3);
  grabber_->SetGrabMode(4);
  ASSERT_TRUE(Grab(1, QStringLiteral("track.mp3")).Succeeded());
  ExpectProgressEnds();
  const QJsonObject probe = test::ProbeWithFfprobe(Path(QStringLiteral("track.mp3")));
  EXPECT_EQ(probe.value(QStringLiteral("codec_name")).toString(), QStringLiteral("mp3"));
  EXPECT_EQ(probe.value(QStringLiteral("sample_rate")).toInt(), 44100);
  // 1200 sectors are 16 s; LAME adds its delay and pads the last frame (well under 0.1 s).
  EXPECT_NEAR(probe.value(QStringLiteral("duration")).toDouble(), 1200 / 75.0, 0.1);
}

// Every other kind component grab writes, from the 4-second first track.
TEST_F(GrabTrackTest, OggWmaAndVoxOutputs) {
  IConversionComponent& encoder = *grabber_->GetEncoder();
  struct Case {
    const char* name;
    const char* codec;  // none: a headerless file ffprobe cannot read
    std::function<ConverterResult()> setup;
  };
  const std::vector<Case> cases = {
      {"a.ogg", "vorbis", [&] { return encoder.SetOggFormat(44100, 2, 128, 128, 128, -1); }},
      {"a.wma", "wmav2", [&] { return encoder.SetWmaFormat(44100, 2, 128); }},
      {"a.vox", nullptr, [&] { return encoder.SetVox(44100); }},
  };
  const double seconds = 300 / 75.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.setup().Succeeded());
    const QString name = QString::fromLatin1(c.name);
    ASSERT_TRUE(Grab(0, name).Succeeded());
    ExpectProgressEnds();
    if (c.codec == nullptr) {
      // Dialogic ADPCM: four bits a sample, mixed down to mono.
      EXPECT_EQ(QFileInfo(Path(name)).size(), qint64(seconds * 44100 / 2));
      continue;
    }
    const QJsonObject probe = test::ProbeWithFfprobe(Path(name));
    EXPECT_EQ(probe.value(QStringLiteral("codec_name")).toString(), QString::fromLatin1(c.codec));
    EXPECT_EQ(probe.value(QStringLiteral("channels")).toInt(), 2);
    EXPECT_NEAR(probe.value(QStringLiteral("duration")).toDouble(), seconds, 0.1);
  }
}

TEST_F(GrabTrackTest, RefusalsLeaveNoFileAndNoRunningGrab) {
  ASSERT_TRUE(grabber_->SetCurrentTrack(2).Succeeded());
  EXPECT_EQ(grabber_->GrabTrack(Path(QStringLiteral("data.wav"))).code, GrabberErrorCode::NotAudio);
  ASSERT_TRUE(grabber_->SetCurrentTrack(0).Succeeded());
  EXPECT_EQ(grabber_->GrabTrack(Path(QStringLiteral("no/such/folder/a.wav"))).code, GrabberErrorCode::WriteError);
  EXPECT_EQ(grabber_->GetGrabResult().code, GrabberErrorCode::NotOpen);
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("data.wav"))));
  // The grabber is still free: a grab after the refusals succeeds.
  EXPECT_TRUE(Grab(0, QStringLiteral("after.wav")).Succeeded());
}

// With a read offset, plain and careful grabs write the unshifted audio, silent where the drive
// cannot reach, the same bytes the engine's own reading gives; the tap sees exactly those bytes.
TEST_F(GrabTrackTest, ReadOffsetShiftsEveryGrabModeLikeTheOwnReading) {
  const test::DiscPlan plan{{{300}, {1200}, {200, true}}, {}, {}};
  for (const auto& [offset, row] : {std::pair{-6, 0}, std::pair{6, 1}, std::pair{-1000, 1}}) {
    disc_ = test::BuildShiftedDisc(fixture_, QStringLiteral("disc"), plan, offset);
    ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
    grabber_->SetReadOffset(offset);
    const QByteArray expected = test::ReachableTrackPcm(disc_, plan, row, offset);
    auto own = CdStream::Create(disc_.cue, row, {.read_offset = offset});
    ASSERT_TRUE(own.Succeeded());
    QByteArray ownPcm(static_cast<qsizetype>((*own.value)->LengthBytes()), '\0');
    ASSERT_EQ((*own.value)->Read(ownPcm.data(), static_cast<int>(ownPcm.size())), ownPcm.size());
    EXPECT_TRUE(ownPcm == expected);
    for (const int mode : {1, 4}) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " row " << row << " mode " << mode);
      grabber_->SetGrabMode(mode);
      test::RecordingTap tap;
      grabber_->SetPcmTap(&tap);
      const QString name = QStringLiteral("offset%1-%2.wav").arg(offset + 2000).arg(mode);
      ASSERT_TRUE(Grab(row, name).Succeeded());
      EXPECT_TRUE(test::DecodeWithFfmpeg(Path(name)) == expected);
      EXPECT_TRUE(tap.Pcm() == expected);
      EXPECT_EQ(tap.Breaks(), 0);
      grabber_->SetPcmTap(nullptr);
    }
  }
}

// A grab held inside its first event: a second one is refused, the grabber answers meanwhile,
// and AbortGrab ends it with the final 100 and an aborted result.
TEST_F(GrabTrackTest, AbortStopsARunningGrabThatRefusesASecond) {
  events_->Hold();
  ASSERT_TRUE(grabber_->SetCurrentTrack(1).Succeeded());
  ASSERT_TRUE(grabber_->GrabTrack(Path(QStringLiteral("stopped.wav"))).Succeeded());
  ASSERT_TRUE(events_->WaitHeld());
  EXPECT_EQ(grabber_->GrabTrack(Path(QStringLiteral("second.wav"))).code, GrabberErrorCode::Busy);
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("second.wav"))));
  EXPECT_EQ(grabber_->GetGrabResult().code, GrabberErrorCode::Busy);
  EXPECT_EQ(grabber_->GetTrackSectors(), 1200);  // not held up by the grab
  grabber_->AbortGrab();
  events_->Release();
  ASSERT_TRUE(events_->WaitDone());
  EXPECT_EQ(grabber_->GetGrabResult().code, GrabberErrorCode::Aborted);
  ExpectProgressEnds();
  EXPECT_LT(events_->Progress().size(), 5U);
  // The partial file is closed and left to the caller, shorter than the track.
  EXPECT_LT(test::DecodeWithFfmpeg(Path(QStringLiteral("stopped.wav"))).size(), disc_.tracks[1].size());
  EXPECT_TRUE(Grab(1, QStringLiteral("again.wav")).Succeeded());
}

// A drive change while a grab runs stops it and waits for its worker; so does the grabber's end.
TEST_F(GrabTrackTest, DriveChangeAndDestructionStopTheWorker) {
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy);
    events_->Clear();
    events_->Hold();
    ASSERT_TRUE(grabber_->SetCurrentDrive(grabber_->GetDriveCount()).Succeeded());
    ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
    ASSERT_TRUE(grabber_->SetCurrentTrack(1).Succeeded());
    ASSERT_TRUE(grabber_->GrabTrack(Path(QStringLiteral("dropped.wav"))).Succeeded());
    ASSERT_TRUE(events_->WaitHeld());
    if (destroy) {
      events_->Release();
      grabber_.reset();
    } else {
      std::thread change([this] { EXPECT_TRUE(grabber_->SetCurrentDrive(grabber_->GetDriveCount()).Succeeded()); });
      // The grab stops counting as running once the change has stopped it; then it may go on.
      while (grabber_->GetGrabResult().code == GrabberErrorCode::Busy) std::this_thread::yield();
      events_->Release();
      change.join();
      EXPECT_EQ(grabber_->GetGrabResult().code, GrabberErrorCode::Aborted);
    }
    ASSERT_FALSE(events_->Progress().empty());
    EXPECT_EQ(events_->Progress().back(), 100);
  }
}

// The .bin cut short while a grab reads it: the sectors past the cut fail; error action 0 ends
// the grab with a read error, 1 completes it with silence. An image is read once: there are no
// re-reads for event 3 to tell.
TEST_F(GrabTrackTest, ImageCutMidGrabFollowsTheErrorAction) {
  const qint64 cut = static_cast<qint64>(300 + 600) * kBytes;
  for (const int action : {0, 1}) {
    SCOPED_TRACE(action);
    disc_ = fixture_.Build(QStringLiteral("disc"), {{{300}, {1200}, {200, true}}, {}, {}});
    ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
    grabber_->SetErrorAction(action);
    grabber_->SetRetries(2);
    events_->Clear();
    events_->Hold();
    ASSERT_TRUE(grabber_->SetCurrentTrack(1).Succeeded());
    const QString name = QStringLiteral("cut%1.wav").arg(action);
    ASSERT_TRUE(grabber_->GrabTrack(Path(name)).Succeeded());
    ASSERT_TRUE(events_->WaitHeld());
    {
      QFile bin(disc_.bin);
      ASSERT_TRUE(bin.resize(cut));
    }
    events_->Release();
    ASSERT_TRUE(events_->WaitDone());
    const GrabberResult result = grabber_->GetGrabResult();
    EXPECT_EQ(result.code, action == 0 ? GrabberErrorCode::ReadError : GrabberErrorCode::Ok)
        << result.text.toStdString();
    ExpectProgressEnds();
    EXPECT_TRUE(events_->Retries().empty());
    EXPECT_GT(grabber_->GetGrabReadErrors(), 0);
    const QByteArray pcm = test::DecodeWithFfmpeg(Path(name));
    const QByteArray& track = disc_.tracks[1];
    const qsizetype head = 600 * kBytes;
    EXPECT_TRUE(pcm.left(head) == track.left(std::min(head, pcm.size())));
    if (action == 1) {
      EXPECT_EQ(pcm.size(), track.size());
      EXPECT_EQ(pcm.mid(head).count('\0'), pcm.size() - head);
    } else {
      EXPECT_LT(pcm.size(), track.size());
    }
  }
}

}  // namespace
}  // namespace corvane
