#include "codecs/ape/ApeTagWriter.h"

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/tstring.h>

#include <array>
#include <utility>

namespace corvane::ape {

ApeResult ApeTagWriter::Write(const char* utf8Path, const SimpleTag& tag, bool clearFirst) {
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
