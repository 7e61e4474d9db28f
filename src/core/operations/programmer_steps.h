#pragma once
// Steps shared by the Download Programmer and Update Chip bodies. Each returns 1 or 0 and leaves
// the same in the link's LastResult; the step that detects a failure has reported it.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/operations/workbench.h"

namespace quillet {

constexpr uint32_t kStandardReadMs = 1000;
constexpr uint32_t kStorageClearMs = 5000;
constexpr uint32_t kFirstSyncMs = 8000;
constexpr uint32_t kGangPollMs = 200;

// A status text in its gang form for the socket served ("Clear Programmer's Storage <2 of 4>...")
// when a socket is served, else plain.
std::string SocketText(const std::string& plain, uint8_t socket);

// The port's read and write time-outs at `ms` (interval and constants) with 1 ms per byte.
int SetPortTimeouts(Workbench& bench, uint32_t ms);

// One byte, then the 1 ms pause the Programmer needs between bytes.
int SendPaced(Workbench& bench, uint8_t byte);
// Each byte on its own write, each followed by a 1 ms pause.
int SendPacedBytes(Workbench& bench, std::span<const uint8_t> bytes);

// A command, the 1 ms the Programmer takes before it acknowledges, and its acknowledge (0xA5, or
// the Gang Programmer's 0xAF).
int SendCommandAck(Workbench& bench, uint8_t command, bool gang = false);

// A step's own failure: the FAIL window and 0 in LastResult.
int FailStep(Workbench& bench, const std::string& message);

// The part preamble that starts an ICP read and a TRIM read: part code low and high, parameters 3
// and 4, parameter 5 high and low, parameter 7.
std::array<uint8_t, 7> IcpPartPreamble(uint32_t part_code, const PartRow& part);

// The chip's status after an ICP preamble: 0 goes on; 1 (locked) warns and ends for the parts whose
// lock hides everything; 2 is the wrong chip; other values go on without a reply. 1 when it goes on.
int ReceiveChipStatus(Workbench& bench, const PartRow& part);

// A gang sync byte: `expected` (1..4) must arrive, else "Sync #n error !".
int ExpectSync(Workbench& bench, uint8_t expected);

// 0xD2, its acknowledge and the 19-byte S/N block, paced.
int SendSnSettings(Workbench& bench);

// What the storage report said of the storage against the job.
enum class ReportVerdict { Matches, Empty, Differs };

// Reads the report that follows 0xC3's acknowledge: nothing follows a status that is not 0 (the
// storage holds no download); otherwise every field is read, so that none is left on the line.
// Compares the gang verify byte in a gang update. 0 on a link failure.
int ReadStorageReport(Workbench& bench, bool gang, ReportVerdict& verdict);

// The download body without the button's searches and reloads: the size checks, then one storage
// download, or the gang sequence. `show_pass` is clear when an update follows.
int DownloadProgrammerBody(Workbench& bench, bool show_pass, bool gang_fw_updatable);

// One Programmer's storage (a single Programmer, or the gang socket in link().CurrentSocket).
int DownloadProgrammerStorage(Workbench& bench, bool show_pass);

}  // namespace quillet
