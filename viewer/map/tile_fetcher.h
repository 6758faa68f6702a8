// The HTTP side of the tile client, polite as public tile servers ask: it
// names the program in its User-Agent, runs at most two requests at a time
// per host (the rest wait in the host's queue, in the order asked), asks
// conditionally for tiles it holds, gives up on a server that does not answer
// within a time limit, and drops the requests of tiles no longer in view.
#pragma once

#include "viewer/map/http_freshness.h"

#include <QByteArray>
#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <deque>

class QNetworkReply;

namespace viewer::map {

inline constexpr int kConnectionsPerHost = 2;
// A tile server's image is tens of kilobytes: an answer beyond this is cut.
inline constexpr qint64 kLargestAnswer = 4LL * 1024 * 1024;

struct TileResponse {
  enum class Outcome { Image, NotModified, Missing, Failed };
  Outcome outcome = Outcome::Failed;
  QByteArray body;
  CachingHeaders headers;
  QString error;  // for Failed: what went wrong, for the status line
};

class TileFetcher : public QObject {
  Q_OBJECT

 public:
  explicit TileFetcher(QObject* parent = nullptr);

  // "Orvanta/<version>".
  static QByteArray user_agent();
  void set_timeout_ms(int ms) { timeout_ms_ = ms; }

  // Queues the request of `key` (one per key: asking again while it is queued
  // or running changes nothing). With an ETag or a Last-Modified the request
  // is conditional. Only http and https URLs are fetched; others fail.
  void fetch(const QString& key, const QUrl& url, const Freshness& held = {});
  // Forgets the queued requests and aborts the running ones of every key not
  // in `keep`; their answers are never reported.
  void keep_only(const QSet<QString>& keep);
  // Forgets every queued request, leaving the running ones.
  void drop_queued();
  bool pending(const QString& key) const { return keys_.contains(key); }

 signals:
  void fetched(const QString& key, const viewer::map::TileResponse& response);

 private:
  struct Request {
    QString key;
    QUrl url;
    Freshness held;
  };
  struct Host {
    std::deque<Request> queue;
    int running = 0;
  };
  void start_next(const QString& host);
  void finish(QNetworkReply* reply, const QString& key, const QString& host);

  QNetworkAccessManager network_;
  QHash<QString, Host> hosts_;
  QHash<QString, QNetworkReply*> running_;  // by key
  QSet<QString> keys_;                      // queued or running
  int timeout_ms_ = 20000;
};

}  // namespace viewer::map
