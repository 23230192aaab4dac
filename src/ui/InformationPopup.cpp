#include "ui/InformationPopup.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "ui/DialogSizing.h"

namespace corvane {
namespace {
constexpr int kIconSize = 32;
constexpr int kTextWidth = 380;
}  // namespace

InformationPopup::InformationPopup(const QString& caption, const QString& text, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("informationPopup"));
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
  icon->setAlignment(Qt::AlignTop);
  auto* message = new QLabel(text, this);
  message->setObjectName(QStringLiteral("popupText"));
  message->setWordWrap(true);
  message->setMinimumWidth(kTextWidth);
  row->addWidget(icon);
  row->addWidget(message, 1);
  layout->addLayout(row);
  dont_show_ = new QCheckBox(StringTable::Text(text::kPopupDontShowAgain), this);
  dont_show_->setObjectName(QStringLiteral("dontShowAgain"));
  layout->addWidget(dont_show_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(StringTable::Text(text::kPopupOk), QDialogButtonBox::AcceptRole);
  buttons->addButton(StringTable::Text(text::kPopupCancel), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  SizeDialogToContent(*this, 0);
}

bool InformationPopup::DontShowAgain() const { return dont_show_->isChecked(); }

bool InformationPopup::Show(const QString& caption, const QString& text, QWidget* parent) {
  InformationPopup popup(caption, text, parent);
  popup.exec();
  return popup.DontShowAgain();
}

}  // namespace corvane
