// Load File and the reload every operation runs first: scripts of files written and commands, and
// what each step leaves in the buffers, their stamps and the buffer view. Each script's transcript
// is in tests/data/golden/loader/<name>.txt (the whole state after the first step, then changes).
#include "core/images/image_loader.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>

#include "core/report/recording_reporter.h"
#include "support/fake_image_window.h"
#include "support/golden.h"
#include "support/state_transcript.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace quillet {
namespace {

// 2011-03-13 07:06:40 UTC: stamp second 40 (0x28), minute 6.
constexpr std::time_t kModified = 1300000000;

std::string Hex(std::span<const uint8_t> bytes) {
  std::string text;
  char byte[4];
  for (uint8_t b : bytes) text += (std::snprintf(byte, sizeof byte, "%02X ", b), byte);
  return text;
}

class Script {
 public:
  // Steps separated by '|': "file NAME KIND ARG [@SECONDS]" writes a file changed SECONDS after
  // kModified (KIND: pattern N, ff N, ones N, bytes 12.34, text T with \n for line ends),
  // "remove NAME", "give AREA NAME", "select ADLC", "config B1..B8", "tab N", "dataflash-tab 0|1",
  // "from-project AREA", "fill AREA BYTE", "zone RULE", "reload", "load-file [NAME]".
  std::string Run(const std::string& steps) {
    return test_support::RunScript(
        steps,
        [this](const std::string& step) {
          Do(step);
          std::string notes;
          for (auto kind : {ReportEvent::Kind::Fail, ReportEvent::Kind::Debug}) {
            for (const std::string& text : reporter_.Texts(kind)) notes += "report: " + text + "\n";
          }
          reporter_.Clear();
          return notes;
        },
        [this] { return State(); });
  }

 private:
  ImageBuffer& Area(const std::string& name) {
    return name == "aprom" ? images_->aprom : name == "dataflash" ? images_->dataFlash : images_->ldrom;
  }

  void Do(const std::string& step) {
    std::istringstream words(step);
    std::string verb, arg, kind;
    words >> verb >> arg;
    if (verb == "file") {
      std::size_t n = 0;
      std::string value;
      words >> kind;
      std::getline(words >> std::ws, value);
      const auto at = value.rfind(" @");
      const std::time_t modified =
          kModified + (at == std::string::npos ? 0 : std::stol(value.substr(at + 2)));
      if (at != std::string::npos) value.resize(at);
      std::vector<uint8_t> bytes;
      if (kind == "text") {
        for (std::size_t at; (at = value.find("\\n")) != std::string::npos;) value.replace(at, 2, "\n");
        bytes.assign(value.begin(), value.end());
      } else if (kind == "bytes") {
        std::istringstream list(value);
        for (std::string b; std::getline(list, b, '.');)
          bytes.push_back(static_cast<uint8_t>(std::stoul(b, nullptr, 16)));
      } else {
        n = std::stoul(value);
        for (std::size_t i = 0; i < n; ++i)
          bytes.push_back(kind == "ff" ? 0xFF : kind == "ones" ? 1 : static_cast<uint8_t>(3 + i * 7));
      }
      test_support::WriteBytes(dir_.File(arg), bytes, modified);
    } else if (verb == "remove") {
      std::remove(dir_.File(arg).c_str());
    } else if (verb == "give") {
      words >> kind;
      AttachImageFile(Area(arg), dir_.File(kind));
    } else if (verb == "select") {
      job_.ApromSelected = arg.find('A') != std::string::npos;
      job_.DataFlashSelected = arg.find('D') != std::string::npos;
      job_.LdromSelected = arg.find('L') != std::string::npos;
      job_.ConfigSelected = arg.find('C') != std::string::npos;
    } else if (verb == "config") {
      std::istringstream list(step.substr(7));
      for (uint8_t& b : job_.ConfigBytes) {
        unsigned value;
        list >> std::hex >> value;
        b = static_cast<uint8_t>(value);
      }
    } else if (verb == "tab") {
      window_.tab = std::stoi(arg);
    } else if (verb == "dataflash-tab") {
      window_.dataFlashTabShown = arg == "1";
    } else if (verb == "from-project") {
      Area(arg).fromProject = true;
    } else if (verb == "fill") {
      words >> kind;
      std::fill(Area(arg).data.begin(), Area(arg).data.end(),
                static_cast<uint8_t>(std::stoul(kind, nullptr, 16)));
    } else if (verb == "zone") {
      zone_.reset();
      zone_.emplace(arg.c_str());
    } else if (verb == "reload") {
      ReloadImages(*images_, job_, &window_, reporter_);
    } else if (verb == "load-file") {
      window_.chosenPath = arg.empty() ? std::nullopt : std::optional(dir_.File(arg));
      OnLoadFile(*images_, job_, window_, reporter_);
    } else {
      ADD_FAILURE() << "unknown step " << step;
    }
  }

