#pragma once
// Checks of the images against the space the selected part really offers. On several families
// DataFlash is carved out of APROM at an address set in CONFIG, so the APROM capacity shrinks as
// DataFlash grows; on the Ember part an LDROM switched on in CONFIG costs APROM too.
//
// Capacities are computed in signed 64-bit arithmetic and a negative result counts as 0: a CONFIG
// value that puts DataFlash outside the part then refuses every non-empty image instead of wrapping
// round to a huge capacity that lets anything through.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/catalogue/part_row.h"
#include "core/images/image_buffer.h"
#include "core/job/job_settings.h"

namespace quillet {

class Reporter;

// End of the Cortex-M0 flash: 0x20000; ApromLastAddress + 1 for Cedar, Dune and Fjord parts;
// 0x24400 for the Ember part, 0x23400 when CONFIG is selected and switches its LDROM on.
uint32_t ComputeFlashEnd(const PartRow& part, const JobSettings& job);

// Bytes the APROM image may take, with `flash_end` as ComputeFlashEnd gave it.
int64_t ApromCapacity(const PartRow& part, const JobSettings& job, uint32_t flash_end);

// Bytes the DataFlash image may take, or the message that refuses DataFlash altogether.
struct DataFlashLimit {
  int64_t capacity = 0;
  std::string_view refusal;  // "DataFlash is not enabled !", "DataFlash space is not configured !" or empty
};
DataFlashLimit DataFlashCapacity(const PartRow& part, const JobSettings& job, uint32_t flash_end);

// "Code size for APROM is too large (> 15.5 KB) !": bytes below 1 KB, whole KB, one decimal for
// half KB, else two decimals.
std::string SizeMessage(ImageArea area, int64_t limit);

// Each returns 1 when the image fits, else shows the FAIL report and returns 0. The APROM and
// DataFlash checks of a Cortex-M0 part store ComputeFlashEnd in images.FlashEnd.
int CheckApromSize(const PartRow& part, const JobSettings& job, ImageBuffers& images, Reporter& reporter);
int CheckDataFlashSize(const PartRow& part, const JobSettings& job, ImageBuffers& images, Reporter& reporter);
int CheckLdromSize(const PartRow& part, const JobSettings& job, const ImageBuffers& images,
                   Reporter& reporter);

// The serial number's APROM address, in ICP and ISP by COM Port (ISP passes at once): a multiple of
// 4 on Cortex-M0 parts, room for its 8 bytes within the APROM capacity (with images.FlashEnd as last
// computed), and in ICP after the APROM image. Failures show in the WARNING box.
int CheckSnAddress(const PartRow& part, const JobSettings& job, const ImageBuffers& images,
                   Reporter& reporter);

// What Update Chip checks before it starts: the size of every selected area (APROM, DataFlash,
// LDROM, stopping at the first failure), then the S/N address when S/N programming is enabled.
int CheckUpdateImages(const PartRow& part, const JobSettings& job, ImageBuffers& images, Reporter& reporter);

}  // namespace quillet
