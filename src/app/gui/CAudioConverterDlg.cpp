#include "app/gui/CAudioConverterDlg.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/CAudioConverterApp.h"
#include "app/gui/CAboutPage.h"
#include "app/gui/QtUserInterface.h"
#include "common/StringTable.h"
#include "common/strings/ShellText.h"
#include "components/IFreedbClient.h"
#include "converter/ConversionList.h"
#include "converter/gui/CConvertPage.h"
#include "converter/gui/CCvrtSettingDlg.h"
#include "ripper/gui/CFreeDBSettings.h"
#include "ripper/gui/CRipSettings.h"
#include "ripper/gui/CRipperPage.h"
#include "ui/AppIcons.h"
#include "ui/ApplicationIcon.h"
#include "ui/DialogSizing.h"

namespace corvane {
namespace {

constexpr int kCompanyPaneWidth = 120;
constexpr int kPageButtonHeight = 34;
constexpr int kButtonRowMargin = 6;
// The pages in the order of their buttons.
constexpr Page kPages[3] = {Page::Convert, Page::Ripper, Page::About};
// The size a first start opens at, where the screen has room for it.
constexpr QSize kPreferredSize(1040, 780);
// Room left around the window on a screen smaller than that, for the window frame.
constexpr int kFrameAllowance = 48;

bool OnSomeScreen(const QRect& frame) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(frame)) return true;
  }
  return false;
}

// The part of the screen a window at `position` may take, less room for its frame.
QSize RoomOnScreen(const QPoint& position) {
  const QScreen* screen = QGuiApplication::screenAt(position);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return kPreferredSize;
  const QSize available = screen->availableGeometry().size();
  return {available.width() - kFrameAllowance / 2, available.height() - kFrameAllowance};
}

}  // namespace

CAudioConverterDlg::CAudioConverterDlg(CAudioConverterApp& app, QtUserInterface& ui, QWidget* parent)
    : QDialog(parent), app_(app), ui_(ui), logic_(*this, app.Settings()) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(StringTable::Format(
      text::kTitleFormat, {StringTable::Text(text::kProductName), StringTable::Text(text::kProductVersion)}));
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  setSizeGripEnabled(false);
  BuildLayout();
  ui_.SetParentWindow(this);
  ui_.SetStatusSink([this](int pane, const QString& text) { SetStatusText(pane, text); });
  // Each page has its own bar; a rip's progress goes to the ripper's.
  ui_.SetProgressSink([this](int percent) {
    if (ripper_page_->JobRunning())
      ripper_page_->SetProgress(percent);
    else
      convert_page_->SetProgress(percent);
  });
  // Files handed over on the command line were added before the status bar could show where
  // they would go. Without rows the update would only blank the page's "Audio Information - "
  // line, which reads so until the first selection.
  if (convert_page_->List().Count() > 0) convert_page_->RunSelectionUpdate();

  setWindowIcon(ApplicationIcon());
  // The layout sets the smallest size that still shows every control; the window opens larger
  // where the screen allows.
  resize(kPreferredSize.boundedTo(RoomOnScreen(pos())).expandedTo(minimumSizeHint()));
  RestorePlacement();
  logic_.ChooseFirstPage(app_.Launch().source);
}

CAudioConverterDlg::~CAudioConverterDlg() {
  ui_.SetStatusSink({});
  ui_.SetProgressSink({});
  ui_.SetParentWindow(nullptr);
}

