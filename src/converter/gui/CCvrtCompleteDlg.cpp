#include "converter/gui/CCvrtCompleteDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/ConverterText.h"
#include "ui/DialogSizing.h"

namespace corvane {
namespace {

constexpr int kMostSummaryLines = 12;

// A warning icon with "n files failed" in bold: what a user must read before the heading.
QLayout* MakeFailureLine(int failedCount, QWidget* parent) {
  auto* line = new QHBoxLayout;
  auto* icon = new QLabel(parent);
  icon->setObjectName(QStringLiteral("failureIcon"));
  const int side = parent->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, parent);
  icon->setPixmap(parent->style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, parent).pixmap(side, side));
  auto* count = new QLabel(failedCount == 1 ? StringTable::Text(text::kOneFailedCount)
                                            : StringTable::Format(text::kFailedCount, {failedCount}),
                           parent);
  count->setObjectName(QStringLiteral("failedCount"));
  QFont bold = count->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  count->setFont(bold);
  line->addWidget(icon);
  line->addWidget(count, 1);
  return line;
}

}  // namespace

CCvrtCompleteDlg::CCvrtCompleteDlg(const QString& heading, const QString& summary, int failedCount,
                                   bool allowOpenFolder, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(StringTable::Text(text::kCompletedCaption));
  auto* layout = new QVBoxLayout(this);
  if (failedCount > 0) layout->addLayout(MakeFailureLine(failedCount, this));
  auto* headingLabel = new QLabel(heading, this);
  headingLabel->setObjectName(QStringLiteral("heading"));
  layout->addWidget(headingLabel);
  auto* text = new QPlainTextEdit(summary, this);
  text->setObjectName(QStringLiteral("summary"));
  text->setReadOnly(true);
  // Long output folders wrap instead of hiding behind a scroll bar.
  text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout->addWidget(text, 1);
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
  // Room for the summary's lines (a few long ones wrap) up to a dozen, then it scrolls.
  const QFontMetrics metrics(text->font());
  const int lines = std::min(static_cast<int>(summary.count(QLatin1Char('\n'))) + 3, kMostSummaryLines);
  text->setMinimumHeight(lines * metrics.lineSpacing() + 2 * text->frameWidth());
  SizeDialogToContent(*this, 80);
}

CompletionReply CCvrtCompleteDlg::Reply() const { return {open_folder_, dont_show_->isChecked()}; }

}  // namespace corvane
