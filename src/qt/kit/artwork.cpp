#include "qt/kit/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "dialogs/main/main_layout.h"

namespace quillet {
namespace {

const QColor kNavy(0x0B, 0x25, 0x45);
const QColor kBlue(0x1D, 0x5C, 0x96);
const QColor kAmber(0xF2, 0xA5, 0x41);
const QColor kPassGreen(0x1E, 0x9E, 0x4A);
const QColor kPassGreenDark(0x12, 0x6E, 0x32);
const QColor kFailRed(0xD8, 0x3A, 0x34);
const QColor kFailRedDark(0x9E, 0x1F, 0x1B);

QFont SansFont(qreal pixel_size, bool bold) {
  QFont font("Liberation Sans");
  font.setPixelSize(std::max(1, qRound(pixel_size)));
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

// A chip with pins on all four sides and a quill nib across it, in a rounded square.
void PaintIcon(QPainter& p, const QRectF& box) {
  const qreal s = box.width();
  QLinearGradient back(box.topLeft(), box.bottomRight());
  back.setColorAt(0, kBlue.lighter(115));
  back.setColorAt(1, kNavy);
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(box, s * 0.2, s * 0.2);

  const QRectF chip(box.left() + s * 0.25, box.top() + s * 0.25, s * 0.5, s * 0.5);
  p.setPen(QPen(QColor(0xC9, 0xD6, 0xE3), std::max(1.0, s * 0.035), Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 4; ++i) {
    const qreal t = chip.left() + chip.width() * (0.2 + 0.2 * i);
    const qreal u = chip.top() + chip.height() * (0.2 + 0.2 * i);
    p.drawLine(QPointF(t, chip.top() - s * 0.1), QPointF(t, chip.top()));
    p.drawLine(QPointF(t, chip.bottom()), QPointF(t, chip.bottom() + s * 0.1));
    p.drawLine(QPointF(chip.left() - s * 0.1, u), QPointF(chip.left(), u));
    p.drawLine(QPointF(chip.right(), u), QPointF(chip.right() + s * 0.1, u));
  }
  p.setPen(QPen(QColor(0xC9, 0xD6, 0xE3), std::max(1.0, s * 0.02)));
  p.setBrush(QColor(0x10, 0x1B, 0x2B));
  p.drawRoundedRect(chip, s * 0.05, s * 0.05);

  // The quill: a feather vane from the lower left to the upper right, with its shaft.
  QPainterPath vane;
  const QPointF tip(chip.left() + chip.width() * 0.18, chip.bottom() - chip.height() * 0.18);
  const QPointF end(chip.right() + s * 0.02, chip.top() - s * 0.02);
  vane.moveTo(tip);
  vane.cubicTo(QPointF(tip.x() + s * 0.05, tip.y() - s * 0.28),
               QPointF(end.x() - s * 0.22, end.y() + s * 0.02), end);
  vane.cubicTo(QPointF(end.x() - s * 0.02, end.y() + s * 0.22),
               QPointF(tip.x() + s * 0.28, tip.y() - s * 0.05), tip);
  p.setPen(Qt::NoPen);
  p.setBrush(kAmber);
  p.drawPath(vane);
  p.setPen(QPen(kNavy, std::max(1.0, s * 0.025), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(tip, QPointF(end.x() - s * 0.06, end.y() + s * 0.06));
}

void PaintBanner(QPainter& p, const QRectF& r) {
  QLinearGradient back(r.topLeft(), r.topRight());
  back.setColorAt(0, kNavy);
  back.setColorAt(0.65, kBlue);
  back.setColorAt(1, kBlue.lighter(120));
  p.fillRect(r, back);

  // Faint circuit traces on the right.
  p.setPen(QPen(QColor(255, 255, 255, 38), 1.2));
  p.setBrush(Qt::NoBrush);
  const qreal h = r.height();
  for (int i = 0; i < 5; ++i) {
    const qreal y = r.top() + h * (0.2 + 0.15 * i);
    const qreal x0 = r.right() - h * (3.6 - 0.35 * i);
    QPainterPath trace;
    trace.moveTo(r.right() + 2, y);
    trace.lineTo(x0 + h * 0.5, y);
    trace.lineTo(x0, y + (i % 2 ? -1 : 1) * h * 0.12);
    p.drawPath(trace);
    p.drawEllipse(QPointF(x0, y + (i % 2 ? -1 : 1) * h * 0.12), h * 0.05, h * 0.05);
  }

  const qreal icon_size = h * 0.76;
  PaintIcon(p, QRectF(r.left() + h * 0.2, r.top() + (h - icon_size) / 2, icon_size, icon_size));
  const qreal text_x = r.left() + h * 0.35 + icon_size;
  p.setPen(Qt::white);
  p.setFont(SansFont(h * 0.44, true));
  p.drawText(QPointF(text_x, r.top() + h * 0.52), "Quillet");
  p.setPen(QColor(0xC9, 0xDB, 0xEE));
  p.setFont(SansFont(h * 0.24, false));
  p.drawText(QPointF(text_x, r.top() + h * 0.84),
             "Flash programming for 8051 and Cortex-M0 microcontrollers");
  p.setPen(QColor(255, 255, 255, 200));
  p.setFont(SansFont(h * 0.26, true));
  p.drawText(QRectF(r.left(), r.top(), r.width() - h * 0.3, h * 0.56), Qt::AlignRight | Qt::AlignBottom,
             "v7.10");
  // Accent line along the bottom edge.
  p.fillRect(QRectF(r.left(), r.bottom() - std::max(2.0, h * 0.06), r.width(), std::max(2.0, h * 0.06)),
             kAmber);
}

// A coloured plate with a round white badge and a big word: green with a tick, red with a cross.
void PaintResult(QPainter& p, const QRectF& r, bool pass) {
  const QColor light = pass ? kPassGreen : kFailRed;
  const QColor dark = pass ? kPassGreenDark : kFailRedDark;
  QLinearGradient back(r.topLeft(), r.bottomLeft());
  back.setColorAt(0, light);
  back.setColorAt(1, dark);
  p.setPen(QPen(dark.darker(120), 1));
  p.setBrush(back);
  const qreal h = r.height();
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), h * 0.18, h * 0.18);

  const qreal d = h * 0.72;
  const QRectF badge(r.left() + h * 0.16, r.top() + (h - d) / 2, d, d);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(badge);
  p.setPen(QPen(light, d * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  const QPointF c = badge.center();
  if (pass) {
    QPainterPath tick;
    tick.moveTo(c.x() - d * 0.24, c.y() + d * 0.01);
    tick.lineTo(c.x() - d * 0.06, c.y() + d * 0.19);
    tick.lineTo(c.x() + d * 0.25, c.y() - d * 0.18);
    p.drawPath(tick);
  } else {
    p.drawLine(QPointF(c.x() - d * 0.19, c.y() - d * 0.19), QPointF(c.x() + d * 0.19, c.y() + d * 0.19));
    p.drawLine(QPointF(c.x() + d * 0.19, c.y() - d * 0.19), QPointF(c.x() - d * 0.19, c.y() + d * 0.19));
  }
  p.setPen(Qt::white);
  p.setFont(SansFont(h * 0.62, true));
  const QRectF words(badge.right() + h * 0.25, r.top(), r.right() - badge.right() - h * 0.25, h);
  p.drawText(words, Qt::AlignLeft | Qt::AlignVCenter, pass ? "PASS" : "FAIL");
}

}  // namespace

QPixmap ArtworkPixmap(int resource, QSize size, qreal device_pixel_ratio) {
  if (size.isEmpty()) return {};
  QPixmap pixmap(size * device_pixel_ratio);
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QRectF area(QPointF(0, 0), QSizeF(size));
  switch (resource) {
    case kIconApp: {
      const qreal side = std::min(area.width(), area.height());
      PaintIcon(painter, QRectF(area.center() - QPointF(side / 2, side / 2), QSizeF(side, side)));
      break;
    }
    case kBitmapBanner:
      PaintBanner(painter, area);
      break;
    case kBitmapPass:
    case kBitmapFail:
      PaintResult(painter, area, resource == kBitmapPass);
      break;
    default:
      painter.end();
      return {};
  }
  return pixmap;
}

QIcon AppIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(ArtworkPixmap(kIconApp, QSize(side, side)));
  return icon;
}

}  // namespace quillet
