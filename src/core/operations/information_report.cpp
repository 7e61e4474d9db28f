// The text of the "Programmer Information" box and what follows it. The pieces are joined as they
// are: a section that ends without a line break runs on into the next one.
#include <cstdarg>
#include <cstdio>

#include "core/operations/programmer_information.h"

namespace quillet {
namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// When a section shows.
enum class When : uint8_t {
  Never,
  Always,
  Bit3,
  Bit2,
  Bit1,
  Bit3Or1,
  Bit2Or1,
  UsageLimited,
  GangMode,
  SnEnabled
};

enum Section { kAprom, kDataFlash, kLdrom, kUsage, kGang, kSn, kSectionCount };
using SectionRules = std::array<When, kSectionCount>;

// By part kind: ICP codes, ISP codes of FamilyFlagA parts, other ISP codes; the old exchange has
// its own rules and no usage, gang or S/N sections.
constexpr SectionRules kIcpSections{When::Bit3,         When::Bit2,     When::Bit1,
                                    When::UsageLimited, When::GangMode, When::SnEnabled};
constexpr SectionRules kFamilyASections{When::Bit3,         When::Bit2,  When::Never,
                                        When::UsageLimited, When::Never, When::Never};
constexpr SectionRules kOtherIspSections{When::Always,       When::Never, When::Never,
                                         When::UsageLimited, When::Never, When::Never};
constexpr SectionRules kOldWithItemSections{When::Bit3Or1, When::Bit2Or1, When::Never,
                                            When::Never,   When::Never,   When::Never};
constexpr SectionRules kOldApromSections{When::Always, When::Never, When::Never,
                                         When::Never,  When::Never, When::Never};

constexpr uint32_t kIcpFirst = kIcpCodesFirst;

bool HasItemByte(const ProgrammerInfo& info, const PartCatalogue& catalogue) {
  return info.ReadPartCode >= kIcpFirst || catalogue.Row(info.ReadPartCode).FamilyFlagA;
}

const SectionRules& RulesFor(const ProgrammerInfo& info, const PartCatalogue& catalogue) {
  const bool with_item = HasItemByte(info, catalogue);
  if (info.OldExchange) return with_item ? kOldWithItemSections : kOldApromSections;
  if (info.ReadPartCode >= kIcpFirst) return kIcpSections;
  return with_item ? kFamilyASections : kOtherIspSections;
}

bool Shows(When when, const ProgrammerInfo& info, bool gang) {
  const uint8_t item = info.ItemByte.value_or(0);
  switch (when) {
    case When::Never:
      return false;
    case When::Always:
      return true;
    case When::Bit3:
      return item & 0x08;
    case When::Bit2:
      return item & 0x04;
    case When::Bit1:
      return item & 0x02;
    case When::Bit3Or1:
      return item & 0x0A;
    case When::Bit2Or1:
      return item & 0x06;
    case When::UsageLimited:
      return info.UsageLeft && *info.UsageLeft != std::array<uint8_t, 2>{0xFF, 0xFF};
    case When::GangMode:
      return gang;
    case When::SnEnabled:
      return info.SerialNumber && info.SerialNumber->Enabled;
  }
  return false;
}

std::string Heading(const ProgrammerInfo& info, const PartCatalogue& catalogue, bool gang) {
  const bool icp = info.ReadPartCode >= kIcpFirst;
  std::string kind = std::string(icp ? "ICP" : "ISP") + (gang ? " Gang Programmer" : " Programmer");
  if (!info.OldExchange) {
    const PartRow& row = catalogue.Row(info.ReadPartCode);
    kind += !icp             ? " (for 8051)"
            : row.EmberPart  ? " (for Ember)"
            : row.IsCortexM0 ? " (for Velmari)"
                             : " (for 8051)";
  }
  return "<<<  Programmer Type:  " + kind + "  >>>\n\n";
}

// "Code Size" or "Data Size": a 3-byte address whose first byte is 0 prints with four digits.
std::string SizeLine(const char* what, const StoredImageInfo& image) {
  const bool wide = image.address_bytes == 3 && (image.LastAddress >> 16) != 0;
  const uint32_t shown = wide ? image.LastAddress : image.LastAddress & 0xFFFF;
  return Printf(
      wide ? "       %s:\t%u Bytes (EndAddr= 0x%05X)\n\n" : "       %s:\t%u Bytes (EndAddr= 0x%04X)\n\n",
      what, image.LastAddress + 1, shown);
}

std::string ImageSection(const char* title, const char* size_word, const StoredImageInfo& image,
                         bool checksum_line_break) {
  return std::string(title) + "       File Name:\t" + image.FileName + "\n\n" + SizeLine(size_word, image) +
         Printf(checksum_line_break ? "       Checksum:\t0x%02X%02X\n\n" : "       Checksum:\t0x%02X%02X",
                image.ChecksumHigh, image.ChecksumLow);
}

std::string SectionText(Section section, const ProgrammerInfo& info) {
  switch (section) {
    case kAprom:
      return ImageSection("*** Downloaded code file for APROM\n\n", "Code Size", info.Aprom, true);
    case kDataFlash:
      return ImageSection("*** Downloaded data file for DataFlash\n\n", "Data Size", *info.DataFlash,
                          !info.OldExchange);
    case kLdrom:
      return ImageSection("*** Downloaded code file for LDROM\n\n", "Code Size", *info.Ldrom, true);
    case kUsage:
      return "*** Limited usage times\n\n" +
             Printf("       Available times:\t%d", (*info.UsageLeft)[0] * 256 + (*info.UsageLeft)[1]);
    case kGang:
      return std::string("*** Gang Mode Setting\n\n") + (info.GangVerifyOnly.value_or(false)
                                                             ? "       Verify Mode (do Verify only)"
                                                             : "       Normal Mode (do Program and Verify)");
    case kSn: {
      const StoredSnInfo& sn = *info.SerialNumber;
      return "*** Serial Number Programming\n\n" + Printf("       Address:\t0x%06X\n\n", sn.Address) +
             Printf("       Increment:\t%08u,%08u\n\n", sn.Increment.high, sn.Increment.low) +
             Printf("       S/N:\t\t%08u,%08u", sn.Value.high, sn.Value.low);
    }
    case kSectionCount:
      break;
  }
  return {};
}

bool SectionReceived(Section section, const ProgrammerInfo& info) {
  if (section == kDataFlash) return info.DataFlash.has_value();
  if (section == kLdrom) return info.Ldrom.has_value();
  return true;
}

}  // namespace

