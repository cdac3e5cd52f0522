#include "app/ProgramPictures.h"

#include <array>
#include <cmath>
#include <numbers>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

namespace lumetra {
namespace {

// A transparent canvas; pictures are drawn on QImage so that they can be made without a screen.
QImage Canvas(int width, int height) {
  QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  return canvas;
}

void Smooth(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Tahoma where it is installed; DejaVu Sans otherwise, which also has the Cyrillic letters.
QFont BoldFont(qreal pixel_size) {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
  font.setBold(true);
  font.setPixelSize(static_cast<int>(pixel_size));
  return font;
}

// ---- The signal -----------------------------------------------------------------------------------------

constexpr int kLightWidth = 105;
constexpr int kLightHeight = 86;
constexpr qreal kLightAxis = kLightWidth / 2.0;
constexpr qreal kLampRadius = 14.5;
constexpr qreal kRecessRadius = 17.5;
constexpr std::array<qreal, 2> kLampCentreY = {22.5, 63.5};  // upper, lower
const QRectF kLightBody(31, 1.5, 43, 83);

const QColor kSignalRed(232, 30, 36);
const QColor kSignalYellow(255, 196, 20);
const QColor kSignalGreen(26, 196, 72);

// The boards beside each lamp that shade it from the side, as on street signals.
void DrawSideBoards(QPainter& painter, qreal centre_y) {
  const qreal reach = 24;
  QPolygonF left;
  left << QPointF(kLightBody.left() + 2, centre_y - 17) << QPointF(kLightBody.left() - reach, centre_y - 17)
       << QPointF(kLightBody.left() + 2, centre_y + 13);
  QPolygonF right;
  for (const QPointF& point : left) right << QPointF(2 * kLightAxis - point.x(), point.y());

  QLinearGradient shade(0, centre_y - 17, 0, centre_y + 13);
  shade.setColorAt(0, QColor(52, 52, 52));
  shade.setColorAt(1, QColor(30, 30, 30));
  painter.setPen(QPen(QColor(10, 10, 10), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(shade);
  painter.drawPolygon(left);
  painter.drawPolygon(right);
}

void DrawBody(QPainter& painter) {
  QLinearGradient shade(kLightBody.topLeft(), kLightBody.topRight());
  shade.setColorAt(0, QColor(58, 58, 58));
  shade.setColorAt(0.35, QColor(40, 40, 40));
  shade.setColorAt(1, QColor(22, 22, 22));
  painter.setPen(QPen(QColor(8, 8, 8), 1.5));
  painter.setBrush(shade);
  painter.drawRoundedRect(kLightBody, 10, 10);
}

// One lamp in its recess; `lit` is the lamp's colour, or an invalid colour for a dark lamp.
void DrawLamp(QPainter& painter, qreal centre_y, const QColor& lit) {
  const QPointF centre(kLightAxis, centre_y);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(10, 10, 10));
  painter.drawEllipse(centre, kRecessRadius, kRecessRadius);

  // The light falls from above-left, so each lamp is brightest there.
  const QPointF focus = centre + QPointF(-4.5, -5.5);
  QRadialGradient glass(centre, kLampRadius, focus);
  if (lit.isValid()) {
    QRadialGradient glow(centre, kRecessRadius);
    QColor inner = lit;
    inner.setAlpha(190);
    QColor outer = lit;
    outer.setAlpha(0);
    glow.setColorAt(kLampRadius / kRecessRadius, inner);
    glow.setColorAt(1, outer);
    painter.setBrush(glow);
    painter.drawEllipse(centre, kRecessRadius, kRecessRadius);

    glass.setColorAt(0, lit.lighter(150));
    glass.setColorAt(0.45, lit);
    glass.setColorAt(1, lit.darker(135));
  } else {
    glass.setColorAt(0, QColor(74, 74, 74));
    glass.setColorAt(0.6, QColor(48, 48, 48));
    glass.setColorAt(1, QColor(32, 32, 32));
  }
  painter.setBrush(glass);
  painter.setPen(QPen(QColor(0, 0, 0, 160), 1));
  painter.drawEllipse(centre, kLampRadius, kLampRadius);

  if (lit.isValid()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawEllipse(centre + QPointF(-5.5, -7), 4.5, 2.8);
  }
}

// ---- The empty film -------------------------------------------------------------------------------------

constexpr int kNoPhotosWidth = 730;
constexpr int kNoPhotosHeight = 627;
constexpr qreal kFilmMargin = 16;
constexpr qreal kPerforationBand = 30;
constexpr qreal kFrameInset = 12;

const QColor kNoPhotosRed(226, 34, 34);

QBrush PaperBrush() {
  QLinearGradient paper(0, 0, 0, kNoPhotosHeight);
  paper.setColorAt(0, QColor(246, 246, 246));
  paper.setColorAt(1, QColor(226, 226, 226));
  return paper;
}

// The strip's base with its sprocket holes punched through to the background.
void DrawStrip(QPainter& painter, const QRectF& strip) {
  painter.setPen(Qt::NoPen);
  for (int layer = 1; layer <= 3; ++layer) {
    painter.setBrush(QColor(0, 0, 0, 22));
    painter.drawRoundedRect(strip.translated(0, layer), 6, 6);
  }
  QLinearGradient base(strip.topLeft(), strip.bottomLeft());
  base.setColorAt(0, QColor(44, 44, 44));
  base.setColorAt(1, QColor(26, 26, 26));
  painter.setBrush(base);
  painter.drawRoundedRect(strip, 6, 6);

  const qreal hole_width = 14;
  const qreal hole_height = 10;
  const qreal pitch = 26;
  const int holes = static_cast<int>((strip.width() - 2 * kFrameInset + pitch - hole_width) / pitch);
  const qreal first = strip.left() + (strip.width() - ((holes - 1) * pitch + hole_width)) / 2;
  painter.setBrush(PaperBrush());
  for (qreal band_centre : {strip.top() + kPerforationBand / 2, strip.bottom() - kPerforationBand / 2}) {
    for (int i = 0; i < holes; ++i) {
      painter.drawRoundedRect(QRectF(first + i * pitch, band_centre - hole_height / 2, hole_width, hole_height), 2.5,
                              2.5);
    }
  }
}

// An unexposed frame: grey, with a faint picture of hills under a sun to say "a photo goes here".
void DrawEmptyFrame(QPainter& painter, const QRectF& frame) {
  QLinearGradient fill(frame.topLeft(), frame.bottomRight());
  fill.setColorAt(0, QColor(66, 66, 66));
  fill.setColorAt(1, QColor(50, 50, 50));
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(frame, 3, 3);

  const QColor mark(82, 82, 82);
  painter.setBrush(mark);
  const qreal unit = frame.height() / 10;
  painter.drawEllipse(QPointF(frame.right() - 3.2 * unit, frame.top() + 3 * unit), 1.1 * unit, 1.1 * unit);
  const qreal ground = frame.bottom() - 1.8 * unit;
  const QPointF mid(frame.center().x(), ground);
  QPolygonF hills;
  hills << QPointF(mid.x() - 5 * unit, ground) << QPointF(mid.x() - 2 * unit, ground - 4.5 * unit)
        << QPointF(mid.x() + 0.3 * unit, ground - 1.8 * unit) << QPointF(mid.x() + 1.8 * unit, ground - 3.2 * unit)
        << QPointF(mid.x() + 5 * unit, ground);
  painter.drawPolygon(hills);
}

// The largest bold font, up to `start` pixels, in which `text` fits inside `room`.
QFont FittingFont(const QString& text, const QSizeF& room, qreal start) {
  for (qreal size = start; size > 8; size -= 1) {
    const QFont font = BoldFont(size);
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.boundingRect(text);
    if (metrics.horizontalAdvance(text) <= room.width() && ink.width() <= room.width() &&
        metrics.height() <= room.height()) {
      return font;
    }
  }
  return BoldFont(8);
}

// ---- The icon ------------------------------------------------------------------------------------------

// Drawn on a 64-unit square and scaled, with the aperture blades left out where they would be a smudge.
QPixmap IconPicture(int size) {
  QImage canvas = Canvas(size, size);
  QPainter painter(&canvas);
  Smooth(painter);
  painter.scale(size / 64.0, size / 64.0);

  const QPointF centre(32, 29);
  QRadialGradient barrel(centre, 28, centre + QPointF(-8, -10));
  barrel.setColorAt(0, QColor(92, 104, 120));
  barrel.setColorAt(1, QColor(36, 42, 52));
  painter.setPen(QPen(QColor(20, 24, 30), 1.5));
  painter.setBrush(barrel);
  painter.drawEllipse(centre, 27, 27);

  QRadialGradient glass(centre, 19, centre + QPointF(-6, -7));
  glass.setColorAt(0, QColor(96, 160, 230));
  glass.setColorAt(0.5, QColor(30, 80, 150));
  glass.setColorAt(1, QColor(10, 28, 60));
  painter.setPen(Qt::NoPen);
  painter.setBrush(glass);
  painter.drawEllipse(centre, 19, 19);

  if (size >= 32) {
    QPolygonF aperture;
    for (int corner = 0; corner < 6; ++corner) {
      const qreal angle = (corner * 60 + 15) * std::numbers::pi / 180;
      aperture << centre + QPointF(std::cos(angle), std::sin(angle)) * 9;
    }
    painter.setPen(QPen(QColor(150, 200, 250, 170), 1.2));
    painter.setBrush(QColor(8, 20, 44, 200));
    painter.drawPolygon(aperture);
    for (const QPointF& corner : aperture) painter.drawLine(corner, centre + (corner - centre) * 2.0);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 120));
  painter.drawEllipse(centre + QPointF(-8, -9), 4, 2.6);

  struct Bar {
    qreal left;
    qreal height;
    QColor colour;
  };
  const std::array<Bar, 3> bars = {{
      {10, 24, QColor(242, 156, 18)},
      {26, 36, QColor(46, 184, 92)},
      {42, 28, QColor(232, 68, 58)},
  }};
  const qreal baseline = 60;
  // Below 64 pixels a thin outline is only a blur; the gaps between the bars show the lens instead, and at
  // 16 pixels the bars move half a pixel to land on whole pixels.
  painter.setPen(size >= 64 ? QPen(QColor(255, 255, 255), 1.5) : QPen(Qt::NoPen));
  if (size < 32) painter.translate(-2, 0);
  for (const Bar& bar : bars) {
    painter.setBrush(bar.colour);
    painter.drawRect(QRectF(bar.left, baseline - bar.height, 12, bar.height));
  }
  painter.end();
  return QPixmap::fromImage(canvas);
}

}  // namespace

QPixmap TrafficLightPicture(TrafficLight light) {
  QColor upper;
  QColor lower;
  switch (light) {
    case TrafficLight::kRed:
      upper = kSignalRed;
      break;
    case TrafficLight::kYellow:
      upper = kSignalYellow;
      lower = kSignalYellow;
      break;
    case TrafficLight::kGreen:
      lower = kSignalGreen;
      break;
  }

  QImage canvas = Canvas(kLightWidth, kLightHeight);
  QPainter painter(&canvas);
  Smooth(painter);
  for (qreal centre_y : kLampCentreY) DrawSideBoards(painter, centre_y);
  DrawBody(painter);
  DrawLamp(painter, kLampCentreY[0], upper);
  DrawLamp(painter, kLampCentreY[1], lower);
  painter.end();
  return QPixmap::fromImage(canvas);
}

QPixmap NoPhotosPicture(Language language) {
  const QString text =
      language == kRussian ? QStringLiteral("Нет фотографий с EXIF") : QStringLiteral("No photos with EXIF");

  QImage canvas = Canvas(kNoPhotosWidth, kNoPhotosHeight);
  QPainter painter(&canvas);
  Smooth(painter);
  painter.fillRect(canvas.rect(), PaperBrush());

  const qreal strip_height = (kNoPhotosHeight - 4 * kFilmMargin) / 3;
  const qreal strip_width = kNoPhotosWidth - 2 * kFilmMargin;
  for (int row = 0; row < 3; ++row) {
    const QRectF strip(kFilmMargin, kFilmMargin + row * (strip_height + kFilmMargin), strip_width, strip_height);
    DrawStrip(painter, strip);
    const QRectF gate = strip.adjusted(kFrameInset, kPerforationBand, -kFrameInset, -kPerforationBand);
    if (row != 1) {
      constexpr int kFrames = 4;
      const qreal frame_width = (gate.width() - (kFrames - 1) * kFrameInset) / kFrames;
      for (int i = 0; i < kFrames; ++i) {
        DrawEmptyFrame(painter,
                       QRectF(gate.left() + i * (frame_width + kFrameInset), gate.top(), frame_width, gate.height()));
      }
      continue;
    }

    // The message runs along the middle strip on a blank frame, in the largest font that fits it. It is
    // drawn unclipped, so that a misfit shows instead of quietly losing letters.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(34, 34, 34));
    painter.drawRoundedRect(gate, 3, 3);
    const QRectF room = gate.adjusted(28, 12, -28, -12);
    painter.setFont(FittingFont(text, room.size(), 58));
    painter.setPen(QColor(0, 0, 0, 170));
    painter.drawText(room.translated(2, 2), Qt::AlignCenter | Qt::TextDontClip, text);
    painter.setPen(kNoPhotosRed);
    painter.drawText(room, Qt::AlignCenter | Qt::TextDontClip, text);
  }
  painter.end();
  return QPixmap::fromImage(canvas);
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 64}) icon.addPixmap(IconPicture(size));
  return icon;
}

}  // namespace lumetra
