// The application's document store, "HovraServer.storedata" in the configuration folder:
// built on first use only (the folder checked or created, then the store file), saved on
// request and at quit. It holds no records; its file is an empty XML document. The quit
// decision says whether the program may end now; errors and questions go to the user
// through platform::GetUi().RunAlert.
#pragma once

#include <filesystem>
#include <string>

namespace hovra::app {

inline constexpr const char* kStoreFileName = "HovraServer.storedata";
inline constexpr const char* kStoreErrorDomain = "YOUR_ERROR_DOMAIN";
inline constexpr int kErrorFileForFolder = 101;
inline constexpr int kErrorNoStore = 9999;

enum TerminateReply { kTerminateCancel = 0, kTerminateNow = 1 };

struct StoreError {
  std::string domain;
  int code = 0;
  std::string description;
  std::string failureReason;
};

class DocumentStore {
 public:
  explicit DocumentStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& applicationFilesDirectory() const { return folder_; }
  // Each builds its piece on the first successful call; false after presenting the error.
  bool persistentStoreCoordinator();
  bool managedObjectContext();
  bool HasContext() const { return contextBuilt_; }

  // An edit made through a window: the context now has unsaved changes.
  void NoteEdit();
  void saveAction();
  TerminateReply applicationShouldTerminate();

 private:
  bool WriteStore(StoreError& error);

  std::filesystem::path folder_;
  bool coordinatorBuilt_ = false;
  bool contextBuilt_ = false;
  bool hasChanges_ = false;
};

// Shows an error as a one-button alert; true when the user recovered from it (never, as
// no error here offers a recovery).
bool PresentError(const StoreError& error);

}  // namespace hovra::app
