#pragma once
#include <QNetworkReply>

namespace corvane {

// Lets a request go that its receiver no longer wants: cut off from `receiver`, aborted and
// deleted later; `reply` is null afterwards. Nothing happens when it is null already.
inline void AbandonReply(QNetworkReply*& reply, QObject* receiver) {
  if (reply == nullptr) return;
  QNetworkReply* abandoned = reply;
  reply = nullptr;
  abandoned->disconnect(receiver);
  abandoned->abort();
  abandoned->deleteLater();
}

}  // namespace corvane
