#pragma once
// Verify Chip (control 1021) and Read Chip (control 1102) through one Programmer, written once for
// the window and the CLI over a Workbench. Each runs on the caller's thread (the window's worker,
// the CLI's main thread), reports through the workbench's reporter and opens the read viewer or the
// CONFIG view through its display; every step leaves 1 or 0 in the link's LastResult. With Gang on,
// the chosen socket (Workbench::SocketChoice) is routed first: the window asks for it in "Select
// Chip in the Sockets" on the user-interface thread before it starts the worker.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/operations/workbench.h"

namespace quillet {

// The first byte of an area that differs from the image, as compared after an ICP read.
struct FirstDifference {
  uint32_t offset = 0;
  uint8_t expected = 0;
  uint8_t read = 0;
};

// The 256-byte block (or the short last one) the Programmer found different in an ISP verify, and
// the result byte it sent for it.
struct DifferingBlock {
  uint32_t first = 0;
  uint32_t last = 0;
  uint8_t result = 0;
};

// One line of a verify: "APROM", "DataFlash", "LDROM" or "CONFIG", in that order.
struct AreaVerdict {
  std::string area;
  bool pass = true;
  std::optional<FirstDifference> firstDifference;  // ICP: the first differing byte
  uint32_t differingBytes = 0;                     // ICP: how many bytes differ
  uint32_t readLength = 0;                         // ICP: bytes of the area the read fetched
  uint32_t beyondRead = 0;                         // ICP: image bytes past what the read fetched
  std::vector<FirstDifference> configBytes;        // ICP CONFIG: every differing byte
  std::optional<DifferingBlock> block;             // ISP: the block the Programmer refused
};

// What a verify found, area by area, for a front end that shows more than the FAIL window's text
// (the CLI's --json). Empty when the verify ended before any comparison.
using VerifyFindings = std::vector<AreaVerdict>;

// Verify Chip: ReloadImages, the gang routing when Gang is on, then the ISP verify (the Programmer
// compares APROM block by block) or the ICP read and comparison of every selected area. 1 on PASS.
// A job with CONFIG alone selected (which the window's enabling never allows, the CLI does) compares
// the CONFIG bytes only. `findings`, when given, gets the per-area results.
int VerifyChip(Workbench& bench, VerifyFindings* findings = nullptr);

// Read Chip: the gang routing when Gang is on, then in ISP the CONFIG bytes (shown through
// OperationDisplay::ShowConfigView), in ICP every area into bench.read() and the read viewer
// (OperationDisplay::ShowReadChipViewer). No image reload. 1 when the read ran to its end.
int ReadChip(Workbench& bench);

// The same read without opening the viewer or the CONFIG view, for a front end that writes the
// results out itself (quillet-cli read). 1 when bench.read() holds a complete read.
int ReadChipQuiet(Workbench& bench);

// Gang routing to the socket in bench.SocketChoice(): the Gang Programmer's search and firmware
// check, the socket's command 0xCC..0xCF, its acknowledge and the socket's sync byte within 8 s
// ("Sync #n error !" otherwise). 1 when the link now reaches that socket's Programmer. VerifyChip
// and ReadChip run it themselves; the TRIM read runs it too.
int RouteToSocket(Workbench& bench);

}  // namespace quillet
