#pragma once
// Every quillet-cli verb registers itself on the application here. A verb's callback stores its exit
// code: 0 success, 1 the operation failed (the program's message is already on stderr).
#include <CLI/CLI.hpp>

namespace quillet::cli {

struct ExitCode {
  int value = 0;
};

void RegisterPartsCommand(CLI::App& app, ExitCode& exit_code);
void RegisterSettingsCommand(CLI::App& app, ExitCode& exit_code);
void RegisterHex2BinCommand(CLI::App& app, ExitCode& exit_code);
void RegisterProjectCommand(CLI::App& app, ExitCode& exit_code);
void RegisterCheckCommand(CLI::App& app, ExitCode& exit_code);
void RegisterPortsCommand(CLI::App& app, ExitCode& exit_code);
void RegisterComPortsCommand(CLI::App& app, ExitCode& exit_code);
void RegisterSearchCommand(CLI::App& app, ExitCode& exit_code);
void RegisterFwUpdateCommand(CLI::App& app, ExitCode& exit_code);
void RegisterDownloadCommand(CLI::App& app, ExitCode& exit_code);
void RegisterUpdateCommand(CLI::App& app, ExitCode& exit_code);
void RegisterConfigCommand(CLI::App& app, ExitCode& exit_code);
void RegisterInfoCommand(CLI::App& app, ExitCode& exit_code);
void RegisterTrimCommand(CLI::App& app, ExitCode& exit_code);
void RegisterVerifyCommand(CLI::App& app, ExitCode& exit_code);
void RegisterReadCommand(CLI::App& app, ExitCode& exit_code);

}  // namespace quillet::cli
