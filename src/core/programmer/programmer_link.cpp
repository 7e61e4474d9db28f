#include "core/programmer/programmer_link.h"

#include "core/programmer/programmer_commands.h"
#include "core/programmer/programmer_port.h"
#include "core/serial/port_name.h"

namespace quillet {
namespace {

constexpr Millis kCommandPause{1};

struct VersionThreshold {
  bool VersionFlags::*flag;
  uint16_t below;
  bool single;
  bool gang;
};

constexpr VersionThreshold kVersionThresholds[] = {
    {&VersionFlags::FwBelow0490, 0x0490, true, false},     {&VersionFlags::FwBelow0501, 0x0501, true, false},
    {&VersionFlags::FwBelow0505, 0x0505, true, false},     {&VersionFlags::FwBelow0524, 0x0524, true, false},
    {&VersionFlags::FwBelow0601, 0x0601, true, true},      {&VersionFlags::FwBelow0614, 0x0614, true, false},
    {&VersionFlags::GangFwBelow0119, 0x0119, false, true},
};

}  // namespace

ProgrammerLink::ProgrammerLink(SerialPort& port, Clock& clock, Reporter& reporter, OperationDisplay& display,
                               JobSettings& job, const PartCatalogue& catalogue, std::string firmware_folder)
    : port_(port),
      clock_(clock),
      reporter_(reporter),
      display_(display),
      job_(job),
      catalogue_(catalogue),
      firmware_folder_(std::move(firmware_folder)) {
  if (!firmware_folder_.empty() && firmware_folder_.back() != '/') firmware_folder_ += '/';
}

int ProgrammerLink::Fail(const std::string& message) {
  if (!cancelled_) {
    ++reported_failures_;
    reporter_.ShowFail(message);
  }
  return Result(0);
}

int ProgrammerLink::SendCommand(uint8_t command) {
  CommandByte = command;
  if (discard_input_) {
    port_.FlushInput();
    discard_input_ = false;
  }
  return port_.WriteByte(command) ? Result(1) : Fail("Send data error !");
}

int ProgrammerLink::SendBlock(std::span<const uint8_t> bytes) {
  return port_.WriteBlock(bytes) ? Result(1) : Fail("Send data error !");
}

int ProgrammerLink::ReceiveByte(uint8_t& byte) {
  return port_.ReadByte(byte) ? Result(1) : Fail("Receive data error !");
}

int ProgrammerLink::ReceiveBlock(std::span<uint8_t> buffer) {
  return port_.ReadBlock(buffer) ? Result(1) : Fail("Receive data error !");
}

int ProgrammerLink::ExpectAckByte(uint8_t ack, const char* no_response, const char* wrong) {
  if (!port_.ReadByte(LastReceivedByte)) return Fail(no_response);
  return LastReceivedByte == ack ? Result(1) : Fail(wrong);
}

int ProgrammerLink::ExpectAck() {
  return ExpectAckByte(kProgrammerAck, "No response from Programmer !", "Response error !");
}

int ProgrammerLink::ExpectGangAck() {
  return ExpectAckByte(kGangAck, "No response from Gang Programmer !", "Gang Programmer error !");
}

int ProgrammerLink::ReceiveByteQuiet() {
  return Result(port_.ReadByte(LastReceivedByte));
}

int ProgrammerLink::ConnectProgrammer() {
  port_.ClosePort();
  if (!OpenProgrammerPort(port_, job_.ProgrammerPortName)) return Result(0);
  if (!job_.GangMode) {
    // A single Programmer must answer the version query with its acknowledge; a Gang Programmer
    // answers 0xAF and is not taken here.
    if (!port_.WriteByte(kVersionQuery)) return Result(0);
    port_.Drain();
    clock_.Sleep(kCommandPause);
    uint8_t reply = 0;
    if (!port_.ReadByte(reply) || reply != kProgrammerAck) return Result(0);
    uint8_t ignored = 0;
    port_.ReadByte(ignored);
    port_.ReadByte(ignored);
    clock_.Sleep(kCommandPause);
  }
  if (!SendCommand(kTypeQuery) || !ReceiveByte(ProgrammerTypeCode)) return Result(0);
  display_.ShowPortField(ShortPortName(port_.OpenPortName()));
  return Result(1);
}

int ProgrammerLink::ScanForProgrammer() {
  display_.ShowPortField("COM???");
  const ProbeKind probe = job_.GangMode ? ProbeKind::Type : ProbeKind::Version;
  if (!FindProgrammerPort(port_, job_.ProgrammerPortName, probe)) {
    clock_.Sleep(Millis(100));
    if (!FindProgrammerPort(port_, job_.ProgrammerPortName, probe)) {
      return Fail(job_.GangMode ? "Gang Programmer is not found !" : "Programmer is not found !");
    }
  }
  display_.ShowPortField(ShortPortName(port_.OpenPortName()));
  return Result(1);
}

int ProgrammerLink::ConnectOrScan(const char* not_found) {
  const int reported_first = reported_failures_;
  if (ConnectProgrammer()) return Result(1);
  if (NamedPortOnly) return reported_failures_ == reported_first ? Fail(not_found) : Result(0);
  clock_.Sleep(Millis(500));
  if (!ScanForProgrammer()) return Result(0);
  clock_.Sleep(Millis(100));
  const int reported_before = reported_failures_;
  if (ConnectProgrammer()) return Result(1);
  // The port answered the probe a moment ago and now does not: the search has failed.
  if (reported_failures_ == reported_before) Fail(not_found);
  return Result(0);
}

PartGroup ProgrammerLink::SelectedPartGroup() const {
  const PartRow& row = catalogue_.Row(job_.PartCode);
  return ClassifyPart(job_.PartCode, row.KestraPart, row.FamilyFlagB, row.FamilyFlagC);
}

int ProgrammerLink::SearchProgrammer() {
  if (const auto status = SearchStatusText(job_.GangMode, CurrentSocket)) reporter_.SetStatus(*status);
  if (!ConnectOrScan(job_.GangMode ? "Gang Programmer is not found !" : "Programmer is not found !")) {
    return Result(0);
  }
  Variant.reset();
  if (ProgrammerTypeCode == kGangTypeCode) return Fail("Please select 'Gang' mode for Programmer Type !");
  Variant = VariantOfTypeCode(ProgrammerTypeCode);
  if (!Variant) return Fail("Programmer is not found !");
  display_.ShowProgrammerType(std::string(Info(*Variant).word));
  if (InfoOnlySearch) return Result(1);

  const VariantDecision decision = DecideVariant(SelectedPartGroup(), *Variant);
  switch (decision.action) {
    case VariantDecision::Action::Refuse:
      return Fail(std::string(decision.message));
    case VariantDecision::Action::Switch:
      display_.AnnounceFirmwareSwitch(Info(*Variant).word, Info(decision.target).word);
      Variant = decision.target;
      break;
    case VariantDecision::Action::Keep:
      if (!ForceFirmwareUpdate) return Result(1);
      break;
  }
  if (!UpdateProgrammerFirmware()) return Fail("Configure programmer error !");
  return Result(1);
}

int ProgrammerLink::SearchGangProgrammer() {
  reporter_.SetStatus("Search Gang Programmer...");
  if (!ConnectOrScan("Gang Programmer is not found !")) return Result(0);
  if (ProgrammerTypeCode != kGangTypeCode) return Fail("Please disable 'Gang' mode for Programmer Type !");
  return Result(1);
}

int ProgrammerLink::QueryVersion(bool gang) {
  if (!SendCommand(kVersionQuery)) return Result(0);
  port_.Drain();
  clock_.Sleep(kCommandPause);
  if (!(gang ? ExpectGangAck() : ExpectAck())) return Result(0);
  uint8_t high = 0, low = 0;
  if (!ReceiveByte(high) || !ReceiveByte(low)) return Result(0);
  ProgrammerFirmwareVersion = static_cast<uint16_t>(high << 8 | low);
  for (const VersionThreshold& threshold : kVersionThresholds) {
    if (gang ? threshold.gang : threshold.single)
      Flags.*threshold.flag = ProgrammerFirmwareVersion < threshold.below;
  }
  return Result(1);
}

int ProgrammerLink::QueryProgrammerVersion() {
  return QueryVersion(false);
}

int ProgrammerLink::QueryGangVersion() {
  return QueryVersion(true);
}

// A version that was not read decides nothing: the query has shown its message, and 1 ends the
// calling operation as an update would.
int ProgrammerLink::CheckProgrammerFirmware() {
  if (!QueryProgrammerVersion()) return 1;
  if (ProgrammerFirmwareVersion == kExpectedFirmwareVersion) return Result(0);
  if (!UpdateProgrammerFirmware()) Fail("Update programmer error !");
  return Result(1);
}

int ProgrammerLink::CheckGangFirmware() {
  if (!QueryGangVersion()) return 1;
  if (Flags.GangFwBelow0119 || ProgrammerFirmwareVersion == kExpectedFirmwareVersion) return Result(0);
  if (!UpdateGangFirmware()) Fail("Update Gang Programmer error !");
  return Result(1);
}

int ProgrammerLink::UpdateProgrammerFirmware() {
  display_.TransferStarted();
  const int result = TransferProgrammerFirmware();
  display_.TransferEnded();
  return result;
}

int ProgrammerLink::UpdateGangFirmware() {
  display_.TransferStarted();
  const int result = TransferGangFirmware();
  display_.TransferEnded();
  return result;
}

std::optional<std::string> SearchStatusText(bool gang_mode, uint8_t socket) {
  if (!gang_mode) return "Search Programmer...";
  if (socket < 1 || socket > 4) return std::nullopt;
  return "Search Programmer <" + std::to_string(socket) + " of 4>...";
}

}  // namespace quillet
