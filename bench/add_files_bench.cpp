// Adds every audio file of a folder to the conversion list through the add-files route (probe,
// duplicate check, row texts, progress texts) and prints the time in all and per file.
// add_files.sh runs it beside ffprobe on the same files.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

#include "CountingUserInterface.h"
#include "common/MemorySettings.h"
#include "converter/ConversionList.h"
#include "converter/ConversionListLoader.h"
#include "converter/FolderScan.h"
#include "engine/CAudioEngine.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: add_files_bench <folder of audio files>\n");
    return 2;
  }
  QStringList paths;
  if (!corvane::ScanFolder(QString::fromLocal8Bit(argv[1]), 0, false, nullptr, paths).Succeeded()) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  corvane::CAudioEngine engine;
  if (engine.BindAll().Failed()) {
    std::fprintf(stderr, "engine did not bind\n");
    return 1;
  }
  corvane::bench::CountingUserInterface ui;
  corvane::MemorySettings settings;  // a fresh profile: the user's settings are neither read nor written
  corvane::ConversionList list(engine, ui, settings);
  corvane::ConversionListLoader loader(list);
  QElapsedTimer timer;
  timer.start();
  const corvane::LoadResult result = loader.AddFiles(paths);
  const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  std::printf("corvane add files: %d of %lld files added in %.3f s, %.3f ms per file (%d load errors)\n", result.added,
              static_cast<long long>(paths.size()), ms / 1000, ms / std::max<qsizetype>(paths.size(), 1), ui.messages);
  return result.added == paths.size() ? 0 : 1;
}
