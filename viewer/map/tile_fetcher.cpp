#include "viewer/map/tile_fetcher.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace viewer::map {

namespace {

QString host_of(const QUrl& url) { return url.host() + ':' + QString::number(url.port()); }

CachingHeaders caching_headers(const QNetworkReply& reply) {
  return {reply.rawHeader("Cache-Control"), reply.rawHeader("Expires"), reply.rawHeader("Date"),
          reply.rawHeader("Age"),           reply.rawHeader("ETag"),    reply.rawHeader("Last-Modified")};
}

}  // namespace

TileFetcher::TileFetcher(QObject* parent) : QObject(parent) {
  // Only our own cache decides what is asked again.
  network_.setCache(nullptr);
}

QByteArray TileFetcher::user_agent() { return QByteArray("Orvanta/") + ORVANTA_VERSION; }

void TileFetcher::fetch(const QString& key, const QUrl& url, const Freshness& held) {
  if (keys_.contains(key)) return;
  keys_.insert(key);
  if (url.scheme() != "http" && url.scheme() != "https") {
    QMetaObject::invokeMethod(
        this,
        [this, key] {
          if (!keys_.remove(key)) return;
          TileResponse refused;
          refused.error = "adresse sans http ni https";
          emit fetched(key, refused);
        },
        Qt::QueuedConnection);
    return;
  }
  const QString host = host_of(url);
  hosts_[host].queue.push_back({key, url, held});
  start_next(host);
}

void TileFetcher::keep_only(const QSet<QString>& keep) {
  for (auto host = hosts_.begin(); host != hosts_.end(); ++host) {
    std::erase_if(host->queue, [&](const Request& r) {
      if (keep.contains(r.key)) return false;
      keys_.remove(r.key);
      return true;
    });
  }
  const QHash<QString, QNetworkReply*> running = running_;
  for (auto it = running.begin(); it != running.end(); ++it) {
    if (keep.contains(it.key())) continue;
    QNetworkReply* reply = it.value();
    reply->disconnect(this);
    // One that has failed or finished already has its end queued: dropped.
    if (!reply->isFinished() && reply->error() == QNetworkReply::NoError) reply->abort();
    reply->deleteLater();
    running_.remove(it.key());
    keys_.remove(it.key());
    const QString host = host_of(reply->url());
    --hosts_[host].running;
    start_next(host);
  }
}

void TileFetcher::drop_queued() {
  for (Host& host : hosts_) {
    for (const Request& r : host.queue) keys_.remove(r.key);
    host.queue.clear();
  }
}

void TileFetcher::start_next(const QString& host_name) {
  Host& host = hosts_[host_name];
  while (host.running < kConnectionsPerHost && !host.queue.empty()) {
    const Request request = host.queue.front();
    host.queue.pop_front();
    QNetworkRequest http(request.url);
    http.setHeader(QNetworkRequest::UserAgentHeader, user_agent());
    http.setTransferTimeout(timeout_ms_);
    if (!request.held.etag.isEmpty()) http.setRawHeader("If-None-Match", request.held.etag);
    if (!request.held.last_modified.isEmpty()) http.setRawHeader("If-Modified-Since", request.held.last_modified);
    QNetworkReply* reply = network_.get(http);
    ++host.running;
    running_.insert(request.key, reply);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
      if (received <= kLargestAnswer) return;
      reply->setProperty("too_large", true);
      reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, key = request.key, host_name] { finish(reply, key, host_name); });
  }
}

void TileFetcher::finish(QNetworkReply* reply, const QString& key, const QString& host) {
  reply->deleteLater();
  running_.remove(key);
  keys_.remove(key);
  --hosts_[host].running;

  TileResponse response;
  response.headers = caching_headers(*reply);
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  // Cut short while it came, or come whole at once before it could be.
  const bool too_large = reply->property("too_large").toBool() || reply->bytesAvailable() > kLargestAnswer;
  if (status == 200 && reply->error() == QNetworkReply::NoError && !too_large) {
    response.outcome = TileResponse::Outcome::Image;
    response.body = reply->readAll();
  } else if (status == 304) {
    response.outcome = TileResponse::Outcome::NotModified;
  } else if (status == 404 || status == 410) {
    response.outcome = TileResponse::Outcome::Missing;
  } else {
    // Our own aborts are never reported: a cancelled request ran out of time.
    response.error = too_large                                                 ? QString("réponse trop grosse")
                     : status != 0                                             ? QString("HTTP %1").arg(status)
                     : reply->error() == QNetworkReply::OperationCanceledError ? QString("pas de réponse")
                                                                               : reply->errorString();
  }
  start_next(host);
  emit fetched(key, response);
}

}  // namespace viewer::map
