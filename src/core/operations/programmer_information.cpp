// Programmer Information: the Programmer describes its storage after 0xC6 field by field, each
// field present or not by its firmware version; firmware below 0x0490 speaks an older, shorter
// form. Nothing received is trusted: names may lack their zero byte or not be text, part codes may
// lie beyond the catalogue.
#include <algorithm>
#include <vector>

#include "core/operations/programmer_information.h"
#include "core/operations/programmer_steps.h"
#include "core/programmer/programmer_commands.h"
#include "core/storage/packed_bcd.h"

namespace quillet {
namespace {

constexpr char kNotDownloaded[] = "Programmer has not been downloaded yet !";
constexpr char kGangNotDownloaded[] = "Gang Programmer has not been downloaded yet !";
constexpr std::size_t kNameSize = 64;
constexpr std::size_t kOldApromNameSize = 128;
constexpr std::size_t kPartNameSize = 16;

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x06 ? 2
                               : (lead >> 4) == 0x0E ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) return false;
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// The text before the first zero byte; nothing when there is none or it is not UTF-8.
std::optional<std::string> ZeroTerminatedText(std::span<const uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  if (end == bytes.end()) return std::nullopt;
  std::string text(bytes.begin(), end);
  if (!IsUtf8(text)) return std::nullopt;
  return text;
}

uint32_t BigEndian(std::span<const uint8_t> bytes) {
  uint32_t value = 0;
  for (uint8_t byte : bytes) value = value << 8 | byte;
  return value;
}

// Reads the fields one after the other; the first failure has reported and stops the rest.
class FieldReader {
 public:
  explicit FieldReader(ProgrammerLink& link) : link_(link) {}
  std::span<const uint8_t> Take(std::size_t size) {
    buffer_.assign(size, 0);
    if (ok_) ok_ = link_.ReceiveBlock(buffer_);
    return buffer_;
  }
  uint8_t Byte() { return Take(1)[0]; }
  StoredImageInfo Image(std::size_t name_size, int address_bytes) {
    StoredImageInfo image;
    image.FileName = ZeroTerminatedText(Take(name_size)).value_or("");
    image.LastAddress = BigEndian(Take(static_cast<std::size_t>(address_bytes)));
    image.address_bytes = address_bytes;
    const auto checksum = Take(2);
    image.ChecksumHigh = checksum[0];
    image.ChecksumLow = checksum[1];
    return image;
  }
  std::array<uint8_t, 8> Config() {
    std::array<uint8_t, 8> stored{};
    const auto received = Take(8);
    std::reverse_copy(received.begin(), received.end(), stored.begin());  // first received: last stored
    return stored;
  }
  bool ok() const { return ok_; }

