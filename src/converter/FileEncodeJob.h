#pragma once
#include <QString>
#include <atomic>
#include <functional>

#include "formats/EncodeSettings.h"

namespace corvane {

class AudioStream;
class DecodeStream;
class IAudioConverter;
class IUserInterface;

// Everything one file's encoding needs: where to write, the source (its length, position and
// tags), the stream that delivers the samples to encode, and the run's shared pieces.
struct FileEncodeJob {
  QString output_path;
  const DecodeStream* source = nullptr;
  AudioStream* encode = nullptr;
  IAudioConverter* converter = nullptr;
  EncodeSettings settings;
  bool keep_tags = true;
  int stop_question = 0;  // string number of the question asked when Stop is pressed
  QString program_folder;
  std::atomic<bool>* stop_request = nullptr;
  IUserInterface* ui = nullptr;
};

// Encodes one file; returns 0 done, 1 failed (with `error` filled), 2 stopped, 4 stop all.
using EncodeFunction = std::function<int(const FileEncodeJob& job, QString& error)>;

}  // namespace corvane
