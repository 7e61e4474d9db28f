#pragma once
// "Programmer Information" (control 1007) and the TRIM read of the hidden hot key: what the
// Programmer's storage holds, asked with 0xC6 (or 0xCB first through a Gang Programmer), shown as a
// report and then as the part's CONFIG view; and the five TRIM bytes of a Tessel chip. Both run on
// the caller's thread (the window's worker, the CLI's main thread), write nothing to the Programmer
// and leave 1 or 0 in the link's LastResult; the step that detects a failure has reported it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/catalogue/part_catalogue.h"
#include "core/job/job_settings.h"
#include "core/operations/workbench.h"

namespace quillet {

// One downloaded image as the Programmer describes it. `address_bytes` is how many bytes its last
// address came in (2 or 3): a 3-byte address whose first byte is not 0 prints with five hex digits.
struct StoredImageInfo {
  std::string FileName;  // up to the first zero byte; empty without one, or when not UTF-8
  uint32_t LastAddress = 0;
  int address_bytes = 3;
  uint8_t ChecksumHigh = 0;
  uint8_t ChecksumLow = 0;
};

struct StoredSnInfo {
  bool Enabled = false;
  uint32_t Address = 0;
  SplitDecimal Value;
  SplitDecimal Increment;
};

// Everything the Programmer sent, field by field; a field its firmware does not send stays empty.
struct ProgrammerInfo {
  bool OldExchange = false;             // firmware below 0x0490
  uint32_t ReceivedPartCode = 0;        // as sent (one byte, or two from 0x0501 on)
  uint32_t ReadPartCode = 0;            // after the name search
  std::optional<std::string> PartName;  // as sent (from 0x0505); none without its zero byte or UTF-8
  StoredImageInfo Aprom;
  std::optional<StoredImageInfo> DataFlash;
  std::optional<StoredImageInfo> Ldrom;
  std::optional<std::array<uint8_t, 8>> ShownConfigBytes;  // stored order
  std::optional<uint8_t> ItemByte;
  std::optional<std::array<uint8_t, 2>> UsageLeft;  // high, low; 0xFF, 0xFF: no limit
  std::optional<bool> GangVerifyOnly;
  std::optional<StoredSnInfo> SerialNumber;
};

// The exchange alone: the gang preamble (with `gang`), the search with InfoOnlySearch, the version,
// 0xC6 and every field the firmware sends. Stores ReadPartCode and ShownConfigBytes in
// bench.read(). 0 after the link's message or "Programmer has not been downloaded yet !".
int ReadProgrammerInformation(Workbench& bench, ProgrammerInfo& info);

// The report text, pieces joined exactly as shown in the "Programmer Information" box. `gang` is
// this program's Gang check box.
std::string ProgrammerInformationReport(const ProgrammerInfo& info, const PartCatalogue& catalogue,
                                        bool gang);

// What follows the report: nothing, the part's CONFIG view of ShownConfigBytes, or a plain box.
struct InformationFollowUp {
  enum class Kind { Nothing, ConfigView, Box };
  Kind kind = Kind::Nothing;
  std::string caption;  // Box
  std::string text;     // Box
};
InformationFollowUp ProgrammerInformationFollowUp(const ProgrammerInfo& info, const PartCatalogue& catalogue);

// Control 1007: the exchange, the report in a box captioned "Programmer Information", then the
// follow-up (ShowConfigView or a plain box). `received`, when given, gets what was sent.
int ProgrammerInformation(Workbench& bench, ProgrammerInfo* received = nullptr);

// Tessel parts, the only ones with TRIM bytes: codes 136..144.
bool IsTesselPart(uint32_t part_code);

// "TRIM0~4=0x01 0x02 0xAB 0x00 0xFF".
std::string TrimText(const std::array<uint8_t, 5>& trim);

// The hot key's read (Ctrl+T): search, 0xD0, the part preamble and chip status, five TRIM bytes in
// a "<Debug>" box. With Gang on, the Gang Programmer first routes the link to bench.SocketChoice()
// as for Read Chip (the caller has asked for the socket). A part other than a Tessel part: the
// "<Debug>" box "Not Tessel parts !", nothing sent. `trim`, when given, gets the bytes.
int TrimRead(Workbench& bench, std::array<uint8_t, 5>* trim = nullptr);

}  // namespace quillet
