#include "tests/support/desktop/dbus_mock.h"

#include <sstream>

namespace hovra::testing {

BusClient::BusClient(const std::string& address) {
  auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
  connection_ =
      g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
}

BusClient::~BusClient() {
  if (connection_) {
    g_dbus_connection_close_sync(connection_, nullptr, nullptr);
    g_object_unref(connection_);
  }
}

bool BusClient::HasOwner(const std::string& name) {
  std::optional<std::string> reply =
      Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
           g_variant_new("(s)", name.c_str()));
  return reply && *reply == "(true,)";
}

std::optional<std::string> BusClient::Call(const std::string& destination, const std::string& path,
                                           const std::string& interface, const std::string& method,
                                           GVariant* args) {
  if (!connection_) {
    if (args) g_variant_unref(g_variant_ref_sink(args));
    return std::nullopt;
  }
  GVariant* reply = g_dbus_connection_call_sync(connection_, destination.c_str(), path.c_str(),
                                                interface.c_str(), method.c_str(), args, nullptr,
                                                G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
  if (!reply) return std::nullopt;
  g_autofree gchar* text = g_variant_print(reply, FALSE);
  g_variant_unref(reply);
  return text;
}

bool BusClient::AddMockMethod(const std::string& destination, const std::string& path,
                              const char* method, const char* in, const char* out,
                              const char* code) {
  return Call(destination, path, "org.freedesktop.DBus.Mock", "AddMethod",
              g_variant_new("(sssss)", "", method, in, out, code))
      .has_value();
}

bool DbusMock::Available() {
  static const bool available = ProgramExists(kSystemPython) &&
                                RunTool({kSystemPython, "-c", "import dbusmock"}).exitCode == 0;
  return available;
}

DbusMock::DbusMock(const DbusMockOptions& options) {
  std::vector<std::string> argv{kSystemPython, "-m",
                                "dbusmock",    options.system ? "--system" : "--session",
                                "-l",          dir_ / "calls"};
  if (!options.templateName.empty()) {
    argv.insert(argv.end(), {"-t", options.templateName});
    if (!options.parameters.empty()) argv.insert(argv.end(), {"-p", options.parameters});
  } else {
    argv.insert(argv.end(), {options.name, options.path, options.interfaceName});
  }
  Environment env = options.env;
  env.emplace_back(options.system ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS",
                   options.bus);
  process_ = std::make_unique<ServiceProcess>(
      ServiceOptions{.argv = argv, .env = env, .output = dir_ / "output"});
  ready_ = process_->WaitReady([&] { return BusClient(options.bus).HasOwner(options.name); });
}

bool DbusMock::WaitForLog(const std::string& text, std::chrono::milliseconds wait) const {
  return PollUntil([&] { return Log().find(text) != std::string::npos; }, wait);
}

size_t DbusMock::Calls(const std::string& method) const {
  std::istringstream in(Log());
  size_t count = 0;
  for (std::string line; std::getline(in, line);) {
    // "1796574057.380 Next" or "1796574057.443 Set /path interface.Property value"
    std::string call = line.substr(line.find(' ') + 1);
    count += call == method || call.starts_with(method + " ");
  }
  return count;
}

}  // namespace hovra::testing
