// A test's own connection to a private bus (GDBus), and a python3-dbusmock service on it
// (a template or a bare named object) whose log of calls tests read. Runs under the
// system's python3, where the Debian package installs dbusmock.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <optional>
#include <string>

#include "tests/support/desktop/service_process.h"

namespace hovra::testing {

// Who owns a name, and method calls whose reply comes back as GVariant text.
class BusClient {
 public:
  explicit BusClient(const std::string& address);
  ~BusClient();
  BusClient(const BusClient&) = delete;
  BusClient& operator=(const BusClient&) = delete;

  GDBusConnection* Connection() const { return connection_; }
  bool HasOwner(const std::string& name);
  // The reply as text ("(uint32 3,)"); none on failure. `args` may be floating.
  std::optional<std::string> Call(const std::string& destination, const std::string& path,
                                  const std::string& interface, const std::string& method,
                                  GVariant* args = nullptr);
  // A method of a bare dbusmock object (AddMethod of its Mock interface).
  bool AddMockMethod(const std::string& destination, const std::string& path, const char* method,
                     const char* in, const char* out = "", const char* code = "");

 private:
  GDBusConnection* connection_ = nullptr;
};

inline constexpr char kSystemPython[] = "/usr/bin/python3";

struct DbusMockOptions {
  std::string name{};                   // the bus name it owns (waited for)
  std::string templateName{};           // a dbusmock template, or the path of a template file
  std::string parameters{};             // JSON for the template
  Environment env{};                    // for a template file that reads its own settings
  std::string bus{};                    // the bus address
  bool system = false;                  // the bus stands for the system bus
  std::string path{}, interfaceName{};  // of a bare object, without a template

  static DbusMockOptions Object(std::string name, std::string path, std::string interface) {
    return {
        .name = std::move(name), .path = std::move(path), .interfaceName = std::move(interface)};
  }
};

class DbusMock {
 public:
  static bool Available();  // python3-dbusmock is installed

  explicit DbusMock(const DbusMockOptions& options);

  bool Running() const { return ready_; }
  std::string Log() const { return ReadFile(dir_ / "calls"); }
  bool WaitForLog(const std::string& text, std::chrono::milliseconds wait = 10s) const;
  // Calls of `method` in the log ("Next", "Set"), whatever their arguments.
  size_t Calls(const std::string& method) const;

 private:
  TempDir dir_;
  std::unique_ptr<ServiceProcess> process_;
  bool ready_ = false;
};

}  // namespace hovra::testing
