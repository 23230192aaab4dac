// The grabber on generated disc images: images as drives, their tables of contents against
// cd-info's, CDDB IDs, CD-TEXT, and reading every audio track back bit for bit.
#include <cdio/cdio.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "components/IAudioCDGrabber.h"
#include "support/DiscImageFixture.h"
#include "support/QtPrinters.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using test::DiscImage;
using test::DiscImageFixture;

bool MachineHasDrives() {
  char** devices = cdio_get_devices(DRIVER_DEVICE);
  const bool any = devices != nullptr && devices[0] != nullptr;
  cdio_free_device_list(devices);
  return any;
}

// Three audio tracks with CD-TEXT and a data track after them, as on an enhanced CD.
test::DiscPlan MixedDisc() {
  return {{{980, false, QStringLiteral("Alpha"), QStringLiteral("Ann")},
           {1502, false, QStringLiteral("Beta"), QStringLiteral("Bob")},
           {733, false, QStringLiteral("Gamma"), {}},
           {400, true, {}, {}}},
          QStringLiteral("Test Disc"),
          QStringLiteral("Various")};
}

class CdioGrabberTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    grabber_ = CreateAudioCDGrabber();
    ASSERT_NE(grabber_, nullptr);
  }

  // Lists `images`, chooses the first image and reads its disc.
  void Load(const QStringList& images) {
    grabber_->SetDiscImages(images);
    ASSERT_TRUE(grabber_->InitDevices().Succeeded());
    const int first = grabber_->GetDriveCount() - static_cast<int>(images.size()) + 1;
    ASSERT_TRUE(grabber_->SetCurrentDrive(first).Succeeded());
    const GrabberResult refreshed = grabber_->RefreshDisc();
    ASSERT_TRUE(refreshed.Succeeded()) << refreshed.text.toStdString();
  }

  // The whole current track from its start (or from `from`), in the player's 26-sector reads.
  QByteArray ReadTrack(int from = 0) {
    EXPECT_TRUE(grabber_->OpenTrack().Succeeded());
    if (from > 0) {
      EXPECT_TRUE(grabber_->Seek(from, 1).Succeeded());
    }
    QByteArray all;
    for (QByteArray chunk;;) {
      const GrabberResult read = grabber_->ReadSectors(26, chunk);
      EXPECT_TRUE(read.Succeeded()) << read.text.toStdString();
      if (read.Failed() || chunk.isEmpty()) break;
      EXPECT_EQ(chunk.size() % DiscImageFixture::kSectorBytes, 0);
      all += chunk;
    }
    EXPECT_TRUE(grabber_->CloseTrack().Succeeded());
    return all;
  }

  QTemporaryDir dir_;
  DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
  std::unique_ptr<IAudioCDGrabber> grabber_;
};

