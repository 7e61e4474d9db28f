#include "core/images/image_loader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/images/hex_damage.h"
#include "core/images/hex_to_bin.h"
#include "core/report/reporter.h"
#include "core/sys/file_io.h"
#include "core/sys/file_time.h"

namespace quillet {
namespace {

// The text that refuses a file too large for its limit.
std::string TooLargeMessage(ImageArea area, bool is_hex) {
  return std::string(AreaName(area)) +
         (is_hex ? " file is too large (> 64 MB) !" : " file is too large (> 256 KB) !");
}

// Reads one area's file into its buffer. Returns 0 when the reload has to stop (message shown).
int ReloadArea(ImageBuffer& image, Reporter& reporter) {
  const auto modified = FileModifiedLocalTime(image.path);
  const auto file =
      modified ? ReadFileLimited(image.path, image.isHex ? kHexTextLimit : kImageCapacity) : std::nullopt;
  if (!file) {
    reporter.ShowFail("Open " + std::string(AreaName(image.area)) + " file error !");
    return 0;
  }
  image.SetStampTime(modified->tm_sec, modified->tm_min);
  if (file->truncated) {
    reporter.ShowFail(TooLargeMessage(image.area, image.isHex));
    return 0;
  }
  if (image.isHex) {
    if (!Hex_to_Bin(file->bytes, 0x00, image.Data(), image.size, reporter)) {
      reporter.ShowFail("Hex_to_Bin conversion failed !");
      return 0;
    }
    image.hexScan = ScanHexText(file->bytes);
  } else {
    image.hexScan = {};
    // The rest of the buffer keeps what it held.
    std::copy(file->bytes.begin(), file->bytes.end(), image.data.begin());
    image.size = static_cast<uint32_t>(file->bytes.size());
  }
  image.UpdateSums();
  image.UpdateStampSums();
  return 1;
}

}  // namespace

std::optional<ImageArea> AreaOfTab(int tab, bool data_flash_tab_shown) {
  switch (tab) {
    case 0:
      return ImageArea::Aprom;
    case 1:
      return data_flash_tab_shown ? ImageArea::DataFlash : ImageArea::Ldrom;
    case 2:
      return ImageArea::Ldrom;
    default:
      return std::nullopt;
  }
}

std::vector<FileFilter> LoadFileFilters(ImageArea area) {
  const FileFilter all{"All Files (*.*)", "*.*"};
  if (area == ImageArea::DataFlash) return {all};
  return {{"HEX Files (*.HEX)", "*.HEX"}, {"Binary Files (*.BIN)", "*.BIN"}, all};
}

bool IsHexFile(ImageArea area, const std::string& file_ext) {
  if (area == ImageArea::DataFlash || file_ext.size() < 3) return false;
  const auto lower = [&](std::size_t i) { return std::tolower(static_cast<unsigned char>(file_ext[i])); };
  return lower(0) == 'h' && lower(1) == 'e' && lower(2) == 'x';
}

bool& SelectedFlag(JobSettings& job, ImageArea area) {
  switch (area) {
    case ImageArea::Aprom:
      return job.ApromSelected;
    case ImageArea::DataFlash:
      return job.DataFlashSelected;
    case ImageArea::Ldrom:
      break;
  }
  return job.LdromSelected;
}

bool SelectedFlag(const JobSettings& job, ImageArea area) {
  return SelectedFlag(const_cast<JobSettings&>(job), area);
}

ImageTexts TextsOf(const ImageBuffer& image, const std::string& project_file_name) {
  ImageTexts texts;
  texts.fileName = image.fromProject ? project_file_name + "\\" + image.StoredName() : image.path;
  char text[32];
  std::snprintf(text, sizeof text, "%d Bytes", static_cast<int>(image.size));
  texts.size = text;
  std::snprintf(text, sizeof text, "0x%04X", image.checksum & 0xFFFF);
  texts.checksum = text;
  texts.sizeLabel = image.area == ImageArea::DataFlash ? "Data Size:" : "Code Size:";
  return texts;
}

void ShowImage(const ImageBuffers& images, ImageArea area, ImageView& view) {
  const ImageBuffer& image = images[area];
  view.ShowHexView(image.Bytes(), TextsOf(image, images.project.fileName));
}

void ClearImageView(ImageView& view) {
  view.ClearHexView();
}

void ReloadImages(ImageBuffers& images, const JobSettings& job, ImageView* view, Reporter& reporter) {
  if (!images.AnyFile()) {
    if (view) ClearImageView(*view);
    return;
  }
  for (ImageArea area : kImageAreas) {
    ImageBuffer& image = images[area];
    if (image.hasFile && !ReloadArea(image, reporter)) return;
  }
  if (view) {
    ClearImageView(*view);
    const auto shown = AreaOfTab(view->CurrentTab(), view->DataFlashTabShown());
    if (shown && images[*shown].hasFile) ShowImage(images, *shown, *view);
  }
  for (ImageArea area : kImageAreas)
    if (!SelectedFlag(job, area)) images[area].ClearStampChecksumLow();
  images.ConfigChecksum = job.ConfigSelected ? ConfigByteSum(job.ConfigBytes) : 0;
  images.aprom.ImageStamp[0] = static_cast<uint8_t>(images.ConfigChecksum & 0xFF);
  images.aprom.ImageStamp[1] = static_cast<uint8_t>(images.ConfigChecksum >> 8);
}

void AttachImageFile(ImageBuffer& image, const std::string& path) {
  FileNameParts parts = SplitFileName(path);
  image.path = std::move(parts.path);
  image.fileName = std::move(parts.fileName);
  image.fileTitle = std::move(parts.fileTitle);
  image.fileExt = std::move(parts.fileExt);
  image.isHex = IsHexFile(image.area, image.fileExt);
  image.SetStoredName(image.fileName);
  image.hasFile = true;
  image.fromProject = false;
}

void OnLoadFile(ImageBuffers& images, JobSettings& job, ImageWindow& window, Reporter& reporter) {
  const auto area = AreaOfTab(window.CurrentTab(), window.DataFlashTabShown());
  if (!area) {
    reporter.ShowFail("Load file buffer error !");
    return;
  }
  const auto chosen = window.OpenFileDialog(LoadFileFilters(*area));
  if (!chosen) return;
  AttachImageFile(images[*area], *chosen);
  ReloadImages(images, job, &window, reporter);
  // Selected even when the reload reported an error.
  SelectedFlag(job, *area) = true;
  window.CheckItemBox(*area);
  window.RefreshControls();
  // A production line must not program a damaged image in silence.
  if (images[*area].hexScan.Damaged()) reporter.ShowWarning(HexDamageMessage(images[*area].hexScan));
}

int CheckSelectedImagesIntact(const ImageBuffers& images, const JobSettings& job, Reporter& reporter) {
  for (ImageArea area : kImageAreas) {
    const ImageBuffer& image = images[area];
    if (SelectedFlag(job, area) && image.hasFile && image.hexScan.Damaged()) {
      reporter.ShowFail(HexDamageMessage(image.hexScan));
      return 0;
    }
  }
  return 1;
}

}  // namespace quillet
