// A test's own connection to a private bus (GDBus): who owns a name, and method calls
// whose reply comes back as GVariant text.
//   BusClient bus(session.Address());
//   bus.Call("org.mpris.MediaPlayer2.vlc", "/org/mpris/MediaPlayer2",
//            "org.freedesktop.DBus.Properties", "Set", g_variant_new(...));
#pragma once

#include <gio/gio.h>

#include <optional>
#include <string>

namespace hovra::testing {

class BusClient {
 public:
  explicit BusClient(const std::string& address);
  ~BusClient();
  BusClient(const BusClient&) = delete;
  BusClient& operator=(const BusClient&) = delete;

  bool Connected() const { return connection_ != nullptr; }
  bool HasOwner(const std::string& name);
  // The reply as text ("(uint32 3,)"); none on failure. `args` may be floating.
  std::optional<std::string> Call(const std::string& destination, const std::string& path,
                                  const std::string& interface, const std::string& method,
                                  GVariant* args = nullptr);

 private:
  GDBusConnection* connection_ = nullptr;
};

}  // namespace hovra::testing
