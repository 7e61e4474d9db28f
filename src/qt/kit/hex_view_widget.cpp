#include "qt/kit/hex_view_widget.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace quillet {
namespace {

constexpr int kMargin = 4;

}  // namespace

HexViewWidget::HexViewWidget(QWidget* parent) : QAbstractScrollArea(parent) {
  QFont font("Liberation Mono");
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(10);
  setFont(font);
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  UpdateScrollBars();
}

void HexViewWidget::SetBytes(const uint8_t* data, std::size_t size) {
  dump_.SetBytes(data, size);
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

std::size_t HexViewWidget::TopRow() const {
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

HexViewWidget::Columns HexViewWidget::Measure() const {
  const QFontMetrics metrics(font());
  Columns c{};
  c.char_width = metrics.horizontalAdvance(QLatin1Char('0'));
  c.line_height = metrics.height();
  c.ascent = metrics.ascent();
  // A byte takes two digits and half a character of space; the two halves of a row are set apart
  // by another half character, the columns by one and a half.
  c.byte_pitch = 2 * c.char_width + c.char_width / 2;
  c.group_gap = c.char_width / 2;
  c.offset_x = kMargin;
  c.bytes_x = c.offset_x + 5 * c.char_width + 3 * c.char_width / 2;
  c.ascii_x = c.bytes_x + 16 * c.byte_pitch + c.group_gap + c.char_width;
  c.total_width = c.ascii_x + 16 * c.char_width + kMargin;
  return c;
}

void HexViewWidget::UpdateScrollBars() {
  const Columns c = Measure();
  const int visible_rows = std::max(1, viewport()->height() / c.line_height);
  const int rows = static_cast<int>(dump_.RowCount());
  verticalScrollBar()->setRange(0, std::max(0, rows - visible_rows));
  verticalScrollBar()->setPageStep(visible_rows);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setRange(0, std::max(0, c.total_width - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(c.char_width);
}

void HexViewWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void HexViewWidget::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateScrollBars();
}

void HexViewWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const Columns c = Measure();
  const QPalette& pal = palette();
  const int dx = -horizontalScrollBar()->value();
  const QRect dirty = event->rect();

  if (dump_.RowCount() == 0) return;
  // The offset column on a tinted band, a rule before the characters.
  painter.fillRect(QRect(0, 0, dx + c.bytes_x - c.char_width / 2, viewport()->height()),
                   pal.color(QPalette::AlternateBase));
  const int rule_x = dx + c.ascii_x - c.char_width / 2;
  painter.setPen(pal.color(QPalette::Mid));
  painter.drawLine(rule_x, 0, rule_x, viewport()->height());

  const QColor offset_color = pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Dark);
  const QColor byte_color = pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
  const QColor ascii_color = isEnabled() ? QColor(0x1F, 0x4E, 0x8C) : byte_color;

  const std::size_t first = TopRow() + static_cast<std::size_t>(std::max(0, dirty.top()) / c.line_height);
  const std::size_t last = TopRow() + static_cast<std::size_t>(dirty.bottom() / c.line_height) + 1;
  for (std::size_t row = first; row <= last && row < dump_.RowCount(); ++row) {
    const int y = static_cast<int>(row - TopRow()) * c.line_height;
    const int baseline = y + c.ascent;
    const auto bytes = dump_.Row(row);
    painter.setPen(offset_color);
    painter.drawText(dx + c.offset_x, baseline,
                     QString::fromStdString(HexOffsetText(row * HexDump::kBytesPerRow)));
    painter.setPen(byte_color);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const int x = dx + c.bytes_x + static_cast<int>(i) * c.byte_pitch + (i >= 8 ? c.group_gap : 0);
      painter.drawText(x, baseline, QString::fromStdString(HexByteText(bytes[i])));
    }
    painter.setPen(ascii_color);
    painter.drawText(dx + c.ascii_x, baseline, QString::fromStdString(HexAsciiText(bytes)));
  }
}

}  // namespace quillet
