#include "app/gui/CAboutPage.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <algorithm>

#include "app/HelpManual.h"
#include "app/SettingsSummary.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ShellText.h"
#include "ui/AppIcons.h"
#include "ui/ApplicationIcon.h"

namespace corvane {
namespace {

QPlainTextEdit* MakeSummaryField(QWidget* parent) {
  auto* field = new QPlainTextEdit(parent);
  field->setReadOnly(true);
  field->setLineWrapMode(QPlainTextEdit::NoWrap);
  field->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  return field;
}

// Makes the field at least as wide and as tall as its text, so that a summary never needs a
// scroll bar.
void FitToText(QPlainTextEdit& field) {
  const QFontMetrics metrics(field.font());
  const QStringList lines = field.toPlainText().split(QLatin1Char('\n'));
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  const int frame = 2 * field.frameWidth();
  const int margins = 2 * static_cast<int>(field.document()->documentMargin()) + metrics.averageCharWidth();
  field.setMinimumWidth(widest + frame + margins);
  field.setMinimumHeight(static_cast<int>(lines.size()) * metrics.lineSpacing() + frame + margins);
}

constexpr int kLogoSide = 64;

int IndexOf(CAboutPage::SettingsDialog dialog) { return static_cast<int>(dialog); }

}  // namespace

CAboutPage::CAboutPage(IUserInterface& ui, const SettingsStore& settings, QWidget* parent)
    : PageWidget(parent), ui_(ui), settings_(settings), program_folder_(QCoreApplication::applicationDirPath()) {
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

  settings_button_ = new QPushButton(LoadAppIcon(AppIcon::Settings), StringTable::Text(text::kSettingsMenu), this);
  settings_button_->setObjectName(QStringLiteral("settingsButton"));
  settings_button_->setToolTip(StringTable::Text(text::kSettingsTooltip));
  auto* menu = new QMenu(settings_button_);
  actions_[0] =
      menu->addAction(LoadAppIcon(AppIcon::ConverterSettings), StringTable::Text(text::kConverterSettingsItem));
  actions_[1] = menu->addAction(LoadAppIcon(AppIcon::RipperSettings), StringTable::Text(text::kRipperSettingsItem));
  menu->addSeparator();
  actions_[2] = menu->addAction(LoadAppIcon(AppIcon::FreedbSettings), StringTable::Text(text::kFreedbSettingsItem));
  for (int i = 0; i < 3; ++i) {
    actions_[i]->setEnabled(false);
    const auto dialog = static_cast<SettingsDialog>(i);
    connect(actions_[i], &QAction::triggered, this, [this, dialog] { RunDialog(dialog); });
  }
  settings_button_->setMenu(menu);

  auto* help = new QPushButton(LoadAppIcon(AppIcon::Help), StringTable::Text(text::kHelpButton), this);
  help->setObjectName(QStringLiteral("helpButton"));
  help->setToolTip(StringTable::Text(text::kHelpTooltip));
  connect(help, &QPushButton::clicked, this, &CAboutPage::OpenHelp);

  converter_summary_ = MakeSummaryField(this);
  converter_summary_->setObjectName(QStringLiteral("converterSummary"));
  ripper_summary_ = MakeSummaryField(this);
  ripper_summary_->setObjectName(QStringLiteral("ripperSummary"));

  auto* logo = new QLabel(this);
  logo->setObjectName(QStringLiteral("productIcon"));
  logo->setPixmap(ApplicationIcon().pixmap(kLogoSide, kLogoSide));
  auto* heading = new QHBoxLayout;
  auto* names = new QVBoxLayout;
  names->addWidget(product);
  names->addWidget(version);
  heading->addWidget(logo);
  heading->addLayout(names, 1);
  layout->addLayout(heading, 0, 0, 2, 2);
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
  converter_summary_->setPlainText(BuildConverterSummary(settings_));
  ripper_summary_->setPlainText(BuildRipperSummary(settings_));
  FitToText(*converter_summary_);
  FitToText(*ripper_summary_);
}

void CAboutPage::OpenHelp() { OpenHelpManual(ui_, program_folder_); }

void CAboutPage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    OpenHelp();
    event->accept();
    return;
  }
  PageWidget::keyPressEvent(event);
}

}  // namespace corvane
