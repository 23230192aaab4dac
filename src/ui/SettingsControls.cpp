#include "ui/SettingsControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <vector>

#include "common/StringTable.h"
#include "common/strings/FormatText.h"

namespace corvane {
namespace {

QButtonGroup* AddRadioList(QWidget* owner, QVBoxLayout* layout, const std::vector<int>& labels, int checked) {
  auto* group = new QButtonGroup(owner);
  for (int id = 0; id < static_cast<int>(labels.size()); ++id) {
    auto* radio = new QRadioButton(StringTable::Text(labels[static_cast<std::size_t>(id)]), owner);
    group->addButton(radio, id);
    radio->setChecked(id == checked);
    layout->addWidget(radio);
  }
  return group;
}

}  // namespace

QButtonGroup* AddRadios(QWidget* owner, QVBoxLayout* layout, std::initializer_list<int> labels, int checked) {
  return AddRadioList(owner, layout, std::vector<int>(labels), checked);
}

QButtonGroup* AddRadios(QWidget* owner, QVBoxLayout* layout, int firstLabel, int count, int checked) {
  std::vector<int> labels;
  for (int i = 0; i < count; ++i) labels.push_back(firstLabel + i);
  return AddRadioList(owner, layout, labels, checked);
}

QCheckBox* AddBox(QWidget* owner, QVBoxLayout* layout, int label, bool checked) {
  auto* box = new QCheckBox(StringTable::Text(label), owner);
  box->setChecked(checked);
  layout->addWidget(box);
  return box;
}

QComboBox* AddChoiceRow(QWidget* owner, QVBoxLayout* layout, int label, int firstEntry, int count, int current) {
  auto* row = new QHBoxLayout;
  auto* box = new QComboBox(owner);
  for (int i = 0; i < count; ++i) box->addItem(StringTable::Text(firstEntry + i));
  box->setCurrentIndex(current >= 0 && current < count ? current : 0);
  auto* caption = new QLabel(StringTable::Text(label), owner);
  caption->setBuddy(box);
  row->addWidget(caption);
  row->addWidget(box, 1);
  layout->addLayout(row);
  return box;
}

void LoudnessFields::SetEnabled(bool enabled) const {
  target->setEnabled(enabled);
  ceiling->setEnabled(enabled);
}

LoudnessFields AddLoudnessFields(QWidget* owner, QVBoxLayout* layout, double lufs, double ceiling) {
  const auto field = [owner](double low, double high, double value, const char* suffix) {
    auto* spin = new QDoubleSpinBox(owner);
    spin->setRange(low, high);
    spin->setDecimals(1);
    spin->setSingleStep(0.5);
    spin->setValue(value);
    spin->setSuffix(QLatin1String(suffix));
    return spin;
  };
  const LoudnessFields fields{field(-70.0, 0.0, lufs, " LUFS"), field(-20.0, 0.0, ceiling, " dBTP")};
  auto* row = new QHBoxLayout;
  auto* targetLabel = new QLabel(StringTable::Text(text::kLoudnessTargetLabel), owner);
  targetLabel->setBuddy(fields.target);
  auto* ceilingLabel = new QLabel(StringTable::Text(text::kTruePeakCeilingLabel), owner);
  ceilingLabel->setBuddy(fields.ceiling);
  row->addWidget(targetLabel);
  row->addWidget(fields.target);
  row->addWidget(ceilingLabel);
  row->addWidget(fields.ceiling);
  row->addStretch(1);
  layout->addLayout(row);
  return fields;
}

}  // namespace corvane
