#include "cli/AccurateRipReport.h"

#include <QJsonValue>

#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/RipperText.h"

namespace corvane::cli {
namespace {

constexpr int kHexDigits = 8;
constexpr int kHexBase = 16;

QString Opt(const char* name) { return QString::fromLatin1(name); }

QString StatusName(AccurateRipStatus status) {
  switch (status) {
    case AccurateRipStatus::Found:
      return Opt("found");
    case AccurateRipStatus::NotFound:
      return Opt("not found");
    case AccurateRipStatus::Unreachable:
      return Opt("unreachable");
    case AccurateRipStatus::Discarded:
      break;
  }
  return Opt("discarded");
}

}  // namespace

QString ChecksumHex(quint32 value) {
  return QStringLiteral("%1").arg(value, kHexDigits, kHexBase, QLatin1Char('0')).toUpper();
}

QString ChecksumLine(const QString& name, const TrackChecksums& sums,
                     const std::optional<AccurateRipVerdict>& verdict) {
  const QString none = StringTable::Text(text::kRipLogNotComputed);
  const auto hex = [&](quint32 value) { return sums.complete ? ChecksumHex(value) : none; };
  QString line = StringTable::Format(text::kChecksumLine, {name, hex(sums.crc32), hex(sums.v1), hex(sums.v2)});
  if (verdict) line += QStringLiteral("  ") + AccurateRipVerdictText(*verdict);
  return line;
}

void AddChecksumFields(QJsonObject& object, const TrackChecksums& sums,
                       const std::optional<AccurateRipVerdict>& verdict) {
  const auto hex = [&](quint32 value) { return sums.complete ? QJsonValue(ChecksumHex(value)) : QJsonValue(); };
  object.insert(Opt("crc32"), hex(sums.crc32));
  object.insert(Opt("accuraterip_v1"), hex(sums.v1));
  object.insert(Opt("accuraterip_v2"), hex(sums.v2));
  if (!verdict) return;
  object.insert(Opt("accuraterip"), AccurateRipVerdictText(*verdict));
  object.insert(Opt("confidence"), verdict->confidence);
}

QJsonObject CheckSummaryObject(const AccurateRipCheckResult& result) {
  return QJsonObject{{Opt("status"), StatusName(result.status)},
                     {Opt("accurate"), result.accurate},
                     {Opt("tracks"), static_cast<int>(result.verdicts.size())}};
}

}  // namespace corvane::cli
