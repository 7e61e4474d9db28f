// quillet-cli: the headless, scriptable front end. Exit codes: 0 success, 1 the operation failed
// (the program's message on stderr), 2 usage error.
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "cli/commands.h"
#include "cli/programmer_session.h"
#include "core/operations/demo_session.h"

namespace {

// --demo anywhere on the line: the verbs run against simulated devices, with the settings and the
// firmware files in the demo's folder. Takes the flag out of the arguments.
bool TakeDemoFlag(int& argc, char** argv) {
  bool demo = false;
  int kept = 0;
  for (int i = 0; i < argc; ++i) {
    if (i > 0 && std::strcmp(argv[i], "--demo") == 0) {
      demo = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return demo;
}

}  // namespace

int main(int argc, char** argv) {
  quillet::DemoSession demo;  // its devices end with the program
  if (TakeDemoFlag(argc, argv)) {
    std::string error;
    if (!demo.Start(error)) {
      std::cerr << "quillet-cli: the demo cannot start: " << error << "\n";
      return 1;
    }
    demo.RestrictPortScan();
    ::setenv(quillet::cli::kFirmwareDirVariable, demo.folder().c_str(), 1);
    quillet::cli::SetDefaultSettingsFile(demo.folder() + "GUI.LOG");
    std::cerr << "DEMO: Programmer on " << demo.programmer_port() << ", Gang Programmer on "
              << demo.gang_port() << ", settings in " << demo.folder() << "\n";
  }
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
