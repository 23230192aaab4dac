#include "app/gui/CAboutPage.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>

#include "app/SettingsSummary.h"
#include "app/ShellText.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"

namespace corvane {
namespace {

QPlainTextEdit* MakeSummaryField(QWidget* parent) {
  auto* field = new QPlainTextEdit(parent);
  field->setReadOnly(true);
  field->setLineWrapMode(QPlainTextEdit::NoWrap);
  return field;
}

int IndexOf(CAboutPage::SettingsDialog dialog) { return static_cast<int>(dialog); }

}  // namespace

CAboutPage::CAboutPage(IUserInterface& ui, QWidget* parent) : PageWidget(parent), ui_(ui) {
  setObjectName(QStringLiteral("aboutPage"));
  auto* layout = new QGridLayout(this);

  auto* product = new QLabel(StringTable::Text(text::kProductName), this);
  product->setObjectName(QStringLiteral("productLabel"));
  QFont big = product->font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  product->setFont(big);
  auto* version = new QLabel(StringTable::Text(text::kVersionLabel), this);
  version->setObjectName(QStringLiteral("versionLabel"));

  settings_button_ = new QPushButton(StringTable::Text(text::kSettingsMenu), this);
  settings_button_->setObjectName(QStringLiteral("settingsButton"));
  settings_button_->setToolTip(StringTable::Text(text::kSettingsTooltip));
  auto* menu = new QMenu(settings_button_);
  actions_[0] = menu->addAction(StringTable::Text(text::kConverterSettingsItem));
  actions_[1] = menu->addAction(StringTable::Text(text::kRipperSettingsItem));
  menu->addSeparator();
  actions_[2] = menu->addAction(StringTable::Text(text::kFreedbSettingsItem));
  for (int i = 0; i < 3; ++i) {
    actions_[i]->setEnabled(false);
    const auto dialog = static_cast<SettingsDialog>(i);
    connect(actions_[i], &QAction::triggered, this, [this, dialog] { RunDialog(dialog); });
  }
  settings_button_->setMenu(menu);

  auto* help = new QPushButton(StringTable::Text(text::kHelpButton), this);
  help->setObjectName(QStringLiteral("helpButton"));
  help->setToolTip(StringTable::Text(text::kHelpTooltip));
  connect(help, &QPushButton::clicked, this, &CAboutPage::OpenHelp);

  converter_summary_ = MakeSummaryField(this);
  converter_summary_->setObjectName(QStringLiteral("converterSummary"));
  ripper_summary_ = MakeSummaryField(this);
  ripper_summary_->setObjectName(QStringLiteral("ripperSummary"));

  layout->addWidget(product, 0, 0, 1, 2);
  layout->addWidget(version, 1, 0, 1, 2);
  layout->addWidget(settings_button_, 2, 0);
  layout->addWidget(help, 2, 1);
  layout->addWidget(new QLabel(StringTable::Text(text::kConverterSummaryCaption), this), 3, 0, 1, 2);
  layout->addWidget(converter_summary_, 4, 0, 1, 2);
  layout->addWidget(new QLabel(StringTable::Text(text::kRipperSummaryCaption), this), 5, 0, 1, 2);
  layout->addWidget(ripper_summary_, 6, 0, 1, 2);
  RebuildSummaries();
}

void CAboutPage::SetDialogOpener(SettingsDialog dialog, DialogOpener opener) {
  const int index = IndexOf(dialog);
  openers_[index] = std::move(opener);
  actions_[index]->setEnabled(static_cast<bool>(openers_[index]));
}

QAction* CAboutPage::MenuAction(SettingsDialog dialog) const { return actions_[IndexOf(dialog)]; }

void CAboutPage::RunDialog(SettingsDialog dialog) {
  const DialogOpener& opener = openers_[IndexOf(dialog)];
  if (opener && opener(this)) RebuildSummaries();
}

void CAboutPage::RebuildSummaries() {
  converter_summary_->setPlainText(BuildConverterSummary());
  ripper_summary_->setPlainText(BuildRipperSummary());
}

void CAboutPage::OpenHelp() {
  // The manual is bundled in the program; a browser needs it as a file.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/manual");
  QDir().mkpath(folder);
  const QString target = folder + QStringLiteral("/index.html");
  QFile::remove(target);
  if (QFile::copy(QStringLiteral(":/manual/index.html"), target)) {
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    ui_.OpenWithDesktop(target);
  }
}

void CAboutPage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    OpenHelp();
    event->accept();
    return;
  }
  PageWidget::keyPressEvent(event);
}

}  // namespace corvane
