#include "support/CdInfo.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "support/ToolRunner.h"

namespace corvane::test {

CdInfoToc ReadCdInfoToc(const QString& image) {
  ToolRun run;
  run.workingDirectory = QFileInfo(image).absolutePath();
  const QString out = QString::fromUtf8(ToolOutput(QStringLiteral("cd-info"),
                                                   {QStringLiteral("--no-device-info"), QStringLiteral("--no-cddb"),
                                                    QStringLiteral("--no-analyze"), QStringLiteral("--quiet"), image},
                                                   run));
  static const QRegularExpression kRow(QStringLiteral(R"(^\s*(\d+): \d\d:\d\d:\d\d\s+(\d+) (\S+))"),
                                       QRegularExpression::MultilineOption);
  CdInfoToc toc;
  for (auto it = kRow.globalMatch(out); it.hasNext();) {
    const auto match = it.next();
    if (match.captured(1) == QLatin1String("170")) {
      toc.lead_out = match.captured(2).toInt();
    } else {
      toc.lsns.push_back(match.captured(2).toInt());
      toc.audio.push_back(match.captured(3) == QLatin1String("audio"));
    }
  }
  if (toc.lsns.empty() || toc.lead_out < 0) throw ToolFailure("cd-info listed no tracks:\n" + out.toStdString());
  return toc;
}

}  // namespace corvane::test