void CAudioConverterDlg::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  auto* menuBar = new QMenuBar(this);
  QMenu* help = menuBar->addMenu(StringTable::Text(text::kHelpMenu));
  QAction* about = help->addAction(StringTable::Text(text::kAboutMenuItem));
  connect(about, &QAction::triggered, this, &CAudioConverterDlg::ShowAboutDialog);
  layout->setMenuBar(menuBar);

  auto* group = new QGroupBox(this);
  auto* row = new QHBoxLayout(group);
  row->setContentsMargins(kButtonRowMargin, kButtonRowMargin, kButtonRowMargin, kButtonRowMargin);
  const int titles[3] = {text::kPageConvert, text::kPageRipper, text::kPageAbout};
  const QString tips[3] = {StringTable::Text(text::kConvertTooltip), StringTable::Text(text::kRipTooltip),
                           StringTable::Format(text::kAboutProduct, {StringTable::Text(text::kProductName)})};
  const QIcon icons[3] = {LoadAppIcon(AppIcon::ConvertPage), LoadAppIcon(AppIcon::RipperPage),
                          LoadAppIcon(AppIcon::AboutPage)};
  for (int i = 0; i < 3; ++i) {
    buttons_[i] = new QPushButton(icons[i], StringTable::Text(titles[i]), group);
    buttons_[i]->setIconSize(QSize(24, 24));
    buttons_[i]->setCheckable(true);
    buttons_[i]->setMinimumHeight(kPageButtonHeight);
    buttons_[i]->setToolTip(tips[i]);
    buttons_[i]->setObjectName(QStringLiteral("pageButton%1").arg(i + 1));
    row->addWidget(buttons_[i]);
    connect(buttons_[i], &QPushButton::clicked, this, [this, i] { logic_.SwitchPage(kPages[i]); });
  }
  // The buttons keep their height; the page area below takes the rest, shown page or none.
  group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  layout->addWidget(group);
  auto* pageArea = new QWidget(this);
  pageArea->setObjectName(QStringLiteral("pageArea"));
  auto* pages = new QVBoxLayout(pageArea);
  pages->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pageArea, 1);

  ConverterPageContext context;
  context.engine = &app_.Engine();
  context.presets = &app_.Presets();
  context.ui = &ui_;
  context.settings = &app_.Settings();
  context.program_folder = app_.ProgramFolder();
  context.launch_mode = app_.Launch().mode;
  context.launch_source = app_.Launch().source;
  convert_page_ = new CConvertPage(context, pageArea);
  RipperPageContext ripperContext;
  ripperContext.engine = &app_.Engine();
  ripperContext.ui = &ui_;
  ripperContext.settings = &app_.Settings();
  ripperContext.presets = &app_.Presets();
  ripper_page_ = new CRipperPage(ripperContext, pageArea);
  convert_page_->SetOtherPageRebuild([this] { ripper_page_->ReloadQualityList(); });
  ripper_page_->SetOtherPageRebuild([this] { convert_page_->ReloadQualityList(); });
  about_page_ = new CAboutPage(ui_, app_.Settings(), pageArea);
  WireSettingsDialogs(*about_page_, app_.Settings());
  for (PageWidget* page : {static_cast<PageWidget*>(convert_page_), static_cast<PageWidget*>(ripper_page_),
                           static_cast<PageWidget*>(about_page_)}) {
    page->hide();
    pages->addWidget(page);
    connect(page, &PageWidget::cycleRequested, this, [this] { logic_.CyclePage(); });
  }

  status_bar_ = new QStatusBar(this);
  status_bar_->setSizeGripEnabled(false);
  status_panes_[0] = new QLabel(StringTable::Text(text::kStatusCompany), status_bar_);
  status_panes_[0]->setFixedWidth(kCompanyPaneWidth);
  status_panes_[1] = new QLabel(StringTable::Text(text::kStatusOutput), status_bar_);
  status_bar_->addWidget(status_panes_[0]);
  status_bar_->addWidget(status_panes_[1], 1);
  layout->addWidget(status_bar_);
}

