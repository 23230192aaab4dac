#pragma once
#include <QString>
#include <atomic>
#include <functional>

namespace corvane {

class IUserInterface;
class OutputClaims;
class TemporaryOutput;

// Anything at the path, even a folder or a dangling symbolic link, is an existing output.
bool EntryExists(const QString& path);

// One job's claim on an output name among the names of its run; released when the job lets the
// name go or ends without it.
class OutputClaim {
 public:
  explicit OutputClaim(OutputClaims* claims) : claims_(claims) {}
  ~OutputClaim() { Release(); }
  OutputClaim(const OutputClaim&) = delete;
  OutputClaim& operator=(const OutputClaim&) = delete;

  // Claims `path` for the job (letting go of an earlier name); true when no other job of the run
  // holds it. Asking again about the name held answers as the first time.
  bool Take(const QString& path);
  void Release();
  // The job keeps its name for the rest of the run: another job never gets it unasked.
  void Keep() { claims_ = nullptr; }

 private:
  OutputClaims* claims_;
  QString path_;
  bool first_ = true;
};

// How a run answers an output name that is taken: by a file (or anything else) already there, or
// by another job of the run.
struct ExistingOutputRules {
  int question = 0;                            // the overwrite question's text, "%s" the path
  bool confirm = true;                         // ask before replacing; false replaces without asking
  std::atomic<bool>* overwrite_all = nullptr;  // the run's "Overwrite All" answer
  // A name another job of the run holds is asked about even when the settings say not to ask.
  bool ask_for_taken = true;
  // A name typed into the question's dialog replaces what is there without being asked about.
  bool typed_name_replaces = false;
  // Keeps the dialog's "don't ask again" box in the caller's setting, which then rules the
  // names asked about next; may be empty.
  std::function<void(bool dont_ask_again)> remember;
};

// Settles the output name of one job: claims it, and when it is taken lets the rules and the
// user's answers decide. False: the job is skipped (its claim released). `replace` tells whether
// the finished output may replace what is at `output`.
bool SettleOutput(QString& output, bool& replace, OutputClaim& claim, IUserInterface& ui,
                  const ExistingOutputRules& rules);

enum class Placing { Done, Skipped, Failed };

// Gives the finished `temporary` the name `output`. When another program took the name while the
// output was written, `settle` (the run's SettleOutput) decides again: Skipped when it says no.
// Failed sets `error` to the errno value.
Placing PlaceOutput(TemporaryOutput& temporary, QString& output, bool& replace, const std::function<bool()>& settle,
                    int& error);

}  // namespace corvane
