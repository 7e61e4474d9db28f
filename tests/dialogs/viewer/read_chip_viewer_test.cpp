#include "dialogs/viewer/read_chip_viewer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/viewer/read_chip_layout.h"

namespace quillet {
namespace {

// A read whose buffers hold distinct bytes, so a wrong area or count shows.
ReadResults MakeRead(bool data_flash, bool ldrom) {
  ReadResults read;
  read.aprom->fill(0xA1);
  read.dataFlash->fill(0xD2);
  read.ldrom->fill(0x1C);
  read.ReadApromLast = 0x7FFF;
  read.ReadDataFlashLast = 0x0FFF;
  read.DataFlashWasRead = data_flash;
  read.LdromWasRead = ldrom;
  return read;
}

TEST(ReadChipViewerTest, TabsFollowWhatWasReadAndEachShowsItsArea) {
  struct Tab {
    const char* caption;
    const char* save;
    const char* file_name;
    std::size_t count;
    uint8_t byte;
  };
  const Tab aprom{"APROM Contents", "Save APROM Contents", "APROM_Contents", 0x8000, 0xA1};
  const Tab data_flash{"DataFlash Contents", "Save DataFlash Contents", "DataFlash_Contents", 0x1000, 0xD2};
  const Tab ldrom{"LDROM Contents", "Save LDROM Contents", "LDROM_Contents", 0x1000, 0x1C};
  const struct {
    bool data_flash, ldrom;
    std::vector<Tab> tabs;
  } rows[] = {
      {false, false, {aprom}},
      {true, false, {aprom, data_flash}},
      {false, true, {aprom, ldrom}},
      {true, true, {aprom, data_flash, ldrom}},
  };
  for (const auto& row : rows) {
    const ReadResults read = MakeRead(row.data_flash, row.ldrom);
    ReadChipViewer viewer(read, 0x0FFF);
    ASSERT_EQ(viewer.tabs().size(), row.tabs.size());
    EXPECT_EQ(viewer.tab_index(), 0);
    // Last to first, so that every tab is reached by a change.
    for (int i = static_cast<int>(row.tabs.size()) - 1; i >= 0; --i) {
      const Tab& tab = row.tabs[i];
      SCOPED_TRACE(tab.caption);
      viewer.OnTabChange(i);
      EXPECT_EQ(viewer.tabs()[i], tab.caption);
      EXPECT_EQ(viewer.states().text(kIdViewerSave), tab.save);
      EXPECT_EQ(viewer.DefaultFileName(), tab.file_name);
      ASSERT_EQ(viewer.Bytes().size(), tab.count);
      EXPECT_EQ(viewer.Bytes().front(), tab.byte);
    }
    // A tab that is not there changes nothing.
    viewer.OnTabChange(static_cast<int>(row.tabs.size()));
    viewer.OnTabChange(-1);
    EXPECT_EQ(viewer.tab_index(), 0);
    EXPECT_EQ(viewer.states().text(kIdViewerSave), "Save APROM Contents");
  }
}

TEST(ReadChipViewerTest, AddressesPastTheBufferShowNoMoreThanItHolds) {
  ReadResults read = MakeRead(true, false);
  read.ReadApromLast = 0xFFFFFFFF;
  read.ReadDataFlashLast = kImageCapacity;
  ReadChipViewer viewer(read, 0);
  EXPECT_EQ(viewer.Bytes().size(), kImageCapacity);
  viewer.OnTabChange(1);
  EXPECT_EQ(viewer.Bytes().size(), kImageCapacity);
}

}  // namespace
}  // namespace quillet
