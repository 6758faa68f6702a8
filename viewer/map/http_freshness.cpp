#include "viewer/map/http_freshness.h"

#include <QLocale>
#include <QTimeZone>
#include <optional>

namespace viewer::map {

namespace {

// The value of a "name=seconds" directive, or nothing.
std::optional<qint64> seconds_directive(const QList<QByteArray>& directives, const QByteArray& name) {
  for (const QByteArray& directive : directives) {
    const QByteArray d = directive.trimmed().toLower();
    if (!d.startsWith(name + '=')) continue;
    bool ok = false;
    const qint64 value = d.mid(name.size() + 1).trimmed().toLongLong(&ok);
    if (ok && value >= 0) return value;
  }
  return std::nullopt;
}

bool has_directive(const QList<QByteArray>& directives, const QByteArray& name) {
  for (const QByteArray& directive : directives)
    if (directive.trimmed().toLower() == name) return true;
  return false;
}

}  // namespace

QDateTime parse_http_date(const QByteArray& text) {
  QDateTime date = QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()), "ddd, dd MMM yyyy HH:mm:ss 'GMT'");
  date.setTimeZone(QTimeZone::utc());
  return date;
}

Freshness freshness_of(const CachingHeaders& headers, const QDateTime& now) {
  Freshness result;
  result.etag = headers.etag;
  result.last_modified = headers.last_modified;
  result.expires = now;
  const QList<QByteArray> directives = headers.cache_control.split(',');
  result.store = !has_directive(directives, "no-store");
  if (has_directive(directives, "no-cache")) return result;
  if (const auto max_age = seconds_directive(directives, "max-age")) {
    const qint64 age = std::max<qint64>(headers.age.trimmed().toLongLong(), 0);
    result.expires = now.addSecs(std::max<qint64>(*max_age - age, 0));
    return result;
  }
  const QDateTime expires = parse_http_date(headers.expires);
  if (!expires.isValid()) return result;
  const QDateTime date = parse_http_date(headers.date);
  result.expires = now.addSecs(std::max<qint64>((date.isValid() ? date : now).secsTo(expires), 0));
  return result;
}

}  // namespace viewer::map
