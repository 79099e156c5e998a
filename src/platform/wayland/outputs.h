// The compositor's outputs and where they lie in its layout: the logical position and size
// from xdg-output where the compositor offers it, else wl_output's position and its mode
// divided by the scale. Kept current by the events of the connection they were bound on.
//   outputs.Add(registry, name, version);  ...  outputs.Layout();  // main output first
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/unix_input/layout_space.h"

struct wl_registry;
struct zxdg_output_manager_v1;

namespace hovra::platform::wayland {

using unix_input::LayoutRect;

class Outputs {
 public:
  Outputs();
  ~Outputs();
  Outputs(const Outputs&) = delete;
  Outputs& operator=(const Outputs&) = delete;

  void Add(wl_registry* registry, uint32_t name, uint32_t version);
  void Remove(uint32_t name);  // a global gone (nothing when it was no output)
  // With xdg-output every output (those bound before and after) reports its logical box.
  void UseXdgOutputs(zxdg_output_manager_v1* manager);

  // Every output with a known size; the main one (at the layout's origin, else the first
  // announced) first, then in the order the compositor announced them.
  std::vector<LayoutRect> Layout() const;

  struct Output;

 private:
  zxdg_output_manager_v1* xdgManager_ = nullptr;
  std::vector<std::unique_ptr<Output>> outputs_;
};

}  // namespace hovra::platform::wayland
