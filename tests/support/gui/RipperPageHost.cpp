#include "support/gui/RipperPageHost.h"

#include <QVBoxLayout>
#include <QtTest>

#include "ripper/RipperController.h"
#include "ripper/gui/CRipperPage.h"

namespace corvane::test {
namespace {

constexpr int kAnswerIntervalMs = 50;
constexpr int kStartUpWaitMs = 20000;

}  // namespace

RipperPageHost::RipperPageHost(const QString& folder, std::function<void(QDialog&)> answer)
    : settings_(std::make_unique<MemorySettings>(folder)),
      presets_(std::make_unique<COutputQualityMgmt>(*settings_)),
      ui_(std::make_unique<QtUserInterface>()),
      window_(std::make_unique<QDialog>()) {
  ui_->SetStatusSink([this](int pane, const QString& text) {
    if (pane == 1) statuses_ << text;
  });
  answerer_ = std::make_unique<DialogAnswerer>(
      [this, answer = std::move(answer)](QDialog& dialog) {
        if (&dialog != window_.get()) answer(dialog);
      },
      kAnswerIntervalMs);
}

RipperPageHost::~RipperPageHost() {
  // The page goes first: it reports to the user interface while it stops.
  window_.reset();
  answerer_.reset();
}

CRipperPage* RipperPageHost::Show() {
  RipperPageContext context;
  context.ui = ui_.get();
  context.settings = settings_.get();
  context.presets = presets_.get();
  ui_->SetParentWindow(window_.get());
  auto* page = new CRipperPage(context, window_.get());
  (new QVBoxLayout(window_.get()))->addWidget(page);
  window_->resize(1000, 760);
  window_->show();
  if (!QTest::qWaitFor([page] { return !page->Controller().TipsPending(); }, kStartUpWaitMs)) return nullptr;
  window_->activateWindow();
  return QTest::qWaitForWindowActive(window_.get()) ? page : nullptr;
}

}  // namespace corvane::test