std::string ProgrammerInformationReport(const ProgrammerInfo& info, const PartCatalogue& catalogue,
                                        bool gang) {
  std::string text = Heading(info, catalogue, gang);
  text += "*** Part No.:  " + catalogue.PartName(info.ReadPartCode) + "\n\n";
  const SectionRules& rules = RulesFor(info, catalogue);
  for (int i = 0; i < kSectionCount; ++i) {
    const auto section = static_cast<Section>(i);
    if (Shows(rules[i], info, gang) && SectionReceived(section, info)) text += SectionText(section, info);
  }
  return text;
}

InformationFollowUp ProgrammerInformationFollowUp(const ProgrammerInfo& info,
                                                  const PartCatalogue& catalogue) {
  using Kind = InformationFollowUp::Kind;
  if (!HasItemByte(info, catalogue) || !info.ShownConfigBytes) return {};
  if (info.ItemByte.value_or(0) & 0x01) return {Kind::ConfigView, {}, {}};
  if (info.OldExchange) return {Kind::Box, "CONFIG Info", "*** CONFIGs are kept unchanged."};
  return {Kind::Box, "CONFIG Setting",
          info.ReadPartCode >= kIcpFirst ? "CONFIGs won't be programmed and will become default value !"
                                         : "CONFIGs won't be programmed and will keep unchanged !"};
}

}  // namespace quillet
