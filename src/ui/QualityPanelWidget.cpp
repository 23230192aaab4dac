#include "ui/QualityPanelWidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <functional>

#include "common/StringTable.h"
#include "common/strings/FormatText.h"
#include "formats/QualityPanel.h"
#include "presets/PresetCommands.h"

namespace corvane {
namespace {

QString Text(int id) { return StringTable::Text(id); }

}  // namespace

QualityPanelWidget::QualityPanelWidget(QualityPanel& panel, PresetCommands& commands, QWidget* parent)
    : QGroupBox(parent), panel_(panel), commands_(commands) {
  setTitle(Text(panel.Page() == PanelPage::Converter ? text::kConvertPanelTitle : text::kRipPanelTitle));
  BuildLayout();
  Connect();
  panel_.SetChangedCallback([this] { Render(); });
  Render();
}

QualityPanelWidget::~QualityPanelWidget() { panel_.SetChangedCallback({}); }

QComboBox* QualityPanelWidget::NewCombo(const char* name) {
  auto* combo = new QComboBox(this);
  combo->setObjectName(QString::fromLatin1(name));
  return combo;
}

void QualityPanelWidget::BuildLayout() {
  presets_ = new QListWidget(this);
  presets_->setObjectName(QStringLiteral("presetList"));
  // The list takes the height of the controls beside it rather than asking for more, so that a
  // page gives its spare height to what grows with use.
  presets_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  format_ = NewCombo("formatBox");
  sample_rate_ = NewCombo("sampleRateBox");
  bitrate_ = NewCombo("bitrateBox");
  mp3_vbr_ = NewCombo("mp3VbrBox");
  wav_codec_ = NewCombo("wavCodecBox");
  musepack_ = NewCombo("musepackBox");
  wma_ = NewCombo("wmaBox");
  quality_label_ = new QLabel(this);
  quality_label_->setObjectName(QStringLiteral("qualityLabel"));

  stereo_ = new QRadioButton(Text(text::kStereo), this);
  mono_ = new QRadioButton(Text(text::kMono), this);
  bits8_ = new QRadioButton(Text(text::kRadio8Bits), this);
  bits16_ = new QRadioButton(Text(text::kRadio16Bits), this);
  stereo_->setObjectName(QStringLiteral("stereoRadio"));
  mono_->setObjectName(QStringLiteral("monoRadio"));
  bits8_->setObjectName(QStringLiteral("bits8Radio"));
  bits16_->setObjectName(QStringLiteral("bits16Radio"));
  channel_group_ = new QButtonGroup(this);
  channel_group_->addButton(stereo_, static_cast<int>(ChannelRadio::Stereo));
  channel_group_->addButton(mono_, static_cast<int>(ChannelRadio::Mono));
  bits_group_ = new QButtonGroup(this);
  bits_group_->addButton(bits8_, static_cast<int>(BitsRadio::Bits8));
  bits_group_->addButton(bits16_, static_cast<int>(BitsRadio::Bits16));
  vbr_ = new QCheckBox(Text(text::kCheckEnableVbr), this);
  vbr_->setObjectName(QStringLiteral("vbrCheck"));
  keep_tags_ = new QCheckBox(Text(text::kCheckKeepTags), this);
  keep_tags_->setObjectName(QStringLiteral("keepTagsCheck"));
  management_ = new QPushButton(Text(text::kButtonQualityMgmt), this);
  management_->setObjectName(QStringLiteral("qualityMgmtButton"));
  ArrangeControls();
  BuildMenu();
}

void QualityPanelWidget::ArrangeControls() {
  auto* grid = new QGridLayout(this);
  grid->addWidget(presets_, 0, 0, 6, 1);
  int row = 0;
  auto addRow = [&](int label, QWidget* field, int unit) {
    grid->addWidget(new QLabel(Text(label), this), row, 1);
    grid->addWidget(field, row, 2);
    if (unit) grid->addWidget(new QLabel(Text(unit), this), row, 3);
    ++row;
  };
  addRow(text::kLabelFormat, format_, 0);
  addRow(text::kLabelSampleRate, sample_rate_, text::kUnitHz);
  addRow(text::kLabelBitrate, bitrate_, text::kUnitKbps);
  auto* slot = new QHBoxLayout;  // the "Quality:" slot: one of the four boxes shows at a time
  for (QComboBox* box : {mp3_vbr_, wav_codec_, musepack_, wma_}) slot->addWidget(box);
  grid->addWidget(quality_label_, row, 1);
  grid->addLayout(slot, row++, 2, 1, 2);
  auto* radios = new QHBoxLayout;
  for (QWidget* button : {static_cast<QWidget*>(stereo_), static_cast<QWidget*>(mono_), static_cast<QWidget*>(bits8_),
                          static_cast<QWidget*>(bits16_)})
    radios->addWidget(button);
  grid->addLayout(radios, row++, 1, 1, 3);
  auto* checks = new QHBoxLayout;
  checks->addWidget(vbr_);
  checks->addWidget(keep_tags_);
  checks->addWidget(management_);
  grid->addLayout(checks, row++, 1, 1, 3);
  if (panel_.State().normalize_available) {
    normalize_ = new QCheckBox(Text(text::kCheckNormalize), this);
    normalize_->setObjectName(QStringLiteral("normalizeCheck"));
    normalize_percent_ = new QSpinBox(this);
    normalize_percent_->setObjectName(QStringLiteral("normalizePercent"));
    normalize_percent_->setRange(0, 100);
    grid->addWidget(normalize_, row, 1, 1, 2);
    grid->addWidget(normalize_percent_, row, 3);
  }
}

void QualityPanelWidget::BuildMenu() {
  auto* menu = new QMenu(Text(text::kMenuQualityManagement), management_);
  menu->setObjectName(QStringLiteral("qualityMgmtMenu"));
  struct Command {
    int label;
    const char* name;
    std::function<void(PresetCommands&)> run;
  };
  const Command commands[] = {
      {text::kMenuSave, "saveAction", [](PresetCommands& c) { c.Save(); }},
      {text::kMenuSaveAs, "saveAsAction", [](PresetCommands& c) { c.SaveAs(); }},
      {text::kMenuRemove, "removeAction", [](PresetCommands& c) { c.Remove(); }},
      {text::kMenuResetAll, "resetAllAction", [](PresetCommands& c) { c.ResetAll(); }},
  };
  for (const Command& command : commands) {
    QAction* action = menu->addAction(Text(command.label));
    action->setObjectName(QString::fromLatin1(command.name));
    connect(action, &QAction::triggered, this, [this, run = command.run] {
      run(commands_);
      Render();
    });
  }
  management_->setMenu(menu);
}

void QualityPanelWidget::Connect() {
  // Every user action goes to the logic, then the whole panel is drawn again from its state.
  auto bindCombo = [this](QComboBox* combo, std::function<void(QualityPanel&, int)> handler) {
    connect(combo, &QComboBox::currentIndexChanged, this, [this, handler = std::move(handler)](int row) {
      handler(panel_, row);
      Render();
    });
  };
  bindCombo(format_, [](QualityPanel& panel, int row) { panel.SelectFormat(row); });
  bindCombo(sample_rate_, [](QualityPanel& panel, int row) { panel.SelectSampleRate(row); });
  bindCombo(bitrate_, [](QualityPanel& panel, int row) { panel.SelectBitrate(row); });
  bindCombo(mp3_vbr_, [](QualityPanel& panel, int row) { panel.SelectMp3VbrQuality(row); });
  bindCombo(wav_codec_, [](QualityPanel& panel, int row) { panel.SelectWavCodec(row); });
  bindCombo(musepack_, [](QualityPanel& panel, int row) { panel.SelectMusepackPreset(row); });
  bindCombo(wma_, [](QualityPanel& panel, int row) { panel.SelectWmaQuality(row); });
  connect(presets_, &QListWidget::currentRowChanged, this, [this](int row) {
    commands_.SelectPreset(row);
    Render();
  });
  connect(channel_group_, &QButtonGroup::idClicked, this, [this](int id) {
    panel_.SelectChannels(static_cast<ChannelRadio>(id));
    Render();
  });
  connect(bits_group_, &QButtonGroup::idClicked, this, [this](int id) {
    panel_.SelectBits(static_cast<BitsRadio>(id));
    Render();
  });
  connect(vbr_, &QCheckBox::clicked, this, [this] {
    panel_.ClickVbr();
    Render();
  });
  connect(keep_tags_, &QCheckBox::toggled, this, [this](bool on) { panel_.SetKeepTags(on); });
  if (normalize_) {
    connect(normalize_, &QCheckBox::toggled, this, [this](bool on) {
      panel_.SetNormalize(on);
      Render();
    });
    connect(normalize_percent_, &QSpinBox::valueChanged, this,
            [this](int value) { panel_.SetNormalizePercent(value); });
  }
}

void QualityPanelWidget::RenderCombo(QComboBox* combo, const ComboBoxState& state) {
  const QSignalBlocker blocker(combo);
  QStringList shown;
  for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
  if (shown != state.items) {
    combo->clear();
    combo->addItems(state.items);
  }
  combo->setCurrentIndex(state.HasValidSelection() ? state.selected : -1);
  combo->setEnabled(state.enabled);
  combo->setHidden(!state.visible);
}

void QualityPanelWidget::Render() {
  const QualityPanelState& s = panel_.State();
  {
    const QSignalBlocker blocker(presets_);
    QStringList shown;
    for (int i = 0; i < presets_->count(); ++i) shown << presets_->item(i)->text();
    if (shown != s.presets.items) {
      presets_->clear();
      presets_->addItems(s.presets.items);
    }
    presets_->setCurrentRow(s.presets.HasValidSelection() ? s.presets.selected : -1);
  }
  for (auto [combo, state] : {std::pair{format_, &s.format},
                              {sample_rate_, &s.sample_rate},
                              {bitrate_, &s.bitrate},
                              {mp3_vbr_, &s.mp3_vbr},
                              {wav_codec_, &s.wav_codec},
                              {musepack_, &s.musepack},
                              {wma_, &s.wma}}) {
    RenderCombo(combo, *state);
  }
  quality_label_->setText(s.quality_label);
  stereo_->setChecked(s.channels == ChannelRadio::Stereo);
  mono_->setChecked(s.channels == ChannelRadio::Mono);
  stereo_->setEnabled(s.channels_enabled);
  mono_->setEnabled(s.channels_enabled);
  bits8_->setChecked(s.bits == BitsRadio::Bits8);
  bits16_->setChecked(s.bits == BitsRadio::Bits16);
  bits8_->setEnabled(s.bits_enabled);
  bits16_->setEnabled(s.bits_enabled);
  const QSignalBlocker vbrBlocker(vbr_);
  vbr_->setChecked(s.vbr_checked);
  vbr_->setEnabled(s.vbr_enabled);
  const QSignalBlocker tagsBlocker(keep_tags_);
  keep_tags_->setChecked(s.keep_tags_checked);
  keep_tags_->setEnabled(s.keep_tags_enabled);
  if (normalize_) {
    const QSignalBlocker normalizeBlocker(normalize_);
    const QSignalBlocker percentBlocker(normalize_percent_);
    normalize_->setChecked(s.normalize_checked);
    normalize_percent_->setValue(s.normalize_percent);
    normalize_percent_->setEnabled(s.normalize_percent_enabled);
  }
}

}  // namespace corvane