void CAudioConverterDlg::WireSettingsDialogs(CAboutPage& page, SettingsStore& settings) {
  page.SetDialogOpener(CAboutPage::SettingsDialog::Converter, [&settings](QWidget* parent) {
    CCvrtSettingDlg dialog(settings, parent);
    return dialog.exec() == QDialog::Accepted;
  });
  page.SetDialogOpener(CAboutPage::SettingsDialog::Ripper, [this, &settings](QWidget* parent) {
    CRipSettings dialog(ui_, settings, parent, ripper_page_->CurrentDriveIdentifier());
    return dialog.exec() == QDialog::Accepted;
  });
  page.SetDialogOpener(CAboutPage::SettingsDialog::Freedb, [this, &settings](QWidget* parent) {
    // The ripper page's client once its drives are set up; until then one of the dialog's own.
    std::unique_ptr<IFreedbClient> own;
    IFreedbClient* client = ripper_page_->FreedbClient();
    if (client == nullptr) {
      own = CreateFreedbClient();
      client = own.get();
    }
    CFreeDBSettings dialog(settings, *client, parent);
    return dialog.exec() == QDialog::Accepted;
  });
}

void CAudioConverterDlg::RestorePlacement() {
  const std::optional<QRect> stored = logic_.StoredPlacement();
  // A placement off every screen (a monitor since removed) would leave the window unreachable.
  if (!stored || !OnSomeScreen(*stored)) return;
  // The same rectangle SavePlacement was given: the frame's position (what move() takes) and the
  // client size (what resize() takes), so that an unchanged window opens again exactly as it was.
  move(stored->topLeft());
  resize(stored->size().expandedTo(minimumSizeHint()));
}

QRect CAudioConverterDlg::Placement() const { return {pos(), size()}; }

void CAudioConverterDlg::ShowPage(Page page) {
  PageWidget* pages[3] = {convert_page_, ripper_page_, about_page_};
  PageWidget* shown = nullptr;
  for (int i = 0; i < 3; ++i) {
    if (kPages[i] == page) {
      shown = pages[i];
    } else {
      pages[i]->hide();
    }
  }
  if (shown == nullptr) return;
  shown->show();
  shown->setFocus();
}

void CAudioConverterDlg::SetButtonStates(const std::array<int, 3>& states) {
  for (int i = 0; i < 3; ++i) buttons_[i]->setChecked(states[i] == 1);
}

Page CAudioConverterDlg::VisiblePage() const {
  if (!convert_page_->isHidden()) return Page::Convert;
  if (!ripper_page_->isHidden()) return Page::Ripper;
  if (!about_page_->isHidden()) return Page::About;
  return Page::None;
}

void CAudioConverterDlg::SetStatusText(int pane, const QString& text) {
  if (pane >= 0 && pane < 2) status_panes_[pane]->setText(text);
}

QString CAudioConverterDlg::StatusText(int pane) const {
  return pane >= 0 && pane < 2 ? status_panes_[pane]->text() : QString();
}

void CAudioConverterDlg::ShowAboutDialog() {
  QDialog dialog(this);
  dialog.setObjectName(QStringLiteral("aboutDialog"));
  dialog.setWindowTitle(StringTable::Format(text::kAboutProduct, {StringTable::Text(text::kProductName)}));
  auto* layout = new QVBoxLayout(&dialog);
  auto* page = new CAboutPage(ui_, app_.Settings(), &dialog);
  // In a dialog of its own, Esc closes it as it closes any dialog.
  page->SetSwallowsEscape(false);
  WireSettingsDialogs(*page, app_.Settings());
  layout->addWidget(page);
  SizeDialogToContent(dialog, 0);
  dialog.exec();
}

void CAudioConverterDlg::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  logic_.OnPaint();
}

void CAudioConverterDlg::closeEvent(QCloseEvent* event) {
  if (logic_.RequestClose(Placement(), convert_page_->JobRunning(), ripper_page_->JobRunning(), ui_)) {
    event->accept();
    QDialog::closeEvent(event);
  } else {
    event->ignore();
  }
}

void CAudioConverterDlg::keyPressEvent(QKeyEvent* event) {
  // Esc never closes the window, F9 cycles the pages and F1 opens the manual, whichever control
  // has the focus.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_F9) {
    logic_.CyclePage();
    event->accept();
    return;
  }
  // Help is a key away on every page, not only on the one with the help button.
  if (event->key() == Qt::Key_F1) {
    about_page_->OpenHelp();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace corvane
