#include "viewer/map/online_tile_source.h"

#include "support/wait_until.h"
#include "tile_server.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <gtest/gtest.h>

namespace viewer::map {
namespace {

using testing_support::PumpUntil;
using testing_support::TileServer;

struct OnlineTiles : ::testing::Test {
  QTemporaryDir root;
  TileServer server;
  QDateTime now{QDate(2026, 5, 1), QTime(12, 0), QTimeZone::utc()};
  TileDiskCache cache{root.path()};
  std::unique_ptr<OnlineTileSource> source;
  QList<std::pair<TileId, QImage>> arrived;
  QStringList statuses;

  void SetUp() override { start(); }
  void start() {  // a new run of the viewer over the same disk cache
    source = std::make_unique<OnlineTileSource>(MapSource{MapSource::Kind::TileServer, server.url(), {}, "©"}, cache,
                                                [this] { return now; });
    source->fetcher().set_timeout_ms(300);
    arrived.clear();
    QObject::connect(source.get(), &TileSource::loaded, [this](TileId t, const QImage& i) { arrived.append({t, i}); });
    QObject::connect(source.get(), &TileSource::status_changed, [this](const QString& s) { statuses << s; });
  }
  void ask(const std::vector<TileId>& tiles) { source->request(tiles, tiles); }
  bool arrive(qsizetype count) {
    return PumpUntil([&] { return arrived.size() >= count; });
  }
  static std::vector<TileId> row(int count) {
    std::vector<TileId> tiles(static_cast<std::size_t>(count));
    for (int x = 0; x < count; ++x) tiles[static_cast<std::size_t>(x)] = {5, x, 3};
    return tiles;
  }
};

TEST_F(OnlineTiles, AskedOnceKeptOnDiskRevalidatedWhenStale) {
  server.answer = [](const TileServer::Request& r) {
    if (r.headers.count("if-none-match") != 0) return TileServer::Answer{304, {}, "Cache-Control: max-age=60\r\n"};
    return TileServer::Answer{200, TileServer::png(Qt::green), "Cache-Control: max-age=60\r\nETag: \"a\"\r\n"};
  };
  ask({{1, 0, 0}});
  ASSERT_TRUE(arrive(1));
  EXPECT_EQ(arrived[0].second.pixel(9, 9), QColor(Qt::green).rgb());
  EXPECT_EQ(server.requests[0].headers["user-agent"], TileFetcher::user_agent());
  EXPECT_TRUE(TileFetcher::user_agent().startsWith("Orvanta/"));

  start();  // fresh on disk: no request
  ask({{1, 0, 0}});
  ASSERT_TRUE(arrive(1));
  EXPECT_EQ(server.requests.size(), 1);

  now = now.addSecs(120);  // stale: shown, then asked with its ETag
  start();
  ask({{1, 0, 0}});
  ASSERT_TRUE(arrive(1));
  EXPECT_FALSE(arrived[0].second.isNull());
  ASSERT_TRUE(PumpUntil([&] { return server.requests.size() == 2; }));
  EXPECT_EQ(server.requests[1].headers["if-none-match"], "\"a\"");

  now = now.addSecs(30);  // the 304 made it fresh for another minute
  PumpUntil([] { return false; }, 100);
  start();
  ask({{1, 0, 0}});
  ASSERT_TRUE(arrive(1));
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(server.requests.size(), 2);
  EXPECT_EQ(arrived.size(), 1);
  EXPECT_TRUE(statuses.isEmpty());
}

TEST_F(OnlineTiles, AtMostTwoRequestsAtOnceAndNoStoreLeavesNoFile) {
  server.answer = [](const TileServer::Request&) {
    return TileServer::Answer{200, TileServer::png(Qt::blue), "Cache-Control: no-store\r\n", 40};
  };
  ask(row(8));
  ASSERT_TRUE(arrive(8));
  EXPECT_EQ(server.requests.size(), 8);
  EXPECT_EQ(server.most_running, kConnectionsPerHost);
  EXPECT_LE(server.most_connections, kConnectionsPerHost);
  EXPECT_EQ(cache.tile_count(), 0u);
}

TEST_F(OnlineTiles, TilesThatLeftTheViewAreNeverAskedOrAreAborted) {
  server.answer = [](const TileServer::Request&) { return TileServer::Answer::none(); };
  ask(row(6));
  ASSERT_TRUE(PumpUntil([&] { return server.requests.size() == 2 && server.open_connections == 2; }));
  const std::vector<TileId> elsewhere{{5, 20, 20}};
  source->request(elsewhere, elsewhere);
  ASSERT_TRUE(PumpUntil([&] { return server.requests.size() == 3 && server.open_connections == 1; }));
  EXPECT_EQ(server.requests[2].path, "/5/20/20.png");
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(server.requests.size(), 3);
  EXPECT_TRUE(arrived.isEmpty());
}

TEST_F(OnlineTiles, FailuresGiveGreyTilesAndOneQuietMessage) {
  struct Case {
    TileServer::Answer answer;
    bool offline;
    const char* reason;  // in the status line
  };
  const TileServer::Answer endless(200, QByteArray(kLargestAnswer + 100000, 'x'));
  for (const Case& c :
       {Case{{404}, false, ""}, Case{{500}, true, "(HTTP 500)"},
        Case{TileServer::Answer::none(), true, "(pas de réponse)"}, Case{endless, true, "(réponse trop grosse)"}}) {
    statuses.clear();
    server.answer = [&](const TileServer::Request& r) {
      return r.path == "/2/0/0.png"
                 ? TileServer::Answer{200, TileServer::png(Qt::red), "Cache-Control: max-age=3600\r\n"}
                 : c.answer;
    };
    now = now.addSecs(OnlineTileSource::kOfflineSeconds + 1);
    start();
    std::vector<TileId> tiles = row(3);
    tiles.push_back({2, 0, 0});  // on disk after the first round
    ask(tiles);
    ASSERT_TRUE(arrive(4)) << c.answer.status;
    for (const auto& [tile, image] : arrived) EXPECT_EQ(image.isNull(), tile.zoom == 5) << c.answer.status;
    // Asked again: a 404 is not asked again; offline, nothing new is asked
    // either, and the tile on disk still comes.
    PumpUntil([] { return false; }, 50);  // requests sent before the failure reach the server
    const qsizetype before = server.requests.size();
    tiles.push_back({5, 9, 9});
    ask(tiles);
    ASSERT_TRUE(arrive(9));
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(std::any_of(arrived.begin() + 4, arrived.end(),
                            [](const auto& a) { return a.first.zoom == 2 && !a.second.isNull(); }));
    EXPECT_EQ(server.requests.size() - before, c.offline ? 0 : 1) << c.answer.status;
    EXPECT_EQ(statuses.size(), c.offline ? 1 : 0) << c.answer.status;
    EXPECT_TRUE(statuses.value(0).contains(QString::fromUtf8(c.reason))) << statuses.value(0).toStdString();
  }
  // Back after the pause, the first success clears the message.
  now = now.addSecs(OnlineTileSource::kOfflineSeconds + 1);
  server.answer = [](const TileServer::Request&) { return TileServer::Answer{200, TileServer::png(Qt::red)}; };
  ask({{5, 1, 1}});
  ASSERT_TRUE(PumpUntil([&] { return statuses.size() == 2; }));
  EXPECT_EQ(statuses[1], "");
}

}  // namespace
}  // namespace viewer::map