  std::string WithoutDir(std::string text) const {
    const std::string dir = dir_.path().string() + "/";
    for (std::size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "");
    return text;
  }

  test_support::StateLines State() const {
    test_support::StateLines lines;
    for (ImageArea area : kImageAreas) {
      const ImageBuffer& b = (*images_)[area];
      char text[200];
      std::snprintf(text, sizeof text,
                    "%s%s%s%s, size %u (%u %u), sum %X, last %X, buffer sum %X, stored \"%s\"",
                    b.hasFile ? "file " : "no file", WithoutDir(b.path).c_str(), b.isHex ? " as HEX" : "",
                    b.fromProject ? " from a project" : "", b.size, b.sizeLow, b.sizeHigh, b.checksum,
                    b.lastAddress, ByteSum(b.data), b.StoredName().c_str());
      lines[std::string(AreaName(area))] = text;
      lines[std::string(AreaName(area)) + " stamp"] = Hex(b.Stamp());
    }
    lines["config checksum"] = std::to_string(images_->ConfigChecksum);
    lines["selected"] = std::string(job_.ApromSelected ? "A" : "-") + (job_.DataFlashSelected ? "D" : "-") +
                        (job_.LdromSelected ? "L" : "-") + (job_.ConfigSelected ? "C" : "-");
    const auto& texts = window_.shownTexts;
    lines["view"] = texts
                        ? WithoutDir(texts->fileName) + ", " + texts->size + ", " + texts->checksum + ", " +
                              texts->sizeLabel + " " + std::to_string(window_.shownBytes.size()) + " bytes " +
                              Hex(std::span(window_.shownBytes)
                                      .first(std::min<std::size_t>(8, window_.shownBytes.size())))
                        : "none";
    lines["view clears"] = std::to_string(window_.clears);
    std::string window = "refreshes " + std::to_string(window_.refreshes) + ", checked";
    for (ImageArea area : window_.checkedBoxes) window += " " + std::string(AreaName(area));
    window += ", filters";
    for (const FileFilter& filter : window_.dialogFilters) window += " " + filter.label;
    lines["window"] = window;
    return lines;
  }

