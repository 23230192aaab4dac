// Reads the pictures of arbitrary bytes as each kind of audio file that holds them (the first
// byte picks the kind) and puts every picture found, and the bytes themselves, through the check
// that decides what may be written into an output.
#include <QStringList>
#include <array>
#include <cstdlib>

#include "FuzzFile.h"
#include "tags/EmbeddedPictures.h"
#include "tags/PictureCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static constexpr std::array<const char*, 9> kKinds = {"mp3", "flac", "ogg", "opus", "m4a", "wma", "ape", "mpc", "wv"};
  if (size == 0) return 0;
  const QString path = corvane::fuzz::WriteInput(data + 1, size - 1, kKinds[data[0] % kKinds.size()]);
  corvane::Pictures pictures = corvane::ReadEmbeddedPictures(path);
  pictures.push_back({QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), {}, {}, 3});
  const size_t found = pictures.size();
  QStringList dropped;
  const corvane::Pictures kept = corvane::CheckedPictures(std::move(pictures), dropped);
  if (kept.size() + static_cast<size_t>(dropped.size()) != found) std::abort();
  for (const corvane::Picture& picture : kept) {
    if (picture.data.size() > corvane::kMaxPictureBytes || picture.mime.isEmpty()) std::abort();
  }
  return 0;
}
