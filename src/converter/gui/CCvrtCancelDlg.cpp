#include "converter/gui/CCvrtCancelDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/StringTable.h"
#include "common/strings/ConverterText.h"
#include "ui/DialogSizing.h"

namespace corvane {

CCvrtCancelDlg::CCvrtCancelDlg(const QString& question, QWidget* parent) : QDialog(parent) {
  setWindowTitle(StringTable::Text(text::kStopCaption));
  auto* layout = new QVBoxLayout(this);
  auto* message = new QLabel(question, this);
  message->setObjectName(QStringLiteral("message"));
  layout->addWidget(message);
  auto* buttons = new QHBoxLayout;
  const std::pair<int, StopAnswer> choices[] = {{text::kStopYes, StopAnswer::StopThis},
                                                {text::kStopNo, StopAnswer::Continue},
                                                {text::kStopAll, StopAnswer::StopAll}};
  for (const auto& [label, answer] : choices) {
    auto* button = new QPushButton(StringTable::Text(label), this);
    button->setObjectName(QStringLiteral("button%1").arg(static_cast<int>(answer)));
    if (answer == StopAnswer::Continue) button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this, answer = answer] {
      answer_ = answer;
      accept();
    });
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  SizeDialogToContent(*this, 40);
}

}  // namespace corvane
