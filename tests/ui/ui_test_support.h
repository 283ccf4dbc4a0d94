#pragma once
// Shared by every GUI test: the one QApplication of the test binary, a recorder for message
// boxes and browse dialogs, and small helpers to let posted messages run.

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QApplication;

namespace tidemark::testing {

// Makes the QApplication on first use (offscreen when no platform was chosen) and returns it.
QApplication& EnsureApplication();

// Handles every posted event, so that posted messages have run.
void ProcessPostedEvents();

struct RecordedMessage {
    QString text;
    QString caption;
};

// While alive, message boxes are recorded instead of shown, and the browse dialog answers with
// the queued picks (a null QString cancels; so does an empty queue).
class DialogRecorder {
  public:
    DialogRecorder();
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    std::vector<RecordedMessage> messages;
    std::vector<QString> picks;
    // The title and starting folder of each browse dialog asked for.
    std::vector<std::pair<QString, QString>> browseRequests;
};

// Sets an environment variable for the life of the object, restoring the old value after.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

// Changes the process's current folder for the life of the object.
class ScopedCurrentFolder {
  public:
    explicit ScopedCurrentFolder(const std::string& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

  private:
    std::string old_;
};

}  // namespace tidemark::testing
