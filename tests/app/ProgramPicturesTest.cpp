// The program's own pictures, drawn off-screen and read back pixel by pixel.

#include <algorithm>

#include <QtTest/QtTest>

#include "app/ProgramPictures.h"

namespace lumetra {
namespace {

enum class Hue { kNone, kRed, kYellow, kGreen };

Hue HueOf(QRgb pixel) {
  const int r = qRed(pixel);
  const int g = qGreen(pixel);
  const int b = qBlue(pixel);
  if (r >= 190 && g >= 140 && b <= 120) return Hue::kYellow;
  if (r >= 170 && g <= 90 && b <= 90) return Hue::kRed;
  if (g >= 140 && r <= 110 && b <= 150) return Hue::kGreen;
  return Hue::kNone;
}

int Brightest(QRgb pixel) { return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}); }
int Darkest(QRgb pixel) { return std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}); }

// What the opaque pixels of one band of rows show.
struct Band {
  int red = 0;
  int yellow = 0;
  int green = 0;
  int grey = 0;    // mid-dark grey, as an unlit lamp
  int bright = 0;  // any colour a dark body and an unlit lamp never have
};

Band Survey(const QImage& image, int top, int bottom) {
  Band band;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) < 255) continue;
      switch (HueOf(pixel)) {
        case Hue::kRed:
          ++band.red;
          break;
        case Hue::kYellow:
          ++band.yellow;
          break;
        case Hue::kGreen:
          ++band.green;
          break;
        case Hue::kNone:
          break;
      }
      if (Brightest(pixel) >= 100) ++band.bright;
      const bool neutral = Brightest(pixel) - Darkest(pixel) <= 6;
      if (neutral && Brightest(pixel) >= 40 && Brightest(pixel) < 100) ++band.grey;
    }
  }
  return band;
}

int CountOf(const Band& band, Hue hue) {
  switch (hue) {
    case Hue::kRed:
      return band.red;
    case Hue::kYellow:
      return band.yellow;
    case Hue::kGreen:
      return band.green;
    case Hue::kNone:
      break;
  }
  return 0;
}

// A lit lamp covers a few hundred pixels of its own colour and no other; an unlit one stays dark grey.
void CheckLamp(const Band& band, Hue lit) {
  for (Hue hue : {Hue::kRed, Hue::kYellow, Hue::kGreen}) {
    if (hue == lit) {
      QVERIFY2(CountOf(band, hue) > 300, qPrintable(QString::number(CountOf(band, hue))));
    } else {
      QCOMPARE(CountOf(band, hue), 0);
    }
  }
  if (lit == Hue::kNone) {
    QCOMPARE(band.bright, 0);
    QVERIFY2(band.grey > 300, qPrintable(QString::number(band.grey)));
  }
}

QImage Pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

bool IsRedLetter(QRgb pixel) { return qRed(pixel) >= 170 && qGreen(pixel) <= 80 && qBlue(pixel) <= 80; }

// The smallest rectangle holding every red pixel; null when there is none.
QRect RedInk(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (IsRedLetter(image.pixel(x, y))) ink |= QRect(x, y, 1, 1);
    }
  }
  return ink;
}

}  // namespace

class ProgramPicturesTest : public QObject {
  Q_OBJECT

 private slots:
  void trafficLightLightsItsLamps_data() {
    QTest::addColumn<TrafficLight>("light");
    QTest::addColumn<Hue>("upper");
    QTest::addColumn<Hue>("lower");
    QTest::newRow("red") << TrafficLight::kRed << Hue::kRed << Hue::kNone;
    QTest::newRow("yellow") << TrafficLight::kYellow << Hue::kYellow << Hue::kYellow;
    QTest::newRow("green") << TrafficLight::kGreen << Hue::kNone << Hue::kGreen;
  }

  void trafficLightLightsItsLamps() {
    QFETCH(TrafficLight, light);
    QFETCH(Hue, upper);
    QFETCH(Hue, lower);
    const QImage image = Pixels(TrafficLightPicture(light));
    QCOMPARE(image.size(), QSize(105, 86));
    const int middle = image.height() / 2;
    CheckLamp(Survey(image, 0, middle), upper);
    CheckLamp(Survey(image, middle, image.height()), lower);
    // The signal is cut out: the window shows through around its body.
    for (const QPoint corner : {QPoint(0, 0), QPoint(image.width() - 1, 0), QPoint(0, image.height() - 1),
                                QPoint(image.width() - 1, image.height() - 1)}) {
      QCOMPARE(qAlpha(image.pixel(corner)), 0);
    }
  }

  void noPhotosLettersStayInsideTheMiddleStrip_data() {
    QTest::addColumn<bool>("russian");
    QTest::newRow("english") << false;
    QTest::newRow("russian") << true;
  }

  void noPhotosLettersStayInsideTheMiddleStrip() {
    QFETCH(bool, russian);
    const QImage image = Pixels(NoPhotosPicture(russian ? kRussian : kEnglish));
    QCOMPARE(image.size(), QSize(730, 627));
    // Light around the film, to sit in a light window.
    QVERIFY(qGray(image.pixel(0, 0)) > 200);
    QVERIFY(qGray(image.pixel(image.width() - 1, image.height() - 1)) > 200);

    const QRect ink = RedInk(image);
    QVERIFY(!ink.isNull());
    QVERIFY2(ink.top() > image.height() / 3 && ink.bottom() < image.height() * 2 / 3,
             qPrintable(QStringLiteral("letters at rows %1..%2").arg(ink.top()).arg(ink.bottom())));
    QVERIFY(ink.width() > image.width() / 3);
    // A ring around the letters is all dark film: nothing clipped by the strip's edge or its sprocket holes.
    const QRect ring = ink.adjusted(-6, -6, 6, 6);
    QVERIFY(image.rect().contains(ring));
    QList<QPoint> around;
    for (int x = ring.left(); x <= ring.right(); ++x) around << QPoint(x, ring.top()) << QPoint(x, ring.bottom());
    for (int y = ring.top(); y <= ring.bottom(); ++y) around << QPoint(ring.left(), y) << QPoint(ring.right(), y);
    for (const QPoint point : around) {
      QVERIFY2(Brightest(image.pixel(point)) < 80,
               qPrintable(QStringLiteral("light film at %1,%2").arg(point.x()).arg(point.y())));
    }
  }

  void noPhotosSpeaksTheLanguageAskedFor() {
    const QImage english = Pixels(NoPhotosPicture(kEnglish));
    const QImage russian = Pixels(NoPhotosPicture(kRussian));
    QVERIFY(russian != english);
    QVERIFY(RedInk(russian) != RedInk(english));
  }

  void iconComesInThreeSizes() {
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 32, 64}) {
      QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
      const QImage image = Pixels(icon.pixmap(QSize(side, side)));
      QCOMPARE(image.size(), QSize(side, side));
      QCOMPARE(qAlpha(image.pixel(side / 2, side / 2)), 255);
      QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::ProgramPicturesTest)
#include "ProgramPicturesTest.moc"
