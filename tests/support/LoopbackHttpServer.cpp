#include "support/LoopbackHttpServer.h"

#include <QTcpSocket>
#include <QUrl>
#include <memory>

namespace corvane::test {

QByteArray HttpRequest::FormValue(const QByteArray& name) const {
  const auto question = target.indexOf('?');
  if (question < 0) return {};
  for (const QByteArray& pair : target.mid(question + 1).split('&')) {
    const auto equals = pair.indexOf('=');
    if (equals < 0 || pair.left(equals) != name) continue;
    QByteArray value = pair.mid(equals + 1);
    value.replace('+', ' ');
    return QByteArray::fromPercentEncoding(value);
  }
  return {};
}

QString HttpRequest::Path() const { return QUrl::fromEncoded(target).path(); }

HttpAnswer HttpAnswer::Text(const QByteArray& body, int status) {
  return {"HTTP/1.0 " + QByteArray::number(status) + " Status\r\nContent-Type: text/plain\r\nContent-Length: " +
              QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body,
          false};
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
  server_.listen(QHostAddress::LocalHost, 0);
  connect(&server_, &QTcpServer::newConnection, this, &LoopbackHttpServer::Accept);
}

void LoopbackHttpServer::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, received] {
      *received += socket->readAll();
      const auto end = received->indexOf("\r\n\r\n");
      if (end < 0) return;
      HttpRequest request;
      const QList<QByteArray> lines = received->left(end).split('\n');
      request.line = lines.value(0).trimmed();
      request.target = request.line.split(' ').value(1);
      for (qsizetype i = 1; i < lines.size(); ++i) {
        const auto colon = lines[i].indexOf(':');
        if (colon > 0) request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
      }
      received->clear();
      requests_.push_back(request);
      const HttpAnswer answer = handler_(request);
      if (answer.silent) return;
      socket->write(answer.raw);
      socket->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  }
}

quint16 ClosedLoopbackPort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  const quint16 port = probe.serverPort();
  probe.close();
  return port;
}

}  // namespace corvane::test
