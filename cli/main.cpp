// The vistrel command: the host of the library on this platform.
//   vistrel serve | run FILE | call OP [ARG ...] | demo | --help | OP --help

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>

#include "cli/Demo.h"
#include "cli/Host.h"
#include "cli/Operations.h"
#include "vistrel/platform/Console.h"
#include "vistrel/platform/Memory.h"

#ifndef VISTREL_EXAMPLES_DIR
#define VISTREL_EXAMPLES_DIR "examples"
#endif

namespace {

using namespace vistrel::cli;

void printOperation(const Operation& op, std::ostream& out) {
  out << "  " << op.name << '(';
  for (std::size_t i = 0; i < op.params.size(); ++i) {
    out << (i ? ", " : "") << op.params[i].name << ": " << kindName(op.params[i].kind);
  }
  out << ")\n      " << op.summary << '\n';
}

void printOperations(std::ostream& out) {
  out << "\nOperations (request {\"op\": NAME, \"args\": [...]}):\n";
  for (const auto& [name, op] : operations()) printOperation(op, out);
}

// Library notices go to standard error so that standard output carries only responses.
void quietStandardOutput() {
  vistrel::platform::setOutSink([](std::string_view line) {
    std::cerr.write(line.data(), static_cast<std::streamsize>(line.size()));
    std::cerr << '\n';
  });
}

}  // namespace

int main(int argc, char** argv) {
  vistrel::platform::keepFreedImageMemory();
  if (argc == 3 && std::string_view(argv[2]) == "--help") {
    const auto found = operations().find(std::string_view(argv[1]));
    if (found != operations().end()) {
      printOperation(found->second, std::cout);
      return 0;
    }
  }

  CLI::App app{"vistrel: screen-automation engine host"};
  app.require_subcommand(1);
  app.footer([] {
    std::ostringstream out;
    printOperations(out);
    return out.str();
  });

  auto* serve = app.add_subcommand("serve", "answer JSON request lines from standard input");
  std::string runFile;
  auto* run = app.add_subcommand("run", "answer the JSON request lines of FILE (- for stdin)");
  run->add_option("FILE", runFile)->required();
  std::string callOp;
  std::vector<std::string> callArgs;
  auto* call = app.add_subcommand("call", "one request: OP and its arguments (@PATH for a file)");
  call->add_option("OP", callOp)->required();
  call->add_option("ARG", callArgs);
  call->allow_extras(false);
  call->prefix_command(false);
  std::string examples = VISTREL_EXAMPLES_DIR;
  if (const char* env = std::getenv("VISTREL_EXAMPLES")) examples = env;
  auto* demo = app.add_subcommand("demo", "run the bundled scenario in examples/");
  demo->add_option("--examples", examples, "the examples directory");

  CLI11_PARSE(app, argc, argv);

  if (serve->parsed()) {
    quietStandardOutput();
    Host().serve(std::cin, std::cout);
    return 0;
  }
  if (run->parsed()) {
    quietStandardOutput();
    if (runFile == "-") {
      Host().serve(std::cin, std::cout);
      return 0;
    }
    std::ifstream in(runFile);
    if (!in) {
      std::cerr << "vistrel run: cannot read " << runFile << '\n';
      return 1;
    }
    Host().serve(in, std::cout);
    return 0;
  }
  if (call->parsed()) {
    const auto found = operations().find(callOp);
    if (found == operations().end()) {
      std::cout << dumpLine({{"error", "unknown operation: " + callOp}}) << '\n';
      return 1;
    }
    quietStandardOutput();
    Host host;
    std::cout << dumpLine(host.handleRequest(callRequest(found->second, callArgs))) << '\n';
    return 0;
  }
  if (demo->parsed()) {
    quietStandardOutput();
    return runDemo(examples, std::cout);
  }
  return 0;
}
