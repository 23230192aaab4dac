#pragma once
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "components/GrabberError.h"
#include "components/grabber/TrackReader.h"
#include "discimage/DiscAccess.h"

namespace corvane {

class IConversionComponent;

// The audio track a grab reads: the drive or image it is on, where it lies, how to read it.
struct GrabSource {
  QString drive_path;
  bool image = false;
  int first_lsn = 0;
  int sectors = 0;
  ReadSettings settings;
  PcmTap* tap = nullptr;  // sees the track's audio as read, on the worker thread
};

// One track written to a file through a conversion component on a worker thread. The job reads
// through a drive handle of its own, so the grabber stays free for other calls meanwhile.
//
// Reports go through `progress` (percent, in whole steps as they grow, then exactly one 100 when
// the job ends however it ends) and `retries` (the attempts of the sector that has needed the
// most so far, each time that count grows past one); both are called on the worker thread. The
// outcome is set before the final 100. An aborted or failed job leaves its partial file to the
// caller, completed as far as it got.
class GrabJob {
 public:
  using Report = std::function<void(int)>;

  GrabJob(IConversionComponent& encoder, Report progress, Report retries);
  // Aborts a running job and waits for its worker.
  ~GrabJob();
  GrabJob(const GrabJob&) = delete;
  GrabJob& operator=(const GrabJob&) = delete;

  // Opens the drive, the reader and the output file `path` (the encoder's chosen output kind,
  // CD audio in); nothing runs until Launch.
  GrabberResult Open(const GrabSource& source, const QString& path);
  // Starts the worker of an opened job.
  void Launch();
  // Asks the worker to stop before its next sector; it still reports its final 100.
  void Abort() { abort_ = true; }
  bool Running() const { return running_; }
  // Waits for the worker to end.
  void Wait();
  // Busy while running; then success, Aborted, ReadError (naming the sector) or WriteError.
  GrabberResult Outcome() const;
  // Sectors the reader gave up on; final once the job has ended.
  int UnreadableSectors() const { return unreadable_; }

 private:
  void Run();
  GrabberResult Copy();
  void Finish(GrabberResult outcome);

  IConversionComponent& encoder_;
  Report progress_;
  Report retries_;
  std::unique_ptr<IDiscAccess> disc_;
  std::unique_ptr<TrackReader> reader_;
  int sectors_ = 0;
  QString path_;
  std::atomic<bool> abort_{false};
  std::atomic<bool> running_{false};
  std::atomic<int> unreadable_{0};
  mutable std::mutex outcome_mutex_;
  GrabberResult outcome_;
  std::thread worker_;
};

}  // namespace corvane
