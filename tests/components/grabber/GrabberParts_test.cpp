// The grabber's arithmetic and its media-change watch, apart from any disc.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include <QTemporaryFile>

#include "components/grabber/CddbDiscId.h"
#include "components/grabber/CddbTocOf.h"
#include "components/grabber/DiscToc.h"
#include "components/grabber/DriveIdentifier.h"
#include "components/grabber/MediaChangeWatch.h"
#include "components/grabber/MediaType.h"
#include "engine/CdTrackPlace.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;

// Tables whose IDs two independent implementations agree on; each one traps a classic mistake:
// a signed shift (X), counting only audio tracks and ending at the audio session (X), a mask
// instead of mod 255 (E), flooring the difference instead of the ends (D).
TEST(CddbDiscId, PublishedTables) {
  const struct {
    std::vector<int> frames;
    int leadout;
    quint32 id;
  } tables[] = {
      {{150, 18407, 39872, 61237}, 80550, 0x25043004u},
      {{182, 18407, 39872, 61237}, 80574, 0x25043004u},
      {{150,    14962,  28724,  42336,  57298,  68435,  83397,  97534,  109496, 122808, 139270,
        151757, 165969, 179356, 189818, 203955, 218767, 234479, 247116, 260578, 274640, 286527},
       297113,
       0x270f7716u},
      {{150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455, 281735}, 333801, 0x9e11600bu},
      {{150, 15239, 29625, 45763, 61420, 75862, 91642, 108918, 123698, 139895, 153589, 169239, 188495},
       2734 * 75,
       0x940aac0du},
  };
  for (const auto& table : tables) EXPECT_EQ(CddbDiscId(table.frames, table.leadout), table.id) << std::hex << table.id;
  EXPECT_EQ(CddbDiscId({}, 80550), 0u);
}

TEST(DiscToc, SessionsSplitWhereTheLastSessionStarts) {
  const std::vector<DiscToc::Track> tracks{
      {1, 0, 100, CdTrackType::Audio}, {2, 100, 200, CdTrackType::Audio}, {3, 11700, 500, CdTrackType::Mode2Form1}};
  const auto one = SplitSessions(tracks, 0);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].size(), 3u);
  const auto two = SplitSessions(tracks, 11700);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].size(), 2u);
  ASSERT_EQ(two[1].size(), 1u);
  EXPECT_EQ(two[1][0].number, 3);
  // A last session that starts at the first track is the only session.
  EXPECT_EQ(SplitSessions({tracks[2]}, 11700).size(), 1u);
  EXPECT_TRUE(SplitSessions({}, 0).empty());
}

// The enhanced CD of the published tables: its last audio track ends at the audio session's
// lead-out (LBA 270335), not at the data track 11400 sectors later; elsewhere a track runs on.
TEST(CdTrackEnd, TheLastTrackOfASessionEndsAtItsLeadOut) {
  const int dataTrack = 281735 - 150;
  EXPECT_EQ(CdTrackEnd(247455 - 150, dataTrack, dataTrack), 270335 - 150);
  EXPECT_EQ(CdTrackEnd(247455 - 150, dataTrack, 0), dataTrack);                // one session
  EXPECT_EQ(CdTrackEnd(215260 - 150, 247455 - 150, dataTrack), 247455 - 150);  // same session
  EXPECT_EQ(CdTrackEnd(dataTrack, 333801 - 150, dataTrack), 333801 - 150);     // in the last one
  EXPECT_EQ(CdTrackEnd(dataTrack - 100, dataTrack, dataTrack), dataTrack);     // no room for a gap
}

// The enhanced CD of the published tables, its data track in a second session: the query counts
// every track of both sessions and ends at the disc's real lead-out.
TEST(CddbTocOf, EveryTrackOfEverySessionWithTheLeadIn) {
  const std::vector<int> frames{150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455, 281735};
  std::vector<DiscToc::Track> tracks;
  for (size_t i = 0; i < frames.size(); ++i)
    tracks.push_back({static_cast<int>(i) + 1, frames[i] - 150, 0,
                      i + 1 < frames.size() ? CdTrackType::Audio : CdTrackType::Mode2Form1});
  DiscToc toc;
  toc.sessions = SplitSessions(tracks, frames.back() - 150);
  ASSERT_EQ(toc.sessions.size(), 2u);
  toc.leadout_lsn = 333801 - 150;
  toc.disc_id = 0x9e11600bu;
  const CddbToc cddb = CddbTocOf(toc);
  EXPECT_EQ(cddb.track_frames, frames);
  EXPECT_EQ(cddb.leadout_seconds, 4450);
  EXPECT_EQ(cddb.disc_id, 0x9e11600bu);
}

// Only a drive that answers has an identifier: files (disc images), missing paths and devices
// that are no drive have none.
TEST(DriveIdentifier, EmptyForWhatIsNoAnsweringDrive) {
  QTemporaryFile image;
  ASSERT_TRUE(image.open());
  image.write("FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
  image.flush();
  for (const QString& path :
       {image.fileName(), QStringLiteral("/no/such/drive"), QStringLiteral("/dev/null"), QString()})
    EXPECT_TRUE(DriveIdentifier(path).isEmpty()) << path.toStdString();
}

TEST(MediaType, ProfilesMapOntoTheNineTypes) {
  const std::pair<int, int> profiles[] = {{0x08, 0}, {0x09, 1}, {0x0A, 2}, {0x10, 3}, {0x1B, 4}, {0x1A, 5},
                                          {0x11, 6}, {0x14, 7}, {0x13, 7}, {0x12, 8}, {0x40, 0}, {0, 0}};
  for (const auto& [profile, type] : profiles) EXPECT_EQ(MediaTypeFromProfile(profile), type) << profile;
}

// Counts the watch's polls and changes and lets the test wait for a number of them.
struct WatchProbe {
  std::mutex mutex;
  std::condition_variable changedOrPolled;
  int polls = 0;
  int changes = 0;
  int changeOnPoll = 3;

  bool Poll() {
    std::lock_guard lock(mutex);
    ++polls;
    changedOrPolled.notify_all();
    return polls == changeOnPoll;
  }
  void Changed() {
    std::lock_guard lock(mutex);
    ++changes;
    changedOrPolled.notify_all();
  }
  bool WaitFor(const std::function<bool()>& done) {
    std::unique_lock lock(mutex);
    return changedOrPolled.wait_for(lock, 10s, done);
  }
};

TEST(MediaChangeWatch, ReportsAChangeAndStopsPromptlyBetweenPolls) {
  WatchProbe probe;
  {
    MediaChangeWatch watch([&] { return probe.Poll(); }, [&] { probe.Changed(); }, 5ms);
    ASSERT_TRUE(probe.WaitFor([&] { return probe.changes == 1 && probe.polls >= 5; }));
  }
  const int polls = probe.polls;
  EXPECT_EQ(probe.changes, 1);
  // A watch with a long interval is waiting when it is destroyed; it must not sit out the wait.
  WatchProbe slow;
  const auto started = std::chrono::steady_clock::now();
  {
    MediaChangeWatch watch([&] { return slow.Poll(); }, [&] { slow.Changed(); }, 60s);
    ASSERT_TRUE(slow.WaitFor([&] { return slow.polls == 1; }));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_EQ(slow.polls, 1);
  EXPECT_EQ(probe.polls, polls) << "polled after destruction";
}

}  // namespace
}  // namespace corvane
