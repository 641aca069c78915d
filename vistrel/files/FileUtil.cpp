#include "vistrel/files/FileUtil.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "vistrel/api/StringUtil.h"
#include "vistrel/files/TextFile.h"
#include "vistrel/platform/Base64.h"
#include "vistrel/platform/Console.h"
#include "vistrel/platform/Directories.h"
#include "vistrel/platform/SettingsStore.h"

namespace vistrel::files {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decoding; a malformed sequence gives none.
std::optional<std::string> percentDecode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return out;
}

}  // namespace

void FileUtil::saveConfig(const std::string& key, const nlohmann::json& data) {
  platform::SettingsStore::standard().set(key, data);
}

void FileUtil::removeConfig(const std::string& key) {
  platform::SettingsStore::standard().remove(key);
}

std::optional<std::string> FileUtil::getConfig(const std::string& key) {
  return platform::SettingsStore::standard().text(key);
}

std::optional<std::string> FileUtil::getStringConfig(const std::string& key) {
  return getConfig(key);
}

bool FileUtil::hasConfigRmPre(const std::string& key) { return getConfig(key).has_value(); }

std::optional<std::string> FileUtil::getValueFromSystemJson(const std::string& key) {
  const auto file = platform::Directories::resources() / "system_config.json";
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream raw;
  raw << in.rdbuf();
  if (in.bad()) {
    platform::logOut("system_config: cannot read " + file.string());
    return std::nullopt;
  }
  std::string text = raw.str();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) return std::nullopt;
  const auto decoded = percentDecode(text);
  if (!decoded) return std::nullopt;
  const auto bytes = platform::base64Decode(*decoded);
  if (!bytes || bytes->empty()) return std::nullopt;
  const std::string json(bytes->begin(), bytes->end());
  if (!validIn(json, Encoding::utf8)) return std::nullopt;
  const auto parsed = api::StringUtil::parse(json);
  if (!parsed) return std::nullopt;
  std::string value = api::StringUtil::getJSONStringData(key, *parsed);
  std::string lower = value;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "null") return std::nullopt;
  return value;
}

std::optional<std::string> FileUtil::getMainColorFromSystemJson() {
  return getValueFromSystemJson("main_color");
}
std::optional<std::string> FileUtil::getAppNameFromSystemJson() {
  return getValueFromSystemJson("appName");
}
std::optional<std::string> FileUtil::getShowHeaderBarFromSystemJson() {
  return getValueFromSystemJson("show_header_bar");
}
std::optional<std::string> FileUtil::getAgentPort() { return getValueFromSystemJson("agent_port"); }
std::optional<std::string> FileUtil::getAgentUrlPrefix() {
  return getValueFromSystemJson("agent_url_prefix");
}

bool Const::isSystemKey(const std::string& key) {
  return key == SYSTEM_KEY_keepAlive1 || key == SYSTEM_KEY_keepAlive2 ||
         key == SYSTEM_KEY_displayBlueHeader || key == SYSTEM_KEY_displayLogFloatView ||
         key == SYSTEM_KEY_debugPort || key == SYSTEM_KEY_server_port;
}

std::optional<std::string> Const::member(const std::string& name) {
  static const std::map<std::string, const char*> members = {
      {"KEY_PRE", KEY_PRE},
      {"KEY_SYSTEM", KEY_SYSTEM},
      {"VDX_STORE_KEY", VDX_STORE_KEY},
      {"MAIN_THREAD_NAME", MAIN_THREAD_NAME},
      {"INTERRUPT", INTERRUPT},
      {"CODE", CODE},
      {"MSG", MSG},
      {"DATA", DATA},
      {"LAYOUT_SPLASH", LAYOUT_SPLASH},
      {"JS_SPLASH", JS_SPLASH},
      {"SYSTEM_KEY_keepAlive1", SYSTEM_KEY_keepAlive1},
      {"SYSTEM_KEY_keepAlive2", SYSTEM_KEY_keepAlive2},
      {"SYSTEM_KEY_displayBlueHeader", SYSTEM_KEY_displayBlueHeader},
      {"SYSTEM_KEY_displayLogFloatView", SYSTEM_KEY_displayLogFloatView},
      {"SYSTEM_KEY_debugPort", SYSTEM_KEY_debugPort},
      {"SYSTEM_KEY_server_port", SYSTEM_KEY_server_port},
      {"SYSTEM_KEY_server_url_prefix", SYSTEM_KEY_server_url_prefix},
      {"SYSTEM_KEY_server_screen_port", SYSTEM_KEY_server_screen_port},
      {"SYSTEM_KEY_server_screen_toggle", SYSTEM_KEY_server_screen_toggle},
      {"GET_UDID_URL", GET_UDID_URL},
  };
  if (name == "RUNNING_MODE") return std::to_string(RUNNING_MODE);
  const auto found = members.find(name);
  if (found == members.end()) return std::nullopt;
  return found->second;
}

}  // namespace vistrel::files
