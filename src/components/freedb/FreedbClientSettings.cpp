#include "components/freedb/FreedbClientSettings.h"

#include <array>

namespace corvane {
namespace {

constexpr const char* kDefaultServer = "gnudb.gnudb.org";

// Servers that answer freedb look-ups today. Slots without a live server of their own repeat the
// default, so that an index stored by an older release still reaches a server that answers.
constexpr std::array<const char*, FreedbClientSettings::kServerSlots> kServers = {
    kDefaultServer, "vgmdb.net",    kDefaultServer, kDefaultServer, kDefaultServer,
    kDefaultServer, kDefaultServer, kDefaultServer, kDefaultServer, kDefaultServer,
};

}  // namespace

FreedbResult FreedbClientSettings::SelectServer(int index) {
  if (index < 1 || index > kServerSlots) return FreedbResult::Failure(FreedbErrorCode::InvalidServer);
  server_ = QString::fromLatin1(kServers[static_cast<std::size_t>(index - 1)]);
  return FreedbResult::Success();
}

QString DefaultFreedbServer() { return QString::fromLatin1(kDefaultServer); }

std::unique_ptr<IFreedbClient> CreateFreedbClient() { return std::make_unique<FreedbClientSettings>(); }

}  // namespace corvane
