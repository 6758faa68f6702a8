#include "serial/ui/com_led.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPainter>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace serial {
namespace {

struct Changes {
  std::vector<std::pair<TComLed*, TLedState>> calls;
  void watch(TComLed& led) {
    led.OnChange = [this](TComLed* sender, TLedState state) { calls.emplace_back(sender, state); };
  }
};

const QColor kBackground(10, 200, 200);

// What the lamp paints, over a background of our own (no window background).
QImage Render(TComLed& led) {
  QImage canvas(led.size(), QImage::Format_ARGB32_Premultiplied);
  canvas.fill(kBackground);
  led.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
  return canvas;
}

QImage Drawn(QSize size, const QPixmap& glyph, QPoint at) {
  QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(kBackground);
  QPainter(&canvas).drawPixmap(at, glyph);
  return canvas;
}

TEST(ComLed, EveryStateWriteIsAnnouncedUnlessLoading) {
  TComLed led;
  Changes changes;
  changes.watch(led);
  EXPECT_EQ(led.State(), lsOff);
  led.SetState(lsOn);
  led.SetState(lsOn);
  ASSERT_EQ(changes.calls.size(), 2u);
  EXPECT_EQ(changes.calls[1], std::pair(&led, lsOn));
  EXPECT_EQ(led.State(), lsOn);

  led.SetLoading(true);
  led.SetState(lsOff);
  led.SignalHandler(true);
  EXPECT_EQ(changes.calls.size(), 2u);
  EXPECT_EQ(led.State(), lsOn);
  led.SetLoading(false);
  led.SetState(lsOff);
  EXPECT_EQ(changes.calls.size(), 3u);
}

TEST(ComLed, SignalHandlerSwitchesAndRunsPendingEvents) {
  TComLed led;
  Changes changes;
  changes.watch(led);
  bool pending_ran = false;
  QMetaObject::invokeMethod(
      &led, [&] { pending_ran = true; }, Qt::QueuedConnection);
  led.SignalHandler(true);
  EXPECT_TRUE(pending_ran);
  EXPECT_EQ(led.State(), lsOn);
  led.SignalHandler(false);
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_EQ(changes.calls.size(), 2u);
}

TEST(ComLed, RingLightsUntilItsTimerEnds) {
  TComLed led;
  Changes changes;
  changes.watch(led);
  EXPECT_EQ(led.RingDuration(), 1000);
  EXPECT_FALSE(led.RingTimer().isActive());

  led.RingHandler();
  led.RingHandler();
  EXPECT_EQ(led.State(), lsOn);
  EXPECT_TRUE(led.RingTimer().isActive());
  led.TimerHandler();
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_FALSE(led.RingTimer().isActive());
  ASSERT_EQ(changes.calls.size(), 3u);
  EXPECT_EQ(changes.calls[2].second, lsOff);

  // The timer itself ends the ring: a zero duration expires at the next pass
  // of the event loop.
  led.SetRingDuration(0);
  led.RingHandler();
  QDeadlineTimer limit(5000);
  while (led.State() == lsOn && !limit.hasExpired()) QCoreApplication::processEvents();
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_FALSE(led.RingTimer().isActive());
}

TEST(ComLed, NewRingDurationRestartsARunningRing) {
  TComLed led;
  led.RingHandler();
  led.SetRingDuration(60000);
  EXPECT_EQ(led.RingDuration(), 60000);
  EXPECT_TRUE(led.RingTimer().isActive());
  EXPECT_GT(led.RingTimer().remainingTime(), 1000);
}

TEST(ComLed, ConnectionLampFollowsTheOpenStateWithoutReadingModemLines) {
  TComLed led;
  int reads = 0;
  auto read = [&] {
    ++reads;
    return TComSignals{csCTS, csDSR, csRing, csRLSD};
  };
  EXPECT_EQ(led.PortSignalState(true, read), lsOn);
  EXPECT_EQ(led.PortSignalState(false, read), lsOff);
  EXPECT_EQ(reads, 0);
}

TEST(ComLed, PaintsItsPictureCentredOrFromTheCorner) {
  TComLed led;
  led.resize(25, 24);
  EXPECT_TRUE(led.GlyphOff().isNull()) << "pictures load when first needed";
  const QImage off = Render(led);
  ASSERT_EQ(led.GlyphOff().size(), QSize(15, 15));
  EXPECT_EQ(off, Drawn(led.size(), led.GlyphOff(), QPoint(5, 4)));
  led.SetState(lsOn);
  EXPECT_EQ(Render(led), Drawn(led.size(), led.GlyphOn(), QPoint(5, 4)));

  // Halves round toward zero; a picture bigger than the lamp starts at 0.
  const struct {
    QSize size;
    QPoint at;
  } cases[] = {{{16, 16}, {0, 0}}, {{10, 12}, {0, 0}}, {{14, 30}, {0, 7}}};
  for (const auto& c : cases) {
    led.resize(c.size);
    EXPECT_EQ(Render(led), Drawn(c.size, led.GlyphOn(), c.at)) << c.size.width() << "x" << c.size.height();
  }
}

TEST(ComLed, DisabledLampShowsOffWithoutChangingState) {
  TComLed led;
  led.SetKind(lkGreenLight);
  led.SetState(lsOn);
  Changes changes;
  changes.watch(led);
  led.setEnabled(false);
  EXPECT_EQ(Render(led), Drawn(led.size(), led.GlyphOff(), QPoint(5, 5)));
  led.setEnabled(true);
  EXPECT_EQ(Render(led), Drawn(led.size(), led.GlyphOn(), QPoint(5, 5)));
  EXPECT_EQ(led.State(), lsOn);
  EXPECT_TRUE(changes.calls.empty());
}

TEST(ComLed, OnlyACustomLampTakesPictures) {
  QImage picture(3, 3, QImage::Format_RGB32);
  picture.fill(qRgb(0, 0, 255));
  picture.setPixel(0, 2, qRgb(255, 0, 255));  // the transparent colour
  picture.setPixel(1, 1, qRgb(255, 0, 255));
  const QPixmap glyph = QPixmap::fromImage(picture);

  TComLed led;
  led.SetKind(lkGreenLight);
  const QImage green_on = led.GlyphOn().toImage();
  led.SetGlyphOn(glyph);
  EXPECT_EQ(led.GlyphOn().toImage(), green_on);

  led.SetKind(lkCustom);
  EXPECT_EQ(led.GlyphOn().toImage(), green_on) << "turning custom keeps the pictures";
  led.SetGlyphOn(glyph);
  const QImage taken = led.GlyphOn().toImage();
  ASSERT_EQ(taken.size(), QSize(3, 3));
  EXPECT_EQ(qAlpha(taken.pixel(0, 2)), 0);
  EXPECT_EQ(qAlpha(taken.pixel(1, 1)), 0);
  EXPECT_EQ(taken.pixel(2, 0), qRgb(0, 0, 255));
  led.SetState(lsOn);
  EXPECT_EQ(Render(led), Drawn(led.size(), led.GlyphOn(), QPoint(11, 11)));

  led.SetKind(lkRedLight);
  EXPECT_EQ(led.GlyphOn().size(), QSize(15, 15));
}

// Mean colour of the visible pixels.
QColor Average(const QImage& image) {
  double r = 0, g = 0, b = 0;
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qAlpha(p) == 0) continue;
      r += qRed(p), g += qGreen(p), b += qBlue(p), ++n;
    }
  }
  return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

