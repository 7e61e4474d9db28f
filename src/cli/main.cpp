// quillet-cli: the headless, scriptable front end. Exit codes: 0 success, 1 the operation failed
// (the program's message on stderr), 2 usage error.
#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Quillet command line: the part catalogue, settings, images and Programmer operations.",
               "quillet-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "Quillet, v7.10.001");
  quillet::cli::ExitCode exit_code;
  quillet::cli::RegisterPartsCommand(app, exit_code);
  quillet::cli::RegisterSettingsCommand(app, exit_code);
  quillet::cli::RegisterHex2BinCommand(app, exit_code);
  quillet::cli::RegisterProjectCommand(app, exit_code);
  quillet::cli::RegisterCheckCommand(app, exit_code);
  quillet::cli::RegisterPortsCommand(app, exit_code);
  quillet::cli::RegisterSearchCommand(app, exit_code);
  quillet::cli::RegisterFwUpdateCommand(app, exit_code);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);  // prints help, version or the usage error
    return code == 0 ? 0 : 2;
  }
  return exit_code.value;
}
