#pragma once
#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <functional>
#include <vector>

namespace corvane::test {

// What a client sent: the request line, its target as sent, and the headers by lower-case name.
struct HttpRequest {
  QByteArray line;
  QByteArray target;
  QMap<QByteArray, QByteArray> headers;

  // A parameter of the target's query, decoded as a form value ("+" is a space).
  QByteArray FormValue(const QByteArray& name) const;
  // The target's path, whether the target is a path or an absolute URL (as sent to a proxy).
  QString Path() const;
};

// The bytes to send back verbatim before closing, or silence with the connection held open.
struct HttpAnswer {
  QByteArray raw;
  bool silent = false;

  static HttpAnswer Text(const QByteArray& body, int status = 200);
  static HttpAnswer Silence() { return {{}, true}; }
};

// An HTTP server on 127.0.0.1 at a port the kernel picks, answering each request with its handler
// on the event loop of the test. It serves as an origin server and as a proxy alike.
class LoopbackHttpServer : public QObject {
 public:
  using Handler = std::function<HttpAnswer(const HttpRequest&)>;

  explicit LoopbackHttpServer(Handler handler);
  // 0 when the server could not listen.
  quint16 Port() const { return server_.serverPort(); }
  const std::vector<HttpRequest>& Requests() const { return requests_; }

 private:
  void Accept();

  QTcpServer server_;
  Handler handler_;
  std::vector<HttpRequest> requests_;
};

// A loopback port nothing listens on: bound by the kernel's choice, then released.
quint16 ClosedLoopbackPort();

}  // namespace corvane::test
