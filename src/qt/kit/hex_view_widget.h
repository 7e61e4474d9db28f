#pragma once
// The hex view of the main window's buffer tabs and of the Read Chip window: offset, 16 bytes and
// their characters per row. Only the rows in view are painted, so scrolling through a 256 KB buffer
// costs the same as through one row.
#include <QAbstractScrollArea>

#include "dialogs/kit/hex_dump.h"

namespace quillet {

class HexViewWidget : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit HexViewWidget(QWidget* parent = nullptr);

  // Shows these bytes from offset 0, replacing what showed before. The bytes are copied.
  void SetBytes(const uint8_t* data, std::size_t size);
  const HexDump& dump() const { return dump_; }
  // The first row in view.
  std::size_t TopRow() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct Columns {
    int char_width, line_height, ascent;
    int offset_x, bytes_x, byte_pitch, group_gap, ascii_x, total_width;
  };
  Columns Measure() const;
  void UpdateScrollBars();

  HexDump dump_;
};

}  // namespace quillet
