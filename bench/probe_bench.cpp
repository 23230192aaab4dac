// Describes every MP3 file of a folder as the conversion list does when files are added, and
// prints the time per file. probe_bench.sh runs it beside ffprobe on the same files.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

#include "CountingUserInterface.h"
#include "engine/CAudioEngine.h"
#include "probe/AudioFileDescription.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: probe_bench <folder of .mp3 files>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const QStringList names = folder.entryList({QStringLiteral("*.mp3")}, QDir::Files, QDir::Name);
  corvane::CAudioEngine engine;
  if (engine.BindAll().Failed()) {
    std::fprintf(stderr, "engine did not bind\n");
    return 1;
  }
  corvane::bench::CountingUserInterface ui;
  int described = 0;
  QElapsedTimer timer;
  timer.start();
  for (const QString& name : names) {
    if (corvane::DescribeAudioFile(engine, folder.filePath(name), ui).ok) ++described;
  }
  const double ms = timer.nsecsElapsed() / 1e6;
  std::printf("DescribeAudioFile: %lld files (%d described, %d errors) in %.0f ms, %.3f ms per file\n",
              static_cast<long long>(names.size()), described, ui.messages, ms,
              names.isEmpty() ? 0.0 : ms / names.size());
  return described == names.size() ? 0 : 1;
}
