// quillet-cli: the headless, scriptable front end. Exit codes: 0 success, 1 the operation failed
// (the program's message on stderr), 2 usage error.
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/programmer_session.h"
#include "cli/verb_support.h"
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

// The verb (and its sub-verb) the command line reached, as it is typed: "project save".
std::string VerbPath(const CLI::App& app) {
  std::string path;
  const CLI::App* at = &app;
  for (;;) {
    const CLI::App* next = nullptr;
    for (const CLI::App* sub : at->get_subcommands([](const CLI::App* s) { return s->parsed(); })) next = sub;
    if (next == nullptr) return path;
    path += " " + next->get_name();
    at = next;
  }
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
  CLI::App app{
      "Quillet command line: the part catalogue, settings files, HEX images, project files and the "
      "Programmer. Each verb has its own --help. With --demo anywhere on the line the verbs run against "
      "a simulated Programmer and Gang Programmer, with settings and firmware in a demo folder.",
      "quillet-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "Quillet, v7.10.001");
  app.footer(quillet::cli::HelpFooter(
      quillet::cli::kExitCodes, std::string(quillet::cli::kPortVariables) + quillet::cli::kFirmwareVariable,
      "quillet-cli parts 'qmc*'"));
  quillet::cli::ExitCode exit_code;
  quillet::cli::RegisterPartsCommand(app, exit_code);
  quillet::cli::RegisterSettingsCommand(app, exit_code);
  quillet::cli::RegisterHex2BinCommand(app, exit_code);
  quillet::cli::RegisterProjectCommand(app, exit_code);
  quillet::cli::RegisterCheckCommand(app, exit_code);
  quillet::cli::RegisterPortsCommand(app, exit_code);
  quillet::cli::RegisterComPortsCommand(app, exit_code);
  quillet::cli::RegisterSearchCommand(app, exit_code);
  quillet::cli::RegisterFwUpdateCommand(app, exit_code);
  quillet::cli::RegisterDownloadCommand(app, exit_code);
  quillet::cli::RegisterUpdateCommand(app, exit_code);
  quillet::cli::RegisterConfigCommand(app, exit_code);
  quillet::cli::RegisterInfoCommand(app, exit_code);
  quillet::cli::RegisterTrimCommand(app, exit_code);
  quillet::cli::RegisterVerifyCommand(app, exit_code);
  quillet::cli::RegisterReadCommand(app, exit_code);
  quillet::cli::InstallInterruptHandlers();
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    const std::string verb = VerbPath(app);
    return quillet::cli::UsageError(error.what(), "quillet-cli" + verb + " --help shows the options");
  }
  return exit_code.value;
}
