#include "cli/Demo.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <nlohmann/json.hpp>

#include "cli/Host.h"

namespace vistrel::cli {
namespace {

std::string shorten(std::string text, std::size_t most) {
  if (text.size() <= most) return text;
  return text.substr(0, most) + "... (" + std::to_string(text.size()) + " characters)";
}

}  // namespace

int runDemo(const std::string& examplesDir, std::ostream& out) {
  const auto scenario = std::filesystem::path(examplesDir) / "demo.jsonl";
  std::ifstream in(scenario);
  if (!in) {
    out << "vistrel demo: cannot read " << scenario.string() << '\n';
    return 1;
  }
  // Paths in the scenario are relative to the examples directory.
  std::filesystem::current_path(examplesDir);
  Host host;
  std::string line;
  int step = 0;
  int failures = 0;
  out << "vistrel demo: the bundled screenshot and element tree in " << examplesDir << "\n\n";
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    nlohmann::json request = nlohmann::json::parse(line, nullptr, false);
    if (!request.is_object()) continue;
    const std::string say = request.value("say", "");
    request.erase("say");
    const auto response = host.handleRequest(request);
    out << ++step << ". " << say << '\n';
    out << "   asked: " << request.value("op", "") << ' '
        << shorten(request.value("args", nlohmann::json::array()).dump(), 150) << '\n';
    if (response.contains("error")) {
      ++failures;
      out << "   error: " << response["error"].get<std::string>() << "\n\n";
      continue;
    }
    out << "   found: " << shorten(dumpLine(response["result"]), 200) << '\n';
    out << "   took:  " << std::fixed << std::setprecision(3) << response["ms"].get<double>()
        << " ms\n\n";
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace vistrel::cli
