#include "tests/fakes/engine_harness.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace orvantix::testing {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvanta-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

EngineHarness::EngineHarness() {
  kelvra.names[0] = "Test camera";
  std::filesystem::create_directories(folder.Path() / "videos");
  store.SaveSetting("Orvantix", "CONFIG", "VidPath", VidPath());
}

Engine& EngineHarness::Start(const std::string& commandLine) {
  EngineOptions options;
  options.traceFilePath = TracePath();
  options.defaultVidPath = VidPath();
  options.logFolder = folder.Path().string();
  engine.reset();
  engine = std::make_unique<Engine>(form, kelvra, store, clock, system,
                                    Switches::Parse(commandLine), options);
  form.onResize = [this] { engine->Form_Resize(); };
  kelvra.SetEventSink(engine.get());
  return *engine;
}

std::string EngineHarness::ReadFile(const std::filesystem::path& path) const {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace orvantix::testing
