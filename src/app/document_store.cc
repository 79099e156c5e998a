#include "app/document_store.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/log.h"
#include "platform/posix/private_files.h"
#include "platform/services.h"

namespace hovra::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEmptyStoreDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<database/>\n";
constexpr const char* kQuitQuestion = "Could not save changes while quitting. Quit anyway?";
constexpr const char* kQuitInformative =
    "Quitting now will lose any changes you have made since the last successful save";

StoreError SystemError(const std::string& what, const fs::path& path, int code) {
  return StoreError{"NSPOSIXErrorDomain", code,
                    what + " \"" + path.string() + "\": " + std::strerror(code), ""};
}

std::string FileForFolderText(const fs::path& folder) {
  std::string text = "Expected a folder to store application data, found a file (%@).";
  text.replace(text.find("%@"), 2, folder.string());
  return text;
}

}  // namespace

bool PresentError(const StoreError& error) {
  Log("%s error %d: %s %s", error.domain.c_str(), error.code, error.description.c_str(),
      error.failureReason.c_str());
  platform::GetUi().RunAlert(error.description, error.failureReason, {"OK"});
  return false;
}

bool DocumentStore::persistentStoreCoordinator() {
  if (coordinatorBuilt_) return true;
  std::error_code ec;
  fs::file_status status = fs::status(folder_, ec);
  if (status.type() == fs::file_type::not_found) {
    if (!platform::posix::CreatePrivateFolder(folder_, ec)) {
      PresentError(SystemError("Cannot create the folder", folder_, ec.value()));
      return false;
    }
  } else if (ec) {
    PresentError(SystemError("Cannot look at the folder", folder_, ec.value()));
    return false;
  } else if (!fs::is_directory(status)) {
    PresentError(
        StoreError{kStoreErrorDomain, kErrorFileForFolder, FileForFolderText(folder_), ""});
    return false;
  }
  fs::path file = folder_ / kStoreFileName;
  if (!fs::exists(file, ec)) {
    StoreError error;
    if (!WriteStore(error)) {
      PresentError(error);
      return false;
    }
  }
  coordinatorBuilt_ = true;
  return true;
}

bool DocumentStore::managedObjectContext() {
  if (contextBuilt_) return true;
  if (!persistentStoreCoordinator()) {
    PresentError(StoreError{kStoreErrorDomain, kErrorNoStore, "Failed to initialize the store",
                            "There was an error building up the data file."});
    return false;
  }
  contextBuilt_ = true;
  return true;
}

void DocumentStore::NoteEdit() {
  if (managedObjectContext()) hasChanges_ = true;
}

bool DocumentStore::WriteStore(StoreError& error) {
  fs::path file = folder_ / kStoreFileName;
  int code = 0;
  // Private (0600) like every file of the folder, and replaced whole or not at all.
  if (platform::posix::ReplaceFile(file, kEmptyStoreDocument, code)) return true;
  error = SystemError("Cannot write the data file", file, code != 0 ? code : EIO);
  return false;
}

void DocumentStore::saveAction() {
  if (!managedObjectContext()) return;
  StoreError error;
  if (WriteStore(error)) {
    hasChanges_ = false;
  } else {
    PresentError(error);
  }
}

TerminateReply DocumentStore::applicationShouldTerminate() {
  if (!contextBuilt_) return kTerminateNow;  // quitting never builds the store
  if (!hasChanges_) return kTerminateNow;
  StoreError error;
  if (WriteStore(error)) {
    hasChanges_ = false;
    return kTerminateNow;
  }
  if (PresentError(error)) return kTerminateCancel;
  int answer =
      platform::GetUi().RunAlert(kQuitQuestion, kQuitInformative, {"Quit anyway", "Cancel"});
  return answer == 1000 ? kTerminateNow : kTerminateCancel;
}

}  // namespace hovra::app
