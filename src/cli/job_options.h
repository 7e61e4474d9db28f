#pragma once
// What download and update share: the job they send to the Programmer (a project file, or image
// files with the part, the type and the CONFIG bytes), the gang options, and the lock on the
// settings file that one running copy holds.
#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/programmer_session.h"
#include "core/images/image_buffer.h"
#include "core/sys/instance_lock.h"

namespace quillet::cli {

struct JobOptions {
  LinkOptions link;
  std::string project;
  std::map<ImageArea, std::string> files;  // in area order: APROM, DataFlash, LDROM
  std::vector<std::string> config;         // CONFIG0 first
  bool verify_only = false;
  bool comisp = false;        // the verb also takes jobs of ISP by COM Port (--mode comisp)
  bool config_alone = false;  // the verb also takes a job of the CONFIG bytes alone (verify)
};

// --project, --aprom, --dataflash, --ldrom, --config, --mode, --gang, --verify-only and the link's
// options; the combinations that make no job are refused as usage errors.
void AddJobOptions(CLI::App& verb, JobOptions& options);

// Checks an option value is one byte (0..255, decimal or 0x hex).
CLI::Validator ByteValue();

// The lock that keeps a second copy (another quillet-cli, or the window over the same settings
// file) off the settings file and the Programmer. Nothing after "This application program is
// running now !" (exit code 1).
std::unique_ptr<InstanceLock> HoldSettingsLock(const std::string& settings_path, int& exit_code);

// Puts the job on the session's workbench: the project (its images written beside the settings
// file, where a file already holding the same bytes is left alone so its time stays) or the image
// files, the CONFIG bytes, gang and verify-only. The S/N and the chip counter go on from the
// settings file. 1 when the job is there; else 0 with `exit_code` 1 (a file
// failed, the message is on stderr) or 2 (a usage error).
int LoadJob(const JobOptions& options, ProgrammerSession& session, int& exit_code);

// What the PASS line says of a job: "QMC04A in ICP, APROM code.hex (272 bytes), CONFIG".
std::string JobSummary(Workbench& bench);

}  // namespace quillet::cli
