#include "output/OutputSettling.h"

#include <QFile>

#include <sys/stat.h>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "output/OutputClaims.h"
#include "output/TemporaryOutput.h"

namespace corvane {
namespace {

// Rename answers in a row before a job gives up (each names another file that exists).
constexpr int kMaxRenames = 1000;

}  // namespace

bool EntryExists(const QString& path) {
  struct stat info {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool OutputClaim::Take(const QString& path) {
  if (claims_ == nullptr) return true;
  if (path != path_) {
    Release();
    path_ = path;
    first_ = claims_->Claim(path);
  }
  return first_;
}

void OutputClaim::Release() {
  if (claims_ != nullptr && !path_.isEmpty()) claims_->Release(path_);
  path_.clear();
  first_ = true;
}

bool SettleOutput(QString& output, bool& replace, OutputClaim& claim, IUserInterface& ui,
                  const ExistingOutputRules& rules) {
  bool confirm = rules.confirm;
  for (int round = 0; round < kMaxRenames; ++round) {
    const bool taken = !claim.Take(output);
    replace = false;
    if (!taken && !EntryExists(output)) return true;
    replace = true;
    const bool overwriteAll = rules.overwrite_all != nullptr && *rules.overwrite_all;
    if ((!taken || !rules.ask_for_taken) && (!confirm || overwriteAll)) return true;
    const OverwriteReply reply = ui.AskOverwrite(StringTable::Format(rules.question, {output}), output);
    if (rules.remember) {
      rules.remember(reply.dont_ask_again);
      confirm = !reply.dont_ask_again;
    }
    switch (reply.choice) {
      case OverwriteReply::Choice::Skip:
        claim.Release();
        return false;
      case OverwriteReply::Choice::OverwriteAll:
        if (rules.overwrite_all != nullptr) *rules.overwrite_all = true;
        return true;
      case OverwriteReply::Choice::Overwrite:
        if (!reply.use_other_name || reply.other_name.isEmpty() || reply.other_name == output) return true;
        output = reply.other_name;
        // A typed name is chosen to replace what is there; one another job writes is settled in turn.
        if (rules.typed_name_replaces && claim.Take(output)) {
          replace = EntryExists(output);
          return true;
        }
        break;
    }
  }
  claim.Release();
  return false;
}

Placing PlaceOutput(TemporaryOutput& temporary, QString& output, bool& replace, const std::function<bool()>& settle,
                    int& error) {
  for (int round = 0; round < kMaxRenames; ++round) {
    switch (temporary.MoveTo(output, replace, error)) {
      case TemporaryOutput::Commit::Done:
        return Placing::Done;
      case TemporaryOutput::Commit::Exists:
        if (!settle()) return Placing::Skipped;
        continue;
      case TemporaryOutput::Commit::Failed:
        return Placing::Failed;
    }
  }
  return Placing::Failed;
}

}  // namespace corvane
