#pragma once
// An ImageWindow that records what the image commands asked of the main window.
#include <optional>
#include <string>
#include <vector>

#include "core/images/image_window.h"

namespace quillet::test_support {

class FakeImageWindow : public ImageWindow {
 public:
  int CurrentTab() const override { return tab; }
  bool DataFlashTabShown() const override { return dataFlashTabShown; }
  void ShowHexView(std::span<const uint8_t> bytes, const ImageTexts& texts) override {
    shownBytes.assign(bytes.begin(), bytes.end());
    shownTexts = texts;
  }
  void ClearHexView() override {
    ++clears;
    shownBytes.clear();
    shownTexts.reset();
  }
  std::optional<std::string> OpenFileDialog(const std::vector<FileFilter>& filters) override {
    dialogFilters = filters;
    return chosenPath;
  }
  std::optional<std::string> SaveFileDialog(const std::vector<FileFilter>& filters,
                                            const std::string& default_ext) override {
    dialogFilters = filters;
    dialogDefaultExt = default_ext;
    return chosenPath;
  }
  void CheckItemBox(ImageArea area) override { checkedBoxes.push_back(area); }
  void RefreshControls() override { ++refreshes; }
  void RefreshAfterProjectLoad(bool start_com_port_search) override {
    projectRefreshes.push_back(start_com_port_search);
  }

  int tab = 0;
  bool dataFlashTabShown = true;
  std::optional<std::string> chosenPath;  // what the operator picks; nothing = Cancel

  std::vector<FileFilter> dialogFilters;
  std::string dialogDefaultExt;
  std::vector<uint8_t> shownBytes;
  std::optional<ImageTexts> shownTexts;
  int clears = 0;
  std::vector<ImageArea> checkedBoxes;
  int refreshes = 0;
  std::vector<bool> projectRefreshes;
};

}  // namespace quillet::test_support
