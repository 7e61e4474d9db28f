#pragma once
// Loading image files into the buffers: the "Load File" command, the reload that every operation
// runs first (a loaded file is read again from disk each time, so operations see its current
// contents), and the texts of the buffer view.
#include <optional>
#include <string>
#include <vector>

#include "core/images/image_buffer.h"
#include "core/images/image_window.h"
#include "core/job/job_settings.h"

namespace quillet {

class Reporter;

// Largest HEX text read: far beyond what any 256 KB image gives (about 720 KB with 16-byte records,
// under 8 MB with one byte a record); what bounds a HEX file is the image it writes.
constexpr std::size_t kHexTextLimit = 64u << 20;

// Tab 0 is APROM; tab 1 DataFlash when its tab is shown, else LDROM; tab 2 LDROM.
std::optional<ImageArea> AreaOfTab(int tab, bool data_flash_tab_shown);

// The open dialog's type list: HEX, binary and all files for APROM and LDROM, all files for DataFlash.
std::vector<FileFilter> LoadFileFilters(ImageArea area);

// A file loads through Hex_to_Bin when its extension begins with "hex" in any case (DataFlash never).
bool IsHexFile(ImageArea area, const std::string& file_ext);

// The area's selected-for-update flag in the job settings.
bool& SelectedFlag(JobSettings& job, ImageArea area);
bool SelectedFlag(const JobSettings& job, ImageArea area);

// The fields under the hex view for an image.
ImageTexts TextsOf(const ImageBuffer& image, const std::string& project_file_name);

void ShowImage(const ImageBuffers& images, ImageArea area, ImageView& view);
void ClearImageView(ImageView& view);

// Re-reads every area that has a file, recomputes the sums and stamps and refreshes the view (none
// when `view` is null). Failures are reported here ("Open APROM file error !", "Hex_to_Bin conversion
// failed !", a binary file over 256 KB) and end the reload; callers go on regardless. A HEX file's
// damaged records are not reported here: each reloaded area's hexScan tells of them.
void ReloadImages(ImageBuffers& images, const JobSettings& job, ImageView* view, Reporter& reporter);

// Points an area at a file as Load File does: path and its parts, isHex, storedName, hasFile; the
// file is read by the next reload.
void AttachImageFile(ImageBuffer& image, const std::string& path);

// The "Load File" button. The caller has already refused while an operation runs.
// Operations start only when no selected image was loaded from a damaged HEX text; 0 after a FAIL
// naming the first damaged line.
int CheckSelectedImagesIntact(const ImageBuffers& images, const JobSettings& job, Reporter& reporter);

void OnLoadFile(ImageBuffers& images, JobSettings& job, ImageWindow& window, Reporter& reporter);

}  // namespace quillet
