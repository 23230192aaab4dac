#include "converter/gui/CCvrtCompleteDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/StringTable.h"
#include "converter/ConverterText.h"

namespace corvane {

CCvrtCompleteDlg::CCvrtCompleteDlg(const QString& summary, bool allowOpenFolder, QWidget* parent) : QDialog(parent) {
  setWindowTitle(StringTable::Text(text::kCompletedCaption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(StringTable::Text(text::kCompletedHeading), this));
  auto* text = new QPlainTextEdit(summary, this);
  text->setObjectName(QStringLiteral("summary"));
  text->setReadOnly(true);
  layout->addWidget(text);
  dont_show_ = new QCheckBox(StringTable::Text(text::kDontShowAgain), this);
  layout->addWidget(dont_show_);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(StringTable::Text(text::kOkButton), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* open = new QPushButton(StringTable::Text(text::kOpenFolderButton), this);
  open->setObjectName(QStringLiteral("openFolder"));
  open->setEnabled(allowOpenFolder);
  connect(open, &QPushButton::clicked, this, [this] {
    open_folder_ = true;
    accept();
  });
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(open);
  layout->addLayout(buttons);
  resize(480, 300);
}

CompletionReply CCvrtCompleteDlg::Reply() const { return {open_folder_, dont_show_->isChecked()}; }

}  // namespace corvane
