// An engine wired to fakes, with its own temporary folder for the trace,
// the activity log and the recordings.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/engine/engine.h"
#include "tests/fakes/fake_capture.h"
#include "tests/fakes/fake_form.h"
#include "tests/fakes/fake_host.h"

namespace orvantix::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct EngineHarness {
  TempFolder folder;
  FakeForm form;
  FakeCapture kelvra;
  MemorySettings store;
  FakeClock clock;
  FakeSystem system;
  std::unique_ptr<Engine> engine;

  EngineHarness();
  // Builds the engine for a command line (call again to restart).
  Engine& Start(const std::string& commandLine = "");
  std::string TracePath() const { return (folder.Path() / "KelvraDebug.dat").string(); }
  std::string VidPath() const { return (folder.Path() / "videos").string() + "/"; }
  std::string ReadFile(const std::filesystem::path& path) const;
};

}  // namespace orvantix::testing