TEST_F(CdioGrabberTest, ImagesAreDrivesAndUnusableOnesAreRejected) {
  const DiscImage disc = fixture_.Build(QStringLiteral("mixed"), MixedDisc());
  const QString garbage = dir_.filePath(QStringLiteral("garbage.cue"));
  {
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a cue sheet at all\n");
  }
  const QString missing = dir_.filePath(QStringLiteral("missing.toc"));
  const QString noise = dir_.filePath(QStringLiteral("noise.nrg"));
  {
    QFile file(noise);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(70000, '\x5a'));
  }
  // A cue sheet whose .bin has another name, as ripping programs often write them.
  const QString renamed = dir_.filePath(QStringLiteral("Other Name.cue"));
  {
    QFile file(renamed);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(test::ReadAll(disc.cue).replace("\"mixed.bin\"", "\"images/mixed.bin\""));
  }
  const QString nero = fixture_.BuildNrg(QStringLiteral("nero"), 300).nrg;
  grabber_->SetDiscImages({disc.cue, garbage, missing, disc.toc, noise, disc.cue, renamed, nero});
  ASSERT_TRUE(grabber_->InitDevices().Succeeded());
  EXPECT_EQ(grabber_->GetRejectedDiscImages(), (QStringList{garbage, missing, noise}));
  const int machine = grabber_->GetDriveCount() - 4;
  const QString paths[] = {disc.cue, disc.toc, renamed, nero};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(grabber_->SetCurrentDrive(machine + 1 + i).Succeeded());
    EXPECT_TRUE(grabber_->IsDiscImage());
    EXPECT_EQ(grabber_->GetDrivePath(), paths[i]);
    EXPECT_EQ(grabber_->GetDriveId(), QFileInfo(paths[i]).fileName());
    EXPECT_EQ(grabber_->GetDriveText1(), QStringLiteral("Disc image"));
    EXPECT_EQ(grabber_->GetDriveText2(), QString());
    EXPECT_EQ(grabber_->Door(true).code, GrabberErrorCode::NoTray);
    EXPECT_EQ(grabber_->InsertDisc().code, GrabberErrorCode::NoTray);
    EXPECT_EQ(grabber_->IsDoorOpen().status.code, GrabberErrorCode::NoTray);
  }
  EXPECT_EQ(grabber_->SetCurrentDrive(machine + 5).code, GrabberErrorCode::InvalidDrive);
  EXPECT_EQ(grabber_->SetCurrentDrive(0).code, GrabberErrorCode::InvalidDrive);

  // An image that goes away after listing has no disc any more.
  ASSERT_TRUE(grabber_->SetCurrentDrive(machine + 1).Succeeded());
  ASSERT_TRUE(QFile::remove(disc.cue));
  const GrabberResult gone = grabber_->RefreshDisc();
  EXPECT_EQ(gone.code, GrabberErrorCode::NoDisc);
  EXPECT_TRUE(gone.text.contains(disc.cue)) << gone.text.toStdString();
  EXPECT_EQ(grabber_->GetDiscState(), DiscState::None);
  EXPECT_EQ(grabber_->GetTrackCount(), 0);

  if (MachineHasDrives()) GTEST_SKIP() << "this machine has drives; an empty listing cannot be made";
  grabber_->SetDiscImages({missing, garbage});
  EXPECT_EQ(grabber_->InitDevices().code, GrabberErrorCode::NoDrives);
  EXPECT_EQ(grabber_->GetDriveCount(), 0);
  EXPECT_EQ(grabber_->RefreshDisc().code, GrabberErrorCode::InvalidDrive);
}

// cd-info's track list for an image: each track's LSN and whether it is audio, and the lead-out.
struct CdInfoTrack {
  int lsn;
  bool audio;
};
std::vector<CdInfoTrack> CdInfoTracks(const QString& image) {
  // From the image's folder: cd-info finds a .toc's data files relative to where it runs.
  test::ToolRun run;
  run.workingDirectory = QFileInfo(image).absolutePath();
  const QString out =
      QString::fromUtf8(test::ToolOutput(QStringLiteral("cd-info"),
                                         {QStringLiteral("--no-device-info"), QStringLiteral("--no-cddb"),
                                          QStringLiteral("--no-analyze"), QStringLiteral("--quiet"), image},
                                         run));
  static const QRegularExpression row(QStringLiteral(R"(^\s*(\d+): \d\d:\d\d:\d\d\s+(\d+) (\w+))"),
                                      QRegularExpression::MultilineOption);
  std::vector<CdInfoTrack> tracks;
  for (auto it = row.globalMatch(out); it.hasNext();) {
    const auto match = it.next();
    tracks.push_back({match.captured(2).toInt(), match.captured(3) == QLatin1String("audio")});
  }
  if (tracks.empty()) throw test::ToolFailure("cd-info listed no tracks:\n" + out.toStdString());
  return tracks;
}

