#include "codecs/ape/ApeTagWriter.h"

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/tstring.h>

#include <array>
#include <cstring>
#include <fstream>
#include <utility>

namespace corvane::ape {
namespace {

// TagLib accepts files of any content, so look for the descriptor ourselves (behind an
// ID3v2 tag, which other programs sometimes put in front).
bool StartsLikeMonkeysAudio(const char* utf8Path) {
  std::ifstream in(utf8Path, std::ios::binary);
  char head[10] = {};
  if (!in.read(head, sizeof head)) return false;
  if (std::memcmp(head, "ID3", 3) == 0) {
    const std::uint32_t size =
        ((head[6] & 0x7Fu) << 21) | ((head[7] & 0x7Fu) << 14) | ((head[8] & 0x7Fu) << 7) | (head[9] & 0x7Fu);
    in.seekg(10 + size + ((head[5] & 0x10) != 0 ? 10 : 0));
    if (!in.read(head, 4)) return false;
  }
  return std::memcmp(head, "MAC ", 4) == 0;
}

}  // namespace

ApeResult ApeTagWriter::Write(const char* utf8Path, const SimpleTag& tag, bool clearFirst) {
  if (!StartsLikeMonkeysAudio(utf8Path)) return ApeResult::kTagReadFailed;
  TagLib::APE::File file(utf8Path);
  if (!file.isValid() || file.audioProperties() == nullptr) return ApeResult::kTagReadFailed;
  if (clearFirst) {
    file.strip(TagLib::APE::File::AllTags);
  } else {
    file.strip(TagLib::APE::File::ID3v1);
  }

  TagLib::APE::Tag* ape = file.APETag(true);
  // Item keys as the format's readers know them.
  const std::array<std::pair<const char*, const char*>, 7> items = {{{"Artist", tag.artist},
                                                                     {"Album", tag.album},
                                                                     {"Title", tag.title},
                                                                     {"Comment", tag.comment},
                                                                     {"Genre", tag.genre},
                                                                     {"Year", tag.year},
                                                                     {"Track", tag.track}}};
  for (const auto& [key, value] : items) {
    if (value != nullptr && *value != '\0') ape->addValue(key, TagLib::String(value, TagLib::String::UTF8), true);
  }
  if (ape->isEmpty()) file.strip(TagLib::APE::File::APE);
  return file.save() ? ApeResult::kOk : ApeResult::kTagWriteFailed;
}

}  // namespace corvane::ape
