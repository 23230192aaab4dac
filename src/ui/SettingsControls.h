#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QVBoxLayout>
#include <initializer_list>

namespace corvane {

// Builders for the controls of the settings dialogs, labelled from the string table.

// One radio button per label, ids 0, 1, ... in order, the one with id `checked` selected.
QButtonGroup* AddRadios(QWidget* owner, QVBoxLayout* layout, std::initializer_list<int> labels, int checked);
// The same for `count` labels numbered from `firstLabel` on.
QButtonGroup* AddRadios(QWidget* owner, QVBoxLayout* layout, int firstLabel, int count, int checked);
QCheckBox* AddBox(QWidget* owner, QVBoxLayout* layout, int label, bool checked);
// A row of `label` and a drop-down list of `count` entries numbered from `firstEntry` on, entry
// `current` shown (the first when out of range).
// The two fields of loudness normalisation in a row: the target in LUFS (-70 to 0) and the
// true-peak ceiling in dBTP (-20 to 0).
struct LoudnessFields {
  QDoubleSpinBox* target = nullptr;
  QDoubleSpinBox* ceiling = nullptr;
  void SetEnabled(bool enabled) const;
};
LoudnessFields AddLoudnessFields(QWidget* owner, QVBoxLayout* layout, double lufs, double ceiling);
QComboBox* AddChoiceRow(QWidget* owner, QVBoxLayout* layout, int label, int firstEntry, int count, int current);

}  // namespace corvane