TEST_F(CdioGrabberTest, TableOfContentsAgreesWithCdInfo) {
  const test::DiscPlan plan = MixedDisc();
  const DiscImage disc = fixture_.Build(QStringLiteral("mixed"), plan);
  for (const QString& image : {disc.cue, disc.toc}) {
    SCOPED_TRACE(image.toStdString());
    Load({image});
    EXPECT_EQ(grabber_->GetDiscState(), DiscState::Present);
    EXPECT_EQ(grabber_->GetMediaType(), 0);
    ASSERT_EQ(grabber_->GetSessionCount(), 1);
    ASSERT_TRUE(grabber_->SetCurrentSession(0).Succeeded());
    EXPECT_EQ(grabber_->SetCurrentSession(1).code, GrabberErrorCode::InvalidSession);
    ASSERT_EQ(grabber_->GetTrackCount(), 4);
    const std::vector<CdInfoTrack> listed = CdInfoTracks(image);
    ASSERT_EQ(listed.size(), 5u) << "four tracks and the lead-out";
    std::vector<int> frames;
    for (int t = 0; t < 4; ++t) {
      ASSERT_TRUE(grabber_->SetCurrentTrack(t).Succeeded());
      const int sectors = plan.tracks[static_cast<size_t>(t)].sectors;
      EXPECT_EQ(grabber_->GetTrackNumber(), t + 1);
      EXPECT_EQ(grabber_->GetTrackSectors(), sectors);
      EXPECT_EQ(grabber_->GetTrackSectors(),
                listed[static_cast<size_t>(t + 1)].lsn - listed[static_cast<size_t>(t)].lsn);
      EXPECT_EQ(grabber_->GetTrackMinutes() * 60 + grabber_->GetTrackSeconds(), sectors / 75);
      EXPECT_EQ(grabber_->GetTrackType() == CdTrackType::Audio, listed[static_cast<size_t>(t)].audio);
      EXPECT_EQ(grabber_->GetTrackType(), t < 3 ? CdTrackType::Audio : CdTrackType::Mode1);
      EXPECT_EQ(grabber_->GetSectorBytes(), t < 3 ? 2352 : 2048);
    }
    EXPECT_EQ(grabber_->SetCurrentTrack(4).code, GrabberErrorCode::InvalidTrack);
    // Tracks at LBA 150, 1130, 2632 and 3365: seconds 2, 15, 35 and 44, digit sums 24; lead-out
    // LBA 3765: 50 seconds, 48 after the first track.
    EXPECT_EQ(grabber_->GetDiscId(), 0x18003004u);
  }
}

TEST_F(CdioGrabberTest, ModeTwoTracksTellTheirForm) {
  const DiscImage disc =
      fixture_.Build(QStringLiteral("xa"), {{{300}, {200, true, {}, {}, 1}, {200, true, {}, {}, 2}}, {}, {}});
  for (const QString& image : {disc.cue, disc.toc}) {
    SCOPED_TRACE(image.toStdString());
    Load({image});
    const std::pair<CdTrackType, int> expected[] = {
        {CdTrackType::Audio, 2352}, {CdTrackType::Mode2Form1, 2048}, {CdTrackType::Mode2Form2, 2324}};
    for (int t = 0; t < 3; ++t) {
      ASSERT_TRUE(grabber_->SetCurrentTrack(t).Succeeded());
      EXPECT_EQ(grabber_->GetTrackType(), expected[t].first) << "track " << t + 1;
      EXPECT_EQ(grabber_->GetSectorBytes(), expected[t].second) << "track " << t + 1;
    }
  }
}

TEST_F(CdioGrabberTest, DiscIdsOfLayouts) {
  const struct {
    const char* name;
    std::vector<int> lsns;
    int leadout;
    quint32 id;
  } layouts[] = {
      {"a", {0, 18257, 39722, 61087}, 80400, 0x25043004u},
      {"d", {32, 18257, 39722, 61087}, 80424, 0x25043004u},
      {"e",
       {0,      14812,  28574,  42186,  57148,  68285,  83247,  97384,  109346, 122658, 139120,
        151607, 165819, 179206, 189668, 203805, 218617, 234329, 246966, 260428, 274490, 286377},
       296963,
       0x270f7716u},
  };
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.name);
    const DiscImage disc = fixture_.BuildLayout(QString::fromLatin1(layout.name), layout.lsns, layout.leadout);
    Load({disc.cue});
    EXPECT_EQ(grabber_->GetDiscId(), layout.id) << std::hex << grabber_->GetDiscId();
    EXPECT_EQ(grabber_->GetTrackCount(), static_cast<int>(layout.lsns.size()));
    EXPECT_TRUE(grabber_->GetCdText().isEmpty());
  }
}

