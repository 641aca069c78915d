#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace vistrel::files {

/// The host's settings and the configuration resource "system_config.json".
class FileUtil {
 public:
  /// Stores the value under the key and flushes the store.
  static void saveConfig(const std::string& key, const nlohmann::json& data);
  static void removeConfig(const std::string& key);
  /// The stored value read as text (texts unchanged, numbers as text, booleans 1 and 0); none
  /// for anything else or a missing key.
  static std::optional<std::string> getConfig(const std::string& key);
  static std::optional<std::string> getStringConfig(const std::string& key);
  static bool hasConfigRmPre(const std::string& key);

  /// One member of the configuration resource (percent-encoded Base64 of a UTF-8 JSON object);
  /// none for a missing resource or member, a null or "null" member, or any decoding failure.
  static std::optional<std::string> getValueFromSystemJson(const std::string& key);
  static std::optional<std::string> getMainColorFromSystemJson();
  static std::optional<std::string> getAppNameFromSystemJson();
  static std::optional<std::string> getShowHeaderBarFromSystemJson();
  static std::optional<std::string> getAgentPort();
  static std::optional<std::string> getAgentUrlPrefix();
};

/// Key names, fixed texts and the running mode shared by the host and scripts.
struct Const {
  static constexpr const char* KEY_PRE = "blue_kite_user_";
  static constexpr const char* KEY_SYSTEM = "blue_kite_system_";
  static constexpr const char* VDX_STORE_KEY = "bluekite_vdx_path";
  static constexpr const char* MAIN_THREAD_NAME = "mainWorker";
  static constexpr const char* INTERRUPT = "-interrupt";
  static constexpr const char* CODE = "code";
  static constexpr const char* MSG = "msg";
  static constexpr const char* DATA = "data";
  static constexpr const char* LAYOUT_SPLASH = "layout/";
  static constexpr const char* JS_SPLASH = "js/";
  static constexpr const char* SYSTEM_KEY_keepAlive1 = "keepAlive1";
  static constexpr const char* SYSTEM_KEY_keepAlive2 = "keepAlive2";
  static constexpr const char* SYSTEM_KEY_displayBlueHeader = "displayBlueHeader";
  static constexpr const char* SYSTEM_KEY_displayLogFloatView = "displayLogFloatView";
  static constexpr const char* SYSTEM_KEY_debugPort = "debugPort";
  static constexpr const char* SYSTEM_KEY_server_port = "server_port";
  static constexpr const char* SYSTEM_KEY_server_url_prefix = "server_url_prefix";
  static constexpr const char* SYSTEM_KEY_server_screen_port = "server_screen_port";
  static constexpr const char* SYSTEM_KEY_server_screen_toggle = "server_screen_toggle";
  static constexpr const char* GET_UDID_URL = "http://127.0.0.1:9999/getudid";
  /// 2 while running in the application; changed only by the host.
  static inline int RUNNING_MODE = 2;

  /// True exactly for keepAlive1, keepAlive2, displayBlueHeader, displayLogFloatView, debugPort
  /// and server_port.
  static bool isSystemKey(const std::string& key);
  static bool runningInApp() { return RUNNING_MODE == 2; }
  /// A text member by its name, or none.
  static std::optional<std::string> member(const std::string& name);
};

}  // namespace vistrel::files