int Chroma(const QColor& c) {
  return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
}

TEST(ComLed, EveryKindHasALitAndAnUnlitPicture) {
  const struct {
    TLedKind kind;
    int (QColor::*strongest)() const;  // null for the bulb
  } kinds[] = {{lkRedLight, &QColor::red}, {lkGreenLight, &QColor::green}, {lkBlueLight, &QColor::blue},
               {lkYellowLight, nullptr},   {lkPurpleLight, nullptr},       {lkBulb, nullptr}};
  for (const auto& k : kinds) {
    TComLed led;
    led.SetKind(k.kind);
    Render(led);  // the default kind loads its pictures when painted
    for (const QPixmap* glyph : {&led.GlyphOn(), &led.GlyphOff()}) {
      const QImage image = glyph->toImage();
      ASSERT_EQ(image.size(), QSize(15, 15)) << int(k.kind);
      EXPECT_EQ(qAlpha(image.pixel(0, 14)), 0) << int(k.kind);
      EXPECT_EQ(qAlpha(image.pixel(7, 7)), 255) << int(k.kind);
    }
    // Lit is vivid; unlit is dark (lamps) or clear glass (bulb): both dull.
    const QColor on = Average(led.GlyphOn().toImage());
    EXPECT_GT(Chroma(on), Chroma(Average(led.GlyphOff().toImage())) + 40) << int(k.kind);
    if (k.strongest) {
      const int strongest = (on.*k.strongest)();
      EXPECT_EQ(strongest, std::max({on.red(), on.green(), on.blue()})) << int(k.kind);
    }
  }
  EXPECT_EQ(QImage(":/DECO").size(), QSize(32, 32));
}

}  // namespace
}  // namespace serial
