#pragma once
// Production.csv, beside the settings file: one line per chip event, appended and flushed to the
// disk line by line, so that after a power loss or a kill the log says how far each chip got.
//
//   time,socket,sn,result,message
//   2011-03-07_14:05:09,0,0000000000000123,STARTED,
//   2011-03-07_14:05:31,0,0000000000000123,PASS,Chip is successfully updated ! ( S/N=... )
//
// time: the PASS window's time stamp. socket: 0 for a single Programmer or the boot loader, 1..4 in a
// Gang Programmer. sn: the chip's S/N as 16 digits, empty when it has none. result:
//   STARTED  before the byte that starts programming;
//   PASS     programmed; the S/N is on this chip and the settings file is past it;
//   FAIL     not programmed; an S/N on the line is handed out again;
//   SKIPPED  the chip was given up: with an S/N, that S/N is on no passed chip and is never handed
//            out again (a gang socket that failed while another passed, a run cut off after the
//            S/N was reserved); with none, no S/N was used up.
// Every STARTED line gets one result line for its socket, at the result or at the next start.
//
// A field is quoted only when it holds a comma, a quote or a line break. Messages are folded onto
// one line before that (line breaks become single spaces), so every record is one line of the
// file: a torn last write can only damage that line, the start-up scan reads lines, and grep and
// tail show whole records.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/job/job_settings.h"

namespace quillet {

inline constexpr char kProductionLogName[] = "Production.csv";
inline constexpr char kProductionLogHeader[] = "time,socket,sn,result,message\n";

// The log beside the settings file.
std::string ProductionLogPath(const std::string& settings_path);

enum class LogEvent { Started, Passed, Failed, Skipped };

struct ProductionLogLine {
  std::string time;  // FormatTimeStamp
  uint8_t socket = 0;
  std::optional<SplitDecimal> sn;
  LogEvent event = LogEvent::Started;
  std::string message;
  bool operator==(const ProductionLogLine&) const = default;
};

// The S/N as the log writes it: 16 digits, high half first.
std::string FormatLogSn(SplitDecimal sn);
// A CSV field: as it is, or in double quotes with inner quotes doubled.
std::string CsvField(std::string_view text);
// Line breaks (CR, LF and runs of them) become one space.
std::string FoldLines(std::string_view text);
// The record with its terminating "\n".
std::string FormatProductionLine(const ProductionLogLine& line);
// The record parsed back; nothing for the header, junk or a torn line.
std::optional<ProductionLogLine> ParseProductionLine(std::string_view text);

// Appends each line with one write and an fdatasync. A missing or empty file starts with the
// header; when the file does not end with a line break (a torn write, foreign bytes) the first line
// starts on a new one. 0 when the file cannot be opened or a line cannot be written.
int AppendProductionLines(const std::string& log_path, std::span<const ProductionLogLine> lines);

// The records in the last `tail_bytes` of the file, oldest first; lines that do not parse are
// left out. Empty when the file cannot be read.
std::vector<ProductionLogLine> ReadProductionTail(const std::string& log_path, std::size_t tail_bytes);

}  // namespace quillet
