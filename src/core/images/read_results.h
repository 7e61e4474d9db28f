#pragma once
// What the last Verify Chip, Read Chip or information report read from a chip or a Programmer: the
// three read buffers, the CONFIG bytes read back and the part they belong to. The Read Chip viewer
// and the CONFIG views show them; nothing but a read writes them.
#include <array>
#include <cstdint>
#include <memory>

#include "core/images/image_buffer.h"

namespace quillet {

using ReadBuffer = std::array<uint8_t, kImageCapacity>;

struct ReadResults {
  // APROM, DataFlash and LDROM as read; all 0xFF before each ICP read. Heap-held: 768 KB.
  std::unique_ptr<ReadBuffer> aprom = std::make_unique<ReadBuffer>();
  std::unique_ptr<ReadBuffer> dataFlash = std::make_unique<ReadBuffer>();
  std::unique_ptr<ReadBuffer> ldrom = std::make_unique<ReadBuffer>();
  std::array<uint8_t, 8> ReadConfigBytes{};   // CONFIG read last, stored order
  std::array<uint8_t, 8> ShownConfigBytes{};  // CONFIG the read-only views show, stored order
  uint32_t ReadPartCode = 0;                  // PartCode at the last CONFIG read
  uint32_t FlashEnd = 0x20000;                // end of the Cortex-M0 flash that sized the read
  uint32_t ReadApromLast = 0;                 // last APROM address the last ICP read asked for
  uint32_t ReadDataFlashLast = 0;             // last DataFlash address the last ICP read asked for
  bool DataFlashWasRead = false;
  bool LdromWasRead = false;
  bool VerifyByReading = false;  // a Verify Chip runs the read
  bool ReadCompleted = false;    // that read ran to its end

  ReadBuffer& operator[](ImageArea area) {
    return area == ImageArea::Aprom ? *aprom : area == ImageArea::DataFlash ? *dataFlash : *ldrom;
  }
  const ReadBuffer& operator[](ImageArea area) const {
    return area == ImageArea::Aprom ? *aprom : area == ImageArea::DataFlash ? *dataFlash : *ldrom;
  }
};

}  // namespace quillet
