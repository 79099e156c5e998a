#include "platform/linux/apps/launch_context.h"

#include <unistd.h>

#include <atomic>
#include <string>

#include "base/log.h"
#include "platform/linux/apps/g_owned.h"

namespace hovra::platform::linux_desktop {
namespace {

struct StartupContext {
  GAppLaunchContext parent;
  uint32_t serverTime;
};
struct StartupContextClass {
  GAppLaunchContextClass parent;
};

GType StartupContextType();

std::string Sanitised(const char* text) {
  std::string out = Text(text);
  for (char& c : out) {
    if (c == ' ' || c == '/' || c == '"' || c == '\\') c = '_';
  }
  return out;
}

char* GetStartupNotifyId(GAppLaunchContext* context, GAppInfo* info, GList*) {
  static std::atomic<unsigned> s_sequence{0};
  auto* self = reinterpret_cast<StartupContext*>(context);
  char host[64] = {};
  ::gethostname(host, sizeof host - 1);
  std::string id = "hovra-server-" + std::to_string(::getpid()) + "-" + Sanitised(host) + "-" +
                   Sanitised(g_app_info_get_id(info)) + "-" + std::to_string(++s_sequence);
  // Without a real time the suffix is left out: "_TIME0" would forbid the focus.
  if (self->serverTime != 0) id += "_TIME" + std::to_string(self->serverTime);
  return g_strdup(id.c_str());
}

void LaunchFailed(GAppLaunchContext*, const char* startupId) {
  Log("launch: the application of startup id %s did not start", startupId);
}

void ClassInit(gpointer klass, gpointer) {
  auto* context = static_cast<GAppLaunchContextClass*>(klass);
  context->get_startup_notify_id = GetStartupNotifyId;
  context->launch_failed = LaunchFailed;
}

GType StartupContextType() {
  static GType s_type = [] {
    GTypeInfo info{};
    info.class_size = sizeof(StartupContextClass);
    info.class_init = ClassInit;
    info.instance_size = sizeof(StartupContext);
    return g_type_register_static(G_TYPE_APP_LAUNCH_CONTEXT, "HovraStartupLaunchContext", &info,
                                  GTypeFlags(0));
  }();
  return s_type;
}

}  // namespace

GAppLaunchContext* NewStartupLaunchContext(uint32_t serverTime) {
  auto* context = static_cast<StartupContext*>(g_object_new(StartupContextType(), nullptr));
  context->serverTime = serverTime;
  return &context->parent;
}

}  // namespace hovra::platform::linux_desktop
