#include "converter/gui/SourceFileDialog.h"

#include <QFileDialog>

#include "converter/SourceFileFilters.h"

namespace corvane {

QStringList SourceFileDialog::NameFilters() {
  QStringList filters;
  for (const SourceFileFilter& filter : SourceFileFilters()) {
    QStringList patterns;
    for (const QString& pattern : filter.patterns) {
      patterns << pattern;
      if (pattern.toUpper() != pattern) patterns << pattern.toUpper();
    }
    // The dialog hides the last bracketed part, which leaves the description as written.
    filters << filter.description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

QStringList SourceFileDialog::Choose(const SettingsStore& settings, QWidget* parent) {
  QFileDialog dialog(parent, AddFilesDialogTitle(), AddFilesStartFolder(settings));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilters(NameFilters());
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

}  // namespace corvane