TEST_F(CdioGrabberTest, CdTextLines) {
  const DiscImage disc = fixture_.Build(QStringLiteral("mixed"), MixedDisc());
  const QStringList expected{QStringLiteral("TITLE0=Test Disc"), QStringLiteral("PERFORMER0=Various"),
                             QStringLiteral("TITLE1=Alpha"),     QStringLiteral("PERFORMER1=Ann"),
                             QStringLiteral("TITLE2=Beta"),      QStringLiteral("PERFORMER2=Bob"),
                             QStringLiteral("TITLE3=Gamma")};
  for (const QString& image : {disc.cue, disc.toc}) {
    Load({image});
    EXPECT_EQ(grabber_->GetCdText(), expected) << image.toStdString();
  }
}

TEST_F(CdioGrabberTest, ReadsEveryAudioTrackBitExact) {
  const test::DiscPlan plan{{{400, true, {}, {}}, {333}, {1001}, {27}}, {}, {}};
  const DiscImage disc = fixture_.Build(QStringLiteral("datafirst"), plan);
  const QString renamed = dir_.filePath(QStringLiteral("images/renamed.cue"));
  ASSERT_TRUE(QFile::copy(disc.cue, renamed));
  for (const QString& image : {disc.cue, disc.toc, renamed}) {
    for (const int mode : {1, 2}) {
      SCOPED_TRACE(QStringLiteral("%1 in grab mode %2").arg(image).arg(mode).toStdString());
      Load({image});
      grabber_->SetGrabMode(mode);
      ASSERT_TRUE(grabber_->SetCurrentTrack(0).Succeeded());
      EXPECT_EQ(grabber_->OpenTrack().code, GrabberErrorCode::NotAudio);
      QByteArray none;
      EXPECT_EQ(grabber_->ReadSectors(26, none).code, GrabberErrorCode::NotOpen);
      for (int t = 1; t < 4; ++t) {
        ASSERT_TRUE(grabber_->SetCurrentTrack(t).Succeeded());
        const QByteArray& expected = disc.tracks[static_cast<size_t>(t)];
        const QByteArray whole = ReadTrack();
        EXPECT_EQ(whole.size(), expected.size()) << "track " << t + 1;
        EXPECT_TRUE(whole == expected) << "track " << t + 1 << " differs";
        const int middle = grabber_->GetTrackSectors() / 2;
        EXPECT_TRUE(ReadTrack(middle) == expected.mid(middle * DiscImageFixture::kSectorBytes))
            << "track " << t + 1 << " after a seek";
      }
      ASSERT_TRUE(grabber_->OpenTrack().Succeeded());
      EXPECT_EQ(grabber_->Seek(28, 1).code, GrabberErrorCode::ReadError) << "past the end of a 27-sector track";
      EXPECT_EQ(grabber_->Seek(0, 0).code, GrabberErrorCode::Unsupported);
    }
  }
}

