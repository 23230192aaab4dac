#include "converter/PlaybackController.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "common/DesktopOpen.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "engine/AudioFileServices.h"
#include "engine/CAudioEngine.h"

namespace corvane {
namespace {

QString PlayTime(qint64 ms) {
  const qint64 seconds = std::max<qint64>(0, ms) / 1000;
  return StringTable::Format(text::kPlayTime, {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                                               static_cast<int>(seconds % 60)});
}

}  // namespace

PlaybackController::PlaybackController(const CAudioEngine& engine, IUserInterface& ui, IPlaybackView& view)
    : engine_(engine), ui_(ui), view_(view) {}

PlaybackController::~PlaybackController() = default;

QString PlaybackController::PositionText(qint64 positionMs, qint64 lengthMs) {
  return StringTable::Format(text::kPositionOfLength, {PlayTime(positionMs), PlayTime(lengthMs)});
}

// File identity: this platform tells letter case apart, so paths are compared exactly once they
// are absolute and clean.
QString PlaybackController::SamePathKey(const QString& path) {
  if (path.isEmpty()) return {};
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

qint64 PlaybackController::PlayerPositionMs() const { return playing_ && player_ ? player_->PositionMs() : 0; }

void PlaybackController::PlaySelected(PlaybackRowKind kind, const QString& path) {
  if (kind == PlaybackRowKind::Folder) {
    OpenOnDesktop(ui_, path);
    return;
  }
  const QString file = SamePathKey(path);
  if (playing_ && file == loaded_path_) {
    Toggle();
    return;
  }
  // Another file while one plays: loading it frees the playing stream, and the toggle then
  // stops, so this press only stops; the next one plays the new file from its beginning. A
  // failed load stops just as cleanly.
  const bool wasPlaying = playing_;
  loaded_path_ = file;
  saved_position_ = 0;
  SetSlider(0);
  const bool loaded = Load();
  if (wasPlaying) {
    Stop();
  } else if (loaded) {
    Toggle();
  }
}

bool PlaybackController::Load() {
  player_.reset();
  length_ms_ = 0;
  std::unique_ptr<DecodeStream> stream;
  qint64 size = 0;
  // A file that opens but holds no audio fails with Empty: it still has to say why nothing plays.
  const EngineResult<qint64> length = AudioFileServices::OpenPlaybackStream(engine_, loaded_path_, stream, size);
  if (!length.Succeeded()) {
    Fail(length.status.code);
    return false;
  }
  EngineResult<std::unique_ptr<AudioPlayer>> player = AudioPlayer::Create(engine_, std::move(stream));
  if (!player.Succeeded()) {
    Fail(player.status.code);
    return false;
  }
  player_ = std::move(*player.value);
  length_ms_ = *length.value;
  return true;
}

void PlaybackController::Fail(EngineError error) {
  player_.reset();
  AudioFileServices::ReportLoadError(ui_, error, loaded_path_);
}

void PlaybackController::Toggle() {
  if (playing_) {
    Stop();
  } else if (player_) {
    Start();
  }
}

void PlaybackController::Start() {
  saved_position_ = slider_;
  const qint64 target = TargetMs(slider_);
  if (target >= length_ms_) return;
  if (!player_->SeekMs(target) || !player_->Play()) {
    Fail(player_->LastError());
    return;
  }
  playing_ = true;
  SetPlayButton(true);
  view_.StartTimer(kTimerIntervalMs);
}

void PlaybackController::Stop() {
  view_.StopTimer();
  SetSlider(saved_position_);
  ShowPosition(TargetMs(saved_position_));
  player_.reset();
  playing_ = false;
  SetPlayButton(false);
}

void PlaybackController::OnTimer() {
  if (!playing_ || !player_) return;
  player_->Service();
  const qint64 position = player_->PositionMs();
  ShowPosition(position);
  if (position <= length_ms_) SetSlider(SliderFor(position));
  if (!player_->IsActive()) {
    saved_position_ = 0;
    Toggle();
  }
}

void PlaybackController::Seek(int value) {
  if (length_ms_ <= 0) return;
  value = std::clamp(value, 0, kSliderMax);
  saved_position_ = value;
  slider_ = value;
  const qint64 target = TargetMs(value);
  ShowPosition(target);
  if (!playing_ || !player_) return;
  player_->Pause();
  if (!player_->SeekMs(target)) {
    Stop();
    return;
  }
  SetSlider(SliderFor(player_->PositionMs()));
  if (!player_->Play()) Stop();
}

void PlaybackController::PreviewPosition(int value) {
  if (length_ms_ > 0) ShowPosition(TargetMs(std::clamp(value, 0, kSliderMax)));
}

void PlaybackController::UpdateSelection(PlaybackRowKind kind, const QString& path, qint64 rowLengthMs) {
  if (playing_) return;
  if (kind == PlaybackRowKind::Folder) {
    SetSlider(0);
    view_.SetButtonIcon(PlaybackIcon::Folder);
    view_.SetButtonToolTip(StringTable::Text(text::kOpenFolderTip));
    view_.SetButtonText(StringTable::Text(text::kOpenButton));
    view_.SetSliderVisible(false);
    view_.SetPositionText(PositionText(0, 0));
    return;
  }
  if (!loaded_path_.isEmpty() && SamePathKey(path) == loaded_path_ && length_ms_ > 0) {
    ShowPosition(TargetMs(slider_));
  } else {
    SetSlider(0);
    view_.SetPositionText(PositionText(0, rowLengthMs));
  }
  view_.SetButtonIcon(PlaybackIcon::Play);
  view_.SetButtonToolTip(StringTable::Text(text::kPlayTip));
  view_.SetButtonText(StringTable::Text(text::kPlayButton));
  view_.SetSliderVisible(true);
}

void PlaybackController::ShowNoSelection() {
  if (playing_) return;
  view_.SetPositionText(PositionText(0, 0));
}

void PlaybackController::StopIfLoaded(const QString& path) {
  if (loaded_path_.isEmpty() || SamePathKey(path) != loaded_path_) return;
  StopAll();
}

void PlaybackController::StopAll() {
  saved_position_ = 0;
  if (playing_) {
    Toggle();
  } else {
    SetSlider(0);
  }
}

void PlaybackController::SetSlider(int value) {
  slider_ = std::clamp(value, 0, kSliderMax);
  view_.SetSliderValue(slider_);
}

void PlaybackController::ShowPosition(qint64 positionMs) {
  view_.SetPositionText(PositionText(positionMs, length_ms_));
}

int PlaybackController::SliderFor(qint64 positionMs) const {
  if (length_ms_ <= 0) return 0;
  return static_cast<int>(std::lround(static_cast<double>(positionMs) / static_cast<double>(length_ms_) * kSliderMax));
}

qint64 PlaybackController::TargetMs(int value) const { return length_ms_ * value / kSliderMax; }

void PlaybackController::SetPlayButton(bool playing) {
  view_.SetButtonIcon(playing ? PlaybackIcon::Stop : PlaybackIcon::Play);
  view_.SetButtonText(StringTable::Text(playing ? text::kStopButton : text::kPlayButton));
}

}  // namespace corvane
