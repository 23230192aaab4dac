#pragma once
// The user interface of the benchmarks: load errors are counted, not shown; questions get their
// quiet answers; progress windows take their texts but draw nothing.
#include <cstdio>

#include "common/UserInterface.h"

namespace corvane::bench {

class QuietProgress final : public IProgressWindow {
 public:
  void SetText(const QString& text) override { last_ = text; }
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  bool CancelRequested() const override { return false; }

 private:
  QString last_;
};

class CountingUserInterface final : public IUserInterface {
 public:
  int messages = 0;
  bool print_messages = false;  // also write each message to standard error
  MessageAnswer ShowMessage(const QString& text, MessageIcon, MessageButtons) override {
    ++messages;
    if (print_messages) std::fprintf(stderr, "%s\n", qPrintable(text));
    return MessageAnswer::Ok;
  }
  void SetStatusText(int, const QString&) override {}
  void SetJobProgress(int) override {}
  std::unique_ptr<IProgressWindow> OpenProgressWindow(const QString&) override {
    return std::make_unique<QuietProgress>();
  }
  std::optional<QString> AskText(const QString&, const QString&, const QString&) override { return std::nullopt; }
  std::optional<QString> ChooseFolder(const QString&, const QString&) override { return std::nullopt; }
  StopAnswer AskStop(const QString&) override { return StopAnswer::Continue; }
  OverwriteReply AskOverwrite(const QString&, const QString&) override { return {}; }
  CompletionReply ShowCompleted(const QString&, const QString&, int, bool) override { return {}; }
  void PumpEvents() override {}
  bool OpenWithDesktop(const QString&) override { return false; }
};

}  // namespace corvane::bench
