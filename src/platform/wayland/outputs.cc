#include "platform/wayland/outputs.h"

#include <wayland-client.h>

#include <algorithm>

#include "xdg-output-unstable-v1-client.h"

namespace hovra::platform::wayland {

struct Outputs::Output {
  ~Output() {
    if (xdg != nullptr) zxdg_output_v1_destroy(xdg);
    if (output != nullptr) wl_output_destroy(output);
  }
  void Watch(zxdg_output_manager_v1* manager);
  LayoutRect Box() const {
    if (xdg != nullptr && logicalWidth > 0)
      return {logicalX, logicalY, logicalWidth, logicalHeight};
    int s = std::max(scale, 1);
    return {x, y, modeWidth / s, modeHeight / s};
  }

  uint32_t name = 0;
  wl_output* output = nullptr;
  zxdg_output_v1* xdg = nullptr;
  int x = 0, y = 0, modeWidth = 0, modeHeight = 0, scale = 1;
  int logicalX = 0, logicalY = 0, logicalWidth = 0, logicalHeight = 0;
};

namespace {

using Output = Outputs::Output;

void OnGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                const char*, const char*, int32_t) {
  auto* output = static_cast<Output*>(data);
  output->x = x;
  output->y = y;
}
void OnMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
  if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
  auto* output = static_cast<Output*>(data);
  output->modeWidth = width;
  output->modeHeight = height;
}
void OnDone(void*, wl_output*) {}
void OnScale(void* data, wl_output*, int32_t factor) { static_cast<Output*>(data)->scale = factor; }
void OnName(void*, wl_output*, const char*) {}
void OnDescription(void*, wl_output*, const char*) {}
constexpr wl_output_listener kOutputListener{OnGeometry, OnMode, OnDone,
                                             OnScale,    OnName, OnDescription};

void OnLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
  auto* output = static_cast<Output*>(data);
  output->logicalX = x;
  output->logicalY = y;
}
void OnLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
  auto* output = static_cast<Output*>(data);
  output->logicalWidth = width;
  output->logicalHeight = height;
}
void OnXdgDone(void*, zxdg_output_v1*) {}
void OnXdgName(void*, zxdg_output_v1*, const char*) {}
void OnXdgDescription(void*, zxdg_output_v1*, const char*) {}
constexpr zxdg_output_v1_listener kXdgListener{OnLogicalPosition, OnLogicalSize, OnXdgDone,
                                               OnXdgName, OnXdgDescription};

}  // namespace

void Outputs::Output::Watch(zxdg_output_manager_v1* manager) {
  if (xdg != nullptr || manager == nullptr) return;
  xdg = zxdg_output_manager_v1_get_xdg_output(manager, output);
  zxdg_output_v1_add_listener(xdg, &kXdgListener, this);
}

Outputs::Outputs() = default;
Outputs::~Outputs() = default;

void Outputs::Add(wl_registry* registry, uint32_t name, uint32_t version) {
  auto output = std::make_unique<Output>();
  output->name = name;
  output->output = static_cast<wl_output*>(
      wl_registry_bind(registry, name, &wl_output_interface, std::min<uint32_t>(version, 3)));
  wl_output_add_listener(output->output, &kOutputListener, output.get());
  output->Watch(xdgManager_);
  outputs_.push_back(std::move(output));
}

void Outputs::Remove(uint32_t name) {
  std::erase_if(outputs_, [&](const std::unique_ptr<Output>& o) { return o->name == name; });
}

void Outputs::UseXdgOutputs(zxdg_output_manager_v1* manager) {
  xdgManager_ = manager;
  for (auto& output : outputs_) output->Watch(manager);
}

std::vector<LayoutRect> Outputs::Layout() const {
  std::vector<LayoutRect> boxes;
  for (const auto& output : outputs_) {
    LayoutRect box = output->Box();
    if (box.width > 0 && box.height > 0) boxes.push_back(box);  // else not described yet
  }
  unix_input::PutMainFirst(boxes);
  return boxes;
}

}  // namespace hovra::platform::wayland
