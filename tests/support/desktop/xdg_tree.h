// A hermetic Linux desktop in a temporary folder: XDG data, GNOME's favourites and icon theme
// in GSettings (keyfile backend), and a recorder program that entries run.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace hovra::testing {

using EntryKeys = std::vector<std::pair<std::string, std::string>>;

class XdgTree {
 public:
  // `favourites`: the schema's default GNOME favourites (desktop file names).
  explicit XdgTree(const std::vector<std::string>& favourites = {},
                   const std::string& iconTheme = "hicolor");

  std::string Root() const { return root_.path(); }
  std::string DataDir() const { return root_ / "data"; }
  std::string Home() const { return root_ / "home"; }

  // applications/<id>.desktop with [Desktop Entry] Type=Application, Exec=true unless given.
  void AddEntry(const std::string& id, const EntryKeys& keys);
  // An entry whose Exec runs the recorder: each launch appends "<name> <args...>" to
  // RecordFile(); `mimeTypes` (";"-separated) makes it a handler.
  void AddRecordingEntry(const std::string& id, const std::string& name,
                         const std::string& mimeTypes = "");
  std::string RecordFile() const { return root_ / "launched.txt"; }
  // Waits until the record file holds `text`; returns its contents.
  std::string WaitForRecord(const std::string& text) const;
  // Default handlers ([Default Applications] of mimeapps.list in the data folder).
  void SetDefault(const std::string& mimeType, const std::string& id);

  // A theme folder with index.theme; `dirs` as "subdir:Type:Size[:MinSize:MaxSize]".
  void AddTheme(const std::string& name, const std::string& inherits,
                const std::vector<std::string>& dirs);
  // One colour filling the image; PNG at its size, SVG as a 16-unit square scaled to fit.
  void AddPng(const std::string& path, int size, std::array<uint8_t, 4> rgba);
  void AddSvg(const std::string& path, const std::string& fill, double opacity);

  // The tree's XDG, HOME and GSettings variables (Environment()), set in this process.
  void ApplyToEnvironment() const;
  std::vector<std::pair<std::string, std::string>> Environment() const;

 private:
  void Write(const std::string& path, const std::string& text) const;  // absolute, or in Root()

  TempDir root_;
  std::map<std::string, std::string> defaults_;
};

}  // namespace hovra::testing
