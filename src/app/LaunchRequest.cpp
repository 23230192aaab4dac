#include "app/LaunchRequest.h"

namespace corvane {
namespace {

struct ActionName {
  const char* text;
  LaunchMode mode;
};

constexpr ActionName kActions[] = {
    {"CONVERT", LaunchMode::SingleFile},
    {"BATCHCONVERT", LaunchMode::ListFile},
    {"BATCHCONVERT_REMOVE", LaunchMode::ListFileThenDelete},
};

}  // namespace

LaunchRequest LaunchRequest::Parse(const QString& commandLine) {
  LaunchRequest request;
  if (commandLine.isEmpty()) return request;
  const QString actionMarker = QStringLiteral("-a ");
  const QString sourceMarker = QStringLiteral("-s ");
  const qsizetype actionAt = commandLine.indexOf(actionMarker);
  const qsizetype sourceAt = commandLine.indexOf(sourceMarker);
  if (actionAt < 0 || sourceAt < 0 || sourceAt < actionAt) return request;

  const qsizetype actionStart = actionAt + actionMarker.size();
  // "-a -s x": the action is empty and the markers overlap in no way that matters.
  const QString action = commandLine.mid(actionStart, std::max<qsizetype>(0, sourceAt - actionStart)).trimmed();
  for (const ActionName& known : kActions) {
    if (action == QLatin1String(known.text)) request.mode = known.mode;
  }
  request.source = commandLine.mid(sourceAt + sourceMarker.size()).trimmed();
  return request;
}

QString LaunchRequest::JoinArguments(const QStringList& argumentsAfterProgram) {
  return argumentsAfterProgram.join(QLatin1Char(' '));
}

}  // namespace corvane
