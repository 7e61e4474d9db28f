#include "dialogs/viewer/read_chip_viewer.h"

#include <algorithm>

#include "core/sys/file_io.h"
#include "dialogs/viewer/read_chip_layout.h"

namespace quillet {
namespace {

struct AreaTexts {
  ImageArea area;
  const char* tab;
  const char* save;
  const char* file_name;
};

constexpr AreaTexts kAreaTexts[] = {
    {ImageArea::Aprom, "APROM Contents", "Save APROM Contents", "APROM_Contents"},
    {ImageArea::DataFlash, "DataFlash Contents", "Save DataFlash Contents", "DataFlash_Contents"},
    {ImageArea::Ldrom, "LDROM Contents", "Save LDROM Contents", "LDROM_Contents"},
};

const AreaTexts& TextsOf(ImageArea area) {
  return *std::find_if(std::begin(kAreaTexts), std::end(kAreaTexts),
                       [area](const AreaTexts& t) { return t.area == area; });
}

// Last address + 1, bounded by the buffer: the addresses come from the chip's CONFIG.
std::size_t CountFromLast(uint32_t last) {
  return static_cast<std::size_t>(std::min<uint64_t>(uint64_t{last} + 1, kImageCapacity));
}

}  // namespace

ReadChipViewer::ReadChipViewer(const ReadResults& read, uint32_t ldrom_last_address)
    : read_(read), ldrom_last_(ldrom_last_address), states_(ReadChipDialogTemplate()) {
  areas_.push_back(ImageArea::Aprom);
  if (read.DataFlashWasRead) areas_.push_back(ImageArea::DataFlash);
  if (read.LdromWasRead) areas_.push_back(ImageArea::Ldrom);
  for (ImageArea area : areas_) tabs_.emplace_back(TextsOf(area).tab);
  OnTabChange(0);
}

void ReadChipViewer::OnTabChange(int index) {
  if (index < 0 || index >= static_cast<int>(areas_.size())) return;
  tab_ = index;
  states_.SetText(kIdViewerSave, TextsOf(area()).save);
}

std::span<const uint8_t> ReadChipViewer::Bytes() const {
  const uint32_t last = area() == ImageArea::Aprom       ? read_.ReadApromLast
                        : area() == ImageArea::DataFlash ? read_.ReadDataFlashLast
                                                         : ldrom_last_;
  return {read_[area()].data(), CountFromLast(last)};
}

std::string ReadChipViewer::DefaultFileName() const {
  return TextsOf(area()).file_name;
}

// Files saved elsewhere often carry the extension in lower case.
std::vector<FileFilter> ReadChipViewer::SaveFilters() {
  return {{"Binary Files", "*.BIN *.bin"}, {"All Files", "*.*"}};
}

std::string ReadChipViewer::Save(const std::string& path) const {
  return WriteFileAtomically(path, Bytes()) ? "" : kSaveFailure;
}

}  // namespace quillet
