#include "ripper/TrackPlayback.h"

#include <QByteArray>
#include <algorithm>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/RipperText.h"
#include "ripper/DiscReading.h"
#include "ripper/RipperComponents.h"
#include "ripper/RipperView.h"
#include "ripper/TrackTexts.h"

namespace corvane {
namespace {
constexpr int kBytesPerFrame = 4;
}

TrackPlayback::TrackPlayback(IUserInterface& ui, IRipperView& view, RipperComponents& components,
                             std::function<bool()> busy)
    : ui_(ui), view_(view), components_(components), busy_(std::move(busy)) {}

void TrackPlayback::PlayButton() {
  if (busy_()) return;
  if (playing_) {
    Stop();
    return;
  }
  if (view_.RowCount() <= 0) return;
  const int row = view_.FirstSelectedRow();
  if (row < 0) {
    ui_.ShowMessage(StringTable::Text(text::kSelectTrackToPlay), MessageIcon::Warning, MessageButtons::Ok);
    return;
  }
  PlayRow(row, view_.SliderValue() / 100.0);
}

void TrackPlayback::PlayRow(int row, double fraction) {
  if (busy_()) return;
  if (playing_) Stop();
  IAudioCDGrabber* grabber = components_.Grabber();
  if (grabber == nullptr || components_.Player() == nullptr || !AddressRow(*grabber, row)) {
    ui_.ShowMessage(StringTable::Text(text::kStartPlayFailed), MessageIcon::Error, MessageButtons::Ok);
    return;
  }
  if (grabber->GetTrackType() != CdTrackType::Audio) {
    ui_.ShowMessage(StringTable::Text(text::kOnlyAudioPlayable), MessageIcon::Warning, MessageButtons::Ok);
    return;
  }
  ui_.PumpEvents();
  ui_.SetStatusText(1, StringTable::Text(text::kOpeningTrack));
  playing_ = true;
  current_row_ = row;
  current_length_ms_ = track_text::LengthMs(view_.RowLength(row));
  const std::optional<QString> failure = Start(row, std::clamp(fraction, 0.0, 1.0));
  if (failure) {
    // The status bar leaves "Opening track ..." before the box says why nothing plays.
    Stop();
    QString message = StringTable::Text(text::kStartPlayFailed);
    if (!failure->isEmpty()) message += QStringLiteral("\n\n") + *failure;
    ui_.SetStatusText(1, StringTable::Text(text::kStartPlayFailed));
    ui_.ShowMessage(message, MessageIcon::Error, MessageButtons::Ok);
  }
}

std::optional<QString> TrackPlayback::Start(int row, double fraction) {
  IAudioCDGrabber& grabber = *components_.Grabber();
  grabber.SetGrabMode(0);
  grabber.SetErrorAction(0);
  grabber.SetRetries(0);
  if (const GrabberResult opened = grabber.OpenTrack(); opened.Failed()) return opened.text;
  track_open_ = true;
  total_frames_ = static_cast<qint64>(grabber.GetTrackSectors()) * grabber.GetSectorBytes() / kBytesPerFrame;
  end_written_ = false;
  start_offset_ = 0;
  if (const PlayerResult started = components_.Player()->StartPlay(); started.Failed()) {
    if (started.code != PlayerErrorCode::NoDevice) return started.text;
    return StringTable::Format(text::kNoAudioOutput, {started.text});
  }
  player_started_ = true;
  if (fraction > 0 && !Seek(fraction)) return QString();
  if (fraction <= 0 && !(Feed() && Feed())) return QString();
  view_.SetPlayButtonText(StringTable::Text(text::kTrackStop));
  view_.FocusRow(row);
  return std::nullopt;
}

bool TrackPlayback::Feed() {
  if (!playing_ || end_written_) return true;
  QByteArray buffer;
  if (components_.Grabber()->ReadSectors(kSectorsPerBuffer, buffer).Failed()) return false;
  end_written_ = buffer.isEmpty();
  return components_.Player()->WriteBuffer(buffer).Succeeded();
}

bool TrackPlayback::Seek(double fraction) {
  IAudioCDGrabber& grabber = *components_.Grabber();
  IAudioPlayer2& player = *components_.Player();
  const int sectors = grabber.GetTrackSectors();
  if (player.ResetPlay().Failed()) return false;
  if (grabber.Seek(static_cast<int>(sectors * fraction), 1).Failed()) return false;
  start_offset_ = static_cast<qint64>(grabber.GetSectorBytes() * (fraction * sectors) / kBytesPerFrame);
  end_written_ = false;
  dragging_ = false;
  return Feed() && Feed();
}

void TrackPlayback::Stop() {
  if (!playing_) return;
  playing_ = false;
  ui_.PumpEvents();
  bool failed = false;
  // What the start got as far as is undone; a start that failed has said so already.
  if (player_started_ && components_.Player()) failed = components_.Player()->StopPlay().Failed();
  if (track_open_ && components_.Grabber()) failed = components_.Grabber()->CloseTrack().Failed() || failed;
  player_started_ = false;
  track_open_ = false;
  dragging_ = false;
  start_offset_ = 0;
  view_.SetSliderValue(0);
  view_.SetPlayButtonText(StringTable::Text(text::kTrackPlay));
  ShowLabel(0);
  ui_.SetStatusText(1, StringTable::Text(text::kStatusOutput));
  if (current_row_ < view_.RowCount()) view_.FocusRow(current_row_);
  if (failed) ui_.ShowMessage(StringTable::Text(text::kStopPlayFailed), MessageIcon::Error, MessageButtons::Ok);
}

void TrackPlayback::SliderMoved(int position, bool endOfDrag) {
  if (!playing_) {
    dragging_ = false;
    ShowLabel(current_length_ms_ * position / 100);
    return;
  }
  if (!endOfDrag) {
    dragging_ = true;
    return;
  }
  dragging_ = false;
  if (!Seek(position / 100.0)) {
    Stop();
    ui_.ShowMessage(StringTable::Text(text::kSeekFailed), MessageIcon::Error, MessageButtons::Ok);
  }
}

void TrackPlayback::SelectionChanged() {
  if (playing_) return;
  const int row = view_.FirstSelectedRow();
  if (row < 0) return;
  ResetToRow(row);
}

void TrackPlayback::ResetToRow(int row) {
  if (playing_) return;
  current_row_ = std::max(0, row);
  current_length_ms_ = current_row_ < view_.RowCount() ? track_text::LengthMs(view_.RowLength(current_row_)) : 0;
  start_offset_ = 0;
  view_.SetSliderValue(0);
  ShowLabel(0);
}

void TrackPlayback::Previous() {
  if (busy_() || current_row_ <= 0 || view_.RowCount() <= 0) return;
  StepTo(std::min(current_row_, view_.RowCount()) - 1);
}

void TrackPlayback::Next() {
  if (busy_() || current_row_ >= view_.RowCount() - 1) return;
  StepTo(current_row_ + 1);
}

void TrackPlayback::StepTo(int row) {
  if (playing_) {
    Stop();
    PlayRow(row, 0);
    return;
  }
  view_.FocusRow(row);
  // The view reports its selection change; without one (a view that does not) the row is set here.
  if (current_row_ != row) ResetToRow(row);
}

void TrackPlayback::OnFeedRequest() {
  if (!playing_) return;
  if (!Feed()) {
    Stop();
    ui_.ShowMessage(StringTable::Text(text::kPlayFailed), MessageIcon::Error, MessageButtons::Ok);
  }
}

void TrackPlayback::OnPosition(qint64 frames) {
  if (!playing_) return;
  ShowLabel(components_.Player()->PositionToMs(frames + start_offset_));
  ui_.SetStatusText(1, StringTable::Text(text::kPlayingTrack));
  if (dragging_) return;
  const qint64 value = total_frames_ < 1 ? 0 : (start_offset_ * 100 + frames * 100) / total_frames_;
  view_.SetSliderValue(static_cast<int>(std::clamp<qint64>(value, 0, 100)));
}

void TrackPlayback::OnPlaybackEnded() { Stop(); }

void TrackPlayback::ShowLabel(qint64 ms) { view_.SetPositionText(track_text::Position(current_row_, ms)); }

}  // namespace corvane
