// The grabber's disc look-up: the query on freedb or MusicBrainz, its states as grabber event 4,
// and the disc fields its last success found.
#include <QThread>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/freedb/LookupSettings.h"
#include "components/grabber/CddbTocOf.h"
#include "components/grabber/CdioGrabber.h"
#include "components/grabber/CdioGrabberEvents.h"
#include "components/grabber/MusicBrainzToc.h"

namespace corvane {
using namespace grabber_events;

GrabberResult CdioGrabber::QueryFreedb(IFreedbClient& client, int source) {
  std::unique_lock lock(mutex_);
  if (source != static_cast<int>(LookupSource::Freedb) && source != static_cast<int>(LookupSource::MusicBrainz))
    return Fail(GrabberErrorCode::InvalidSource, text::kUnknownLookupSource, {source});
  if (toc_.state != DiscState::Present || toc_.TrackCount() == 0) return Fail(GrabberErrorCode::NoDisc, text::kNoDisc);
  DropLookup();
  const quint64 generation = lookup_generation_;
  std::function<void()> start;
  if (source == static_cast<int>(LookupSource::Freedb)) {
    auto* lookup = new CddbLookup;
    Follow(lookup, generation);
    start = [lookup, settings = CddbSettingsOf(client), toc = CddbTocOf(toc_)] { lookup->Start(settings, toc); };
    lookup_ = lookup;
  } else {
    auto* lookup = new MusicBrainzLookup;
    Follow(lookup, generation);
    start = [lookup, settings = MusicBrainzSettingsOf(client), toc = MusicBrainzTocOf(toc_)] {
      lookup->Start(settings, toc);
    };
    lookup_ = lookup;
  }
  // Started without the lock: the look-up reports its first state from within Start. Should a
  // refresh on another thread drop it meanwhile, it starts disconnected and reports nothing.
  lock.unlock();
  start();
  return GrabberResult::Success();
}

void CdioGrabber::CancelFreedbQuery() {
  std::lock_guard lock(mutex_);
  DropLookup();
}

template <typename Lookup>
void CdioGrabber::Follow(Lookup* lookup, quint64 generation) {
  QObject::connect(lookup, &Lookup::progress, lookup,
                   [this, generation](CddbLookupState state) { OnLookupState(generation, state, nullptr); });
  QObject::connect(lookup, &Lookup::finished, lookup,
                   [this, generation](CddbLookupState state, const CddbEntry& entry) {
                     OnLookupState(generation, state, state == CddbLookupState::Found ? &entry : nullptr);
                   });
}

void CdioGrabber::OnLookupState(quint64 generation, CddbLookupState state, const CddbEntry* entry) {
  {
    std::lock_guard lock(mutex_);
    if (generation != lookup_generation_) return;
    if (entry != nullptr) entry_ = *entry;
  }
  emit Event(ComponentEvent{kLookupEvent, static_cast<int>(state)});
}

void CdioGrabber::DropLookup() {
  ++lookup_generation_;
  entry_.reset();
  if (lookup_ == nullptr) return;
  // Later, on its own thread: this may run on another thread, or inside one of its signals.
  QObject::disconnect(lookup_, nullptr, nullptr, nullptr);
  lookup_->deleteLater();
  lookup_ = nullptr;
}

QString CdioGrabber::GetDiscArtist() const {
  std::lock_guard lock(mutex_);
  return entry_ ? entry_->artist : QString();
}

QString CdioGrabber::GetDiscTitle() const {
  std::lock_guard lock(mutex_);
  return entry_ ? entry_->album : QString();
}

QString CdioGrabber::GetDiscGenre() const {
  std::lock_guard lock(mutex_);
  return entry_ ? entry_->genre : QString();
}

int CdioGrabber::GetDiscYear() const {
  std::lock_guard lock(mutex_);
  if (!entry_) return 0;
  bool number = false;
  const int year = entry_->year.trimmed().toInt(&number);
  return number && year > 0 ? year : 0;
}

QString CdioGrabber::GetTrackTitle() const {
  std::lock_guard lock(mutex_);
  const DiscToc::Track* track = CurrentTrack();
  if (!entry_ || track == nullptr) return {};
  // Titles go by position in the whole table, whatever session the track is in.
  return entry_->titles.value(track->number - toc_.sessions.front().front().number);
}

QString CdioGrabber::GetMusicBrainzDiscId() const {
  std::lock_guard lock(mutex_);
  if (toc_.state != DiscState::Present || toc_.TrackCount() == 0) return {};
  return MusicBrainzDiscId(MusicBrainzTocOf(toc_));
}

}  // namespace corvane