  std::optional<test_support::ScopedTimeZone> zone_{"UTC0"};
  test_support::TempDir dir_;
  VirtualClock clock_;
  RecordingReporter reporter_{clock_};
  std::unique_ptr<ImageBuffers> images_ = std::make_unique<ImageBuffers>();
  JobSettings job_;
  test_support::FakeImageWindow window_;
};

const std::string kHex = "text :0200100012347A\\n:00000001FF\\n";

// clang-format off
const std::pair<const char*, std::string> kScripts[] = {
    {"empty_files_give_size_zero_and_all_ones_addresses",
     "file e.bin ones 0 | give aprom e.bin | give dataflash e.bin | give ldrom e.bin | select ADL | reload"},
    // 70,000 bytes whose sum 0x01105E90 and last address 0x01116F use every stamp byte.
    {"stamps_carry_time_sums_and_config_checksum", "file f.bin ff 70000 | give aprom f.bin | give dataflash f.bin | "
     "give ldrom f.bin | select ADLC | config FF FF FF FF FF 9F FF FE | reload"},
    {"stamp_time_is_local_time", "zone QQQ-05:45 | file a.bin ones 1 | give ldrom a.bin | reload"},
    {"unselected_areas_and_config_lose_their_low_checksum_bytes", "file a.bin bytes 12.34.56 | give aprom a.bin | "
     "give dataflash a.bin | select A | config 1 2 3 4 5 6 7 8 | reload"},
    {"shorter_file_keeps_the_rest_of_the_buffer", "file a.bin pattern 2000 | give aprom a.bin | reload | "
     "file a.bin ones 1000 | reload"},
    {"view_shows_the_current_tabs_area", "file d.dat ff 293 | give dataflash d.dat | tab 1 | reload | "
     "dataflash-tab 0 | reload"},
    {"hex_files_convert_and_lookalikes_load_raw", "file code.HEX " + kHex + " | give aprom code.HEX | reload | "
     "file code.hexfile " + kHex + " | give aprom code.hexfile | reload | file code.hx " + kHex + " | give aprom code.hx | reload | "
     "file code " + kHex + " | give aprom code | reload | file code.xhex " + kHex + " | give aprom code.xhex | reload | "
     "file data.hex " + kHex + " | give dataflash data.hex | reload"},
    // Earlier areas are renewed; this one and later ones keep everything, and so do the view and sums.
    {"open_failure_stops_the_reload_at_that_area", "file a.bin bytes 1.2.3 | file d.bin bytes 4.5 | file l.bin bytes 6 | "
     "give aprom a.bin | give dataflash d.bin | give ldrom l.bin | select ADLC | reload | file a.bin bytes 9.9.9.9 @1 | "
     "remove d.bin | file l.bin bytes 7.7 @1 | config 0 FF FF FF FF FF FF FF | reload"},
    {"hex_failure_zeroes_the_data_but_keeps_size_and_sums", "file a.hex text :0300000001020300\\n:00000001FF\\n | "
     "give aprom a.hex | select A | reload | file a.hex text :0300000001 @75 | reload"},
    {"binary_over_the_buffer_is_refused_unread", "file full.bin pattern 262144 | file big.bin pattern 262145 | "
     "give ldrom full.bin | reload | give ldrom big.bin | fill ldrom A5 | reload"},
    {"no_files_clear_the_view_only", "config 1 2 3 4 5 6 7 8 | select C | reload"},
    {"load_file_offers_filters_per_area_and_cancel_changes_nothing", "load-file | tab 1 | load-file"},
    {"load_file_fills_the_area_and_selects_it", "file fw.Hex text :0100000042BD\\n:00000001FF\\n | tab 2 | "
     "from-project ldrom | load-file fw.Hex"},
    {"load_file_selects_the_area_even_when_the_file_fails", "file bad.hex text no hex here | load-file bad.hex"},
    {"load_file_without_a_tab_fails", "tab -1 | load-file x.bin"},
};
// clang-format on

TEST(ImageLoader, ScriptsGoAsTheirTranscripts) {
  for (const auto& [name, steps] : kScripts) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(test_support::MatchesGolden(std::string("loader/") + name + ".txt", Script().Run(steps)));
  }
}

TEST(ImageLoader, StoredNameIsCutToSixtyThreeBytesOnACharacterBoundary) {
  ImageBuffer image(ImageArea::Aprom);
  image.SetStoredName(std::string(70, 'a'));
  EXPECT_EQ(image.StoredName(), std::string(63, 'a'));
  image.SetStoredName(std::string(62, 'a') + "\xC3\xA9" + "x");  // the 2-byte letter would straddle byte 63
  EXPECT_EQ(image.StoredName(), std::string(62, 'a'));
}

}  // namespace
}  // namespace quillet
