#include "app/qt/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>
#include <cmath>
#include <numbers>

// The resources live in a static library: nothing else would pull them in.
static void LoadArtworkResources() { Q_INIT_RESOURCE(vantorel); }

namespace vantorel::app {
namespace {

const QColor kFaceTop(27, 66, 92);
const QColor kFaceBottom(9, 27, 40);
const QColor kScale(255, 255, 255, 16);
const QColor kTitle(236, 244, 248);
const QColor kSubtitle(150, 196, 214);
const QColor kMast(222, 234, 241);
const QColor kWaveLeft(63, 211, 160);
const QColor kWaveRight(255, 193, 90);

// The mast stands right of the port panel, the trace runs under it.
constexpr QPointF kMastTop{256.0, 70.0};
constexpr qreal kTraceMiddle = 164.0;

void PaintFace(QPainter& painter, const QRectF& area) {
  QLinearGradient face(area.topLeft(), area.bottomLeft());
  face.setColorAt(0.0, kFaceTop);
  face.setColorAt(1.0, kFaceBottom);
  painter.fillRect(area, face);

  // A faint scale, like the graticule of a scope.
  painter.setPen(QPen(kScale, 1.0));
  for (qreal x = 8.5; x < area.right(); x += 16.0) {
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
  }
  for (qreal y = 8.5; y < area.bottom(); y += 16.0) {
    painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
  }
}

// Draws a line of lettering; returns where it ends.
qreal PaintLettering(QPainter& painter, const QString& text, QPointF at, int pixelSize, bool bold,
                     qreal spacingPercent, const QColor& colour) {
  QFont font = painter.font();
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setLetterSpacing(QFont::PercentageSpacing, spacingPercent);
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(at, text);
  return at.x() + QFontMetricsF(font).horizontalAdvance(text);
}

void PaintName(QPainter& painter) {
  const qreal end =
      PaintLettering(painter, QStringLiteral("Vantorel"), {12.0, 30.0}, 20, true, 104, kTitle);
  PaintLettering(painter, QStringLiteral("CAT BRIDGE"), {end + 8.0, 29.0}, 10, false, 110,
                 kSubtitle);
}

void PaintMast(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal baseY = kMastTop.y() + 46.0;
  QPen mast(kMast, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(mast);
  const QPointF top = kMastTop + QPointF(0.0, 6.0);
  painter.drawLine(top, QPointF(kMastTop.x() - 13.0, baseY));
  painter.drawLine(top, QPointF(kMastTop.x() + 13.0, baseY));
  painter.drawLine(QPointF(kMastTop.x() - 9.0, baseY - 14.0),
                   QPointF(kMastTop.x() + 9.0, baseY - 14.0));
  painter.drawLine(QPointF(kMastTop.x() - 5.0, baseY - 28.0),
                   QPointF(kMastTop.x() + 5.0, baseY - 28.0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(kMast);
  painter.drawEllipse(kMastTop, 4.0, 4.0);

  // Waves out of both sides: green for what the application says, amber for
  // what the radio says.
  painter.setBrush(Qt::NoBrush);
  const std::array<qreal, 2> radii{12.0, 21.0};
  for (std::size_t i = 0; i < radii.size(); ++i) {
    const qreal r = radii[i];
    const QRectF box(kMastTop.x() - r, kMastTop.y() - r, 2 * r, 2 * r);
    QColor left = kWaveLeft;
    QColor right = kWaveRight;
    left.setAlphaF(i == 0 ? 1.0 : 0.65);
    right.setAlphaF(i == 0 ? 1.0 : 0.65);
    painter.setPen(QPen(left, 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(box, 135 * 16, 90 * 16);
    painter.setPen(QPen(right, 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(box, -45 * 16, 90 * 16);
  }
}

// A keyed carrier's envelope: a burst that rises and falls, twice.
void PaintTrace(QPainter& painter, qreal width) {
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath trace;
  constexpr qreal kPi = std::numbers::pi;
  for (qreal x = 0.0; x <= width; x += 1.0) {
    const qreal envelope = 0.25 + 0.75 * std::pow(std::sin(kPi * x / (width / 2.0)), 2.0);
    const qreal y = kTraceMiddle - 18.0 * envelope * std::sin(x / 4.2);
    if (x == 0.0) {
      trace.moveTo(x, y);
    } else {
      trace.lineTo(x, y);
    }
  }
  QLinearGradient colour(QPointF(0.0, 0.0), QPointF(width, 0.0));
  colour.setColorAt(0.0, kWaveLeft);
  colour.setColorAt(1.0, kWaveRight);
  QColor glow = kWaveLeft;
  glow.setAlpha(40);
  painter.setPen(QPen(glow, 5.0));
  painter.drawPath(trace);
  painter.setPen(QPen(QBrush(colour), 1.4));
  painter.drawPath(trace);

  // The axis the trace rides on.
  painter.setPen(QPen(QColor(255, 255, 255, 40), 1.0, Qt::DashLine));
  painter.drawLine(QPointF(0.0, kTraceMiddle + 0.5), QPointF(width, kTraceMiddle + 0.5));
}

}  // namespace

void PaintBackgroundPicture(QPainter& painter) {
  painter.save();
  const QRectF area(QPointF(0.0, 0.0), QSizeF(kBackgroundPictureSize));
  painter.setClipRect(area);
  PaintFace(painter, area);
  PaintName(painter);
  PaintMast(painter);
  PaintTrace(painter, area.width());
  painter.restore();
}

QIcon ApplicationIcon() {
  LoadArtworkResources();
  QSvgRenderer renderer(QStringLiteral(":/vantorel/vantorel.svg"));
  QIcon icon;
  if (!renderer.isValid()) {
    return icon;
  }
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace vantorel::app