 private:
  ProgrammerLink& link_;
  std::vector<uint8_t> buffer_;
  bool ok_ = true;
};

int Warn(Workbench& bench, const char* message) {
  bench.reporter().ShowWarning(message);
  return bench.link().LastResult = 0;
}

// 0xCB: the Gang Programmer hands the line to socket #1's Programmer once it is in sync.
int GangPreamble(Workbench& bench) {
  ProgrammerLink& link = bench.link();
  if (!link.SearchGangProgrammer() || !link.QueryGangVersion()) return 0;
  if (!SendCommandAck(bench, kGangInformation, true)) return 0;
  if (!link.Flags.GangFwBelow0119) {
    uint8_t stored = 0;
    if (!link.ReceiveByte(stored)) return 0;
    if (stored == 0xFF) return Warn(bench, kGangNotDownloaded);
  }
  return SetPortTimeouts(bench, kFirstSyncMs) && ExpectSync(bench, 1) &&
         SetPortTimeouts(bench, kStandardReadMs);
}

// The name the Programmer sent names the part when the catalogue lists it in the received code's
// range (ISP codes, or ICP codes).
void FindNamedPart(const PartCatalogue& catalogue, ProgrammerInfo& info) {
  if (!info.PartName) return;
  const bool isp = info.ReceivedPartCode < kIcpCodesFirst;
  const auto code =
      catalogue.FindPartCode(*info.PartName, isp ? 0 : kIcpCodesFirst, isp ? kIspCodesLast : kPartCount - 1);
  if (code) info.ReadPartCode = *code;
}

void ReadCurrentForm(Workbench& bench, FieldReader& in, ProgrammerInfo& info) {
  const VersionFlags& flags = bench.link().Flags;
  info.ReceivedPartCode = in.Byte();
  if (!flags.FwBelow0501) info.ReceivedPartCode |= uint32_t{in.Byte()} << 8;
  info.ReadPartCode = info.ReceivedPartCode;
  if (!flags.FwBelow0505) {
    info.PartName = ZeroTerminatedText(in.Take(kPartNameSize));
    FindNamedPart(bench.catalogue(), info);
  }
  info.Aprom = in.Image(kNameSize, 3);
  info.DataFlash = in.Image(kNameSize, 3);
  info.Ldrom = in.Image(kNameSize, 2);
  info.ShownConfigBytes = in.Config();
  info.ItemByte = in.Byte();
  if (!flags.FwBelow0524) {
    const auto usage = in.Take(2);
    info.UsageLeft = std::array<uint8_t, 2>{usage[0], usage[1]};
  }
  if (!flags.FwBelow0601) info.GangVerifyOnly = in.Byte() == 0xFF;
  if (!flags.FwBelow0614) {
    StoredSnInfo sn;
    sn.Enabled = in.Byte() == 0;
    sn.Address = BigEndian(in.Take(3));
    sn.Value = FromPackedBcd(in.Take(8).first<8>());
    sn.Increment = FromPackedBcd(in.Take(8).first<8>());
    info.SerialNumber = sn;
  }
}

// Firmware below 0x0490: a one-byte code, a longer APROM name, and DataFlash, CONFIG and the item
// byte only for parts that keep them.
void ReadOldForm(Workbench& bench, FieldReader& in, ProgrammerInfo& info) {
  info.OldExchange = true;
  info.ReceivedPartCode = info.ReadPartCode = in.Byte();
  info.Aprom = in.Image(kOldApromNameSize, 3);
  if (info.ReadPartCode < kIcpCodesFirst && !bench.catalogue().Row(info.ReadPartCode).FamilyFlagA) return;
  info.DataFlash = in.Image(kNameSize, 2);
  info.ShownConfigBytes = in.Config();
  info.ItemByte = in.Byte();
}

}  // namespace

int ReadProgrammerInformation(Workbench& bench, ProgrammerInfo& info) {
  ProgrammerLink& link = bench.link();
  info = {};
  if (bench.job().GangMode && !GangPreamble(bench)) return 0;
  link.InfoOnlySearch = true;
  const int found = link.SearchProgrammer();
  link.InfoOnlySearch = false;
  if (!found || !link.QueryProgrammerVersion()) return 0;
  if (!SendCommandAck(bench, kInformation)) return 0;
  uint8_t status = 0;
  if (!link.ReceiveByte(status)) return 0;
  if (status != 0) return Warn(bench, kNotDownloaded);

  FieldReader in(link);
  const bool old_form = link.Flags.FwBelow0490;
  if (old_form) {
    ReadOldForm(bench, in, info);
  } else {
    ReadCurrentForm(bench, in, info);
  }
  if (!in.ok()) return 0;
  ReadResults& read = bench.read();
  read.ReadPartCode = info.ReadPartCode;
  if (info.ShownConfigBytes) read.ShownConfigBytes = *info.ShownConfigBytes;
  if (old_form) {
    bench.reporter().SetStatus("Ready...");
  } else {
    bench.reporter().ResetStatus();
  }
  return link.LastResult = 1;
}

int ProgrammerInformation(Workbench& bench, ProgrammerInfo* received) {
  ProgrammerInfo info;
  if (!ReadProgrammerInformation(bench, info)) return 0;
  if (received) *received = info;
  Reporter& reporter = bench.reporter();
  reporter.PlainBox("Programmer Information",
                    ProgrammerInformationReport(info, bench.catalogue(), bench.job().GangMode));
  const InformationFollowUp next = ProgrammerInformationFollowUp(info, bench.catalogue());
  switch (next.kind) {
    case InformationFollowUp::Kind::ConfigView:
      bench.display().ShowConfigView(info.ReadPartCode, *info.ShownConfigBytes);
      break;
    case InformationFollowUp::Kind::Box:
      reporter.PlainBox(next.caption, next.text);
      break;
    case InformationFollowUp::Kind::Nothing:
      break;
  }
  return bench.link().LastResult = 1;
}

}  // namespace quillet