// A data file cut short after its image was opened, as on a disk that went away: the sectors
// past the cut fail and stop the read, turn into silence or are left out, as the error action
// says. Never does anything but the track's audio or silence come out.
TEST_F(CdioGrabberTest, UnreadableSectorsFollowTheErrorAction) {
  const int bytes = DiscImageFixture::kSectorBytes;
  const int kept = 60;
  for (const int action : {0, 1, 2}) {
    SCOPED_TRACE(action);
    const DiscImage disc = fixture_.Build(QStringLiteral("cut"), {{{200}, {100}}, {}, {}});
    const QByteArray head = disc.tracks[1].left(kept * bytes);
    Load({disc.cue});
    ASSERT_TRUE(QFile::resize(disc.bin, static_cast<qint64>(200 + kept) * bytes));
    grabber_->SetErrorAction(action);
    grabber_->SetRetries(2);
    ASSERT_TRUE(grabber_->SetCurrentTrack(1).Succeeded());
    ASSERT_EQ(grabber_->GetTrackSectors(), 100);
    ASSERT_TRUE(grabber_->OpenTrack().Succeeded());
    QByteArray all;
    GrabberResult read;
    for (QByteArray chunk; (read = grabber_->ReadSectors(26, chunk)).Succeeded() && !chunk.isEmpty();) all += chunk;
    EXPECT_EQ(read.code, action == 0 ? GrabberErrorCode::ReadError : GrabberErrorCode::Ok) << read.text.toStdString();
    EXPECT_TRUE(all.left(head.size()) == head.left(all.size()));
    EXPECT_EQ(all.mid(head.size()).count('\0'), std::max<qsizetype>(0, all.size() - head.size()));
    // Silence keeps the track's length; leaving blocks out shortens it.
    EXPECT_EQ(all.size() == 100 * bytes, action == 1) << all.size();
  }
}

// The page reads on a worker while the window asks about the disc and a disc change reloads it:
// every read either fails cleanly or returns whole sectors of the track, in order.
TEST_F(CdioGrabberTest, CallsFromTwoThreadsAreSerialised) {
  const DiscImage disc = fixture_.Build(QStringLiteral("busy"), {{{150}, {300}}, {}, {}});
  Load({disc.cue});
  const QByteArray& track = disc.tracks[1];
  std::atomic<bool> done{false};
  std::thread reloader([&] {
    for (int i = 0; i < 400; ++i) {
      EXPECT_TRUE(grabber_->RefreshDisc().Succeeded());
      (void)grabber_->SetCurrentTrack(1);
      (void)grabber_->OpenTrack();
    }
    done = true;
  });
  qsizetype position = 0;
  while (!done) {
    QByteArray chunk;
    const GrabberResult read = grabber_->ReadSectors(26, chunk);
    EXPECT_LE(grabber_->GetTrackCount(), 2);
    if (read.Failed()) {
      EXPECT_EQ(read.code, GrabberErrorCode::NotOpen) << read.text.toStdString();
      continue;
    }
    if (chunk.isEmpty()) continue;
    // A reload opens the track again from its start.
    if (chunk != track.mid(position, chunk.size())) position = 0;
    EXPECT_TRUE(chunk == track.mid(position, chunk.size())) << "read at byte " << position;
    position += chunk.size();
  }
  reloader.join();
}

TEST_F(CdioGrabberTest, ReadsANeroImageBitExact) {
  const DiscImage nero = fixture_.BuildNrg(QStringLiteral("nero"), 1234);
  for (const int mode : {1, 2}) {
    Load({nero.nrg});
    grabber_->SetGrabMode(mode);
    ASSERT_EQ(grabber_->GetTrackCount(), 1);
    EXPECT_EQ(grabber_->GetTrackType(), CdTrackType::Audio);
    EXPECT_EQ(grabber_->GetTrackSectors(), 1234);
    EXPECT_TRUE(ReadTrack() == nero.tracks.front()) << "grab mode " << mode;
  }
}

TEST_F(CdioGrabberTest, GrabSettingsAreKeptWithinRange) {
  for (const auto& [given, kept] : {std::pair{-3, 0}, {0, 0}, {42, 42}, {99, 99}, {150, 99}}) {
    grabber_->SetRetries(given);
    EXPECT_EQ(grabber_->GetRetries(), kept) << given;
  }
  EXPECT_NE(grabber_->GetEncoder(), nullptr);
  EXPECT_EQ(grabber_->GrabTrack(dir_.filePath(QStringLiteral("x.wav"))).code, GrabberErrorCode::NoDisc);
  EXPECT_EQ(grabber_->GetGrabResult().code, GrabberErrorCode::NotOpen);
  EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("x.wav"))));
}

}  // namespace
}  // namespace corvane
