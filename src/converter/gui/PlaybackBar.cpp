#include "converter/gui/PlaybackBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>

#include "common/StringTable.h"
#include "common/strings/ConverterText.h"

namespace corvane {
namespace {

constexpr int kTickInterval = 4000;
constexpr int kPageStep = 400;
constexpr int kSingleStep = 100;

}  // namespace

PlaybackBar::PlaybackBar(const CAudioEngine& engine, IUserInterface& ui, QWidget* parent)
    : QWidget(parent),
      button_(new QPushButton(StringTable::Text(text::kPlayButton), this)),
      slider_(new QSlider(Qt::Horizontal, this)),
      position_(new QLabel(PlaybackController::PositionText(0, 0), this)),
      timer_(new QTimer(this)),
      controller_(std::make_unique<PlaybackController>(engine, ui, static_cast<IPlaybackView&>(*this))) {
  button_->setObjectName(QStringLiteral("playButton"));
  slider_->setObjectName(QStringLiteral("playSlider"));
  position_->setObjectName(QStringLiteral("playPosition"));
  button_->setToolTip(StringTable::Text(text::kPlayTip));
  SetButtonIcon(PlaybackIcon::Play);

  slider_->setRange(0, PlaybackController::kSliderMax);
  slider_->setTickInterval(kTickInterval);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setPageStep(kPageStep);
  slider_->setSingleStep(kSingleStep);
  // A drag seeks once, on release; the text follows the thumb meanwhile.
  slider_->setTracking(false);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(button_);
  layout->addWidget(slider_, 1);
  layout->addWidget(position_);

  connect(button_, &QPushButton::clicked, this, &PlaybackBar::playRequested);
  connect(slider_, &QSlider::valueChanged, this, [this](int value) { controller_->Seek(value); });
  connect(slider_, &QSlider::sliderMoved, this, [this](int value) { controller_->PreviewPosition(value); });
  connect(timer_, &QTimer::timeout, this, [this] { controller_->OnTimer(); });
}

// The controller reports to this bar while it stops; it goes first.
PlaybackBar::~PlaybackBar() {
  timer_->stop();
  controller_.reset();
}

bool PlaybackBar::TimerActive() const { return timer_->isActive(); }

void PlaybackBar::SetButtonText(const QString& text) { button_->setText(text); }

void PlaybackBar::SetButtonToolTip(const QString& text) { button_->setToolTip(text); }

void PlaybackBar::SetButtonIcon(PlaybackIcon icon) {
  QStyle::StandardPixmap pixmap = QStyle::SP_MediaPlay;
  if (icon == PlaybackIcon::Stop) pixmap = QStyle::SP_MediaStop;
  if (icon == PlaybackIcon::Folder) pixmap = QStyle::SP_DirOpenIcon;
  button_->setIcon(style()->standardIcon(pixmap));
}

void PlaybackBar::SetSliderValue(int value) {
  // Leave the thumb to the user while they drag it; their release decides.
  if (slider_->isSliderDown()) return;
  const QSignalBlocker blocker(slider_);
  slider_->setValue(value);
}

void PlaybackBar::SetSliderVisible(bool visible) { slider_->setVisible(visible); }

void PlaybackBar::SetPositionText(const QString& text) { position_->setText(text); }

void PlaybackBar::StartTimer(int intervalMs) { timer_->start(intervalMs); }

void PlaybackBar::StopTimer() { timer_->stop(); }

}  // namespace corvane
