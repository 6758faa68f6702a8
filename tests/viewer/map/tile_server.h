// A tile server of the test's own on a loopback port: answers each request
// as `answer` says (possibly late, or never), and counts requests and the
// connections and requests open at once.
#pragma once

#include "support/tile_files.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <map>

namespace testing_support {

struct TileServer : QObject {
  struct Request {
    QByteArray path;
    std::map<QByteArray, QByteArray> headers;  // names in lower case
  };
  struct Answer {
    Answer(int s = 200, QByteArray b = {}, QByteArray h = {}, int delay = 0)
        : status(s), body(std::move(b)), headers(std::move(h)), delay_ms(delay) {}
    static Answer none() {
      Answer a;
      a.never = true;
      return a;
    }
    int status;
    QByteArray body;
    QByteArray headers;  // "Name: value\r\n" lines
    int delay_ms;
    bool never = false;
  };
  std::function<Answer(const Request&)> answer = [](const Request&) { return Answer{200, png(Qt::green)}; };
  QList<Request> requests;
  int open_connections = 0, most_connections = 0, running = 0, most_running = 0;
  QTcpServer server;

  TileServer() {
    server.listen(QHostAddress::LocalHost);
    connect(&server, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server.nextPendingConnection()) {
        most_connections = std::max(most_connections, ++open_connections);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
          --open_connections;
          socket->deleteLater();
        });
      }
    });
  }
  QString url() const { return QString("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.serverPort()); }

  static QByteArray png(const QColor& colour) { return tile_png(colour); }

 private:
  void serve(QTcpSocket* socket) {
    while (socket->canReadLine()) {
      const QList<QByteArray> first = socket->readLine().trimmed().split(' ');
      Request request{first.value(1), {}};
      for (QByteArray line; !(line = socket->readLine().trimmed()).isEmpty();) {
        const qsizetype colon = line.indexOf(':');
        request.headers[line.left(colon).toLower()] = line.mid(colon + 1).trimmed();
      }
      requests << request;
      most_running = std::max(most_running, ++running);
      const Answer a = answer(request);
      if (a.never) continue;
      QTimer::singleShot(a.delay_ms, socket, [this, socket, a] {
        --running;
        socket->write("HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nContent-Length: " +
                      QByteArray::number(a.body.size()) + "\r\n" + a.headers + "\r\n" + a.body);
      });
    }
  }
};

}  // namespace testing_support
