// How long a tile fetched over HTTP may be used without asking the server
// again, from the response's caching headers, as a private (single-user)
// cache reads them.
#pragma once

#include <QByteArray>
#include <QDateTime>

namespace viewer::map {

// The headers that decide it, as received (empty when absent).
struct CachingHeaders {
  QByteArray cache_control;
  QByteArray expires;
  QByteArray date;
  QByteArray age;
  QByteArray etag;
  QByteArray last_modified;
};

struct Freshness {
  bool store = true;         // false for "no-store": kept in memory only
  QDateTime expires;         // UTC; a stored tile used later than this is revalidated
  QByteArray etag;           // sent back in If-None-Match
  QByteArray last_modified;  // sent back in If-Modified-Since
};

// "max-age" (less "Age") wins over "Expires" (taken relative to "Date", so a
// server clock that is off does not matter); "no-cache", an invalid
// "Expires" or no information at all mean a revalidation at each new use.
Freshness freshness_of(const CachingHeaders& headers, const QDateTime& now);

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT"); invalid when it is not one.
QDateTime parse_http_date(const QByteArray& text);

}  // namespace viewer::map
