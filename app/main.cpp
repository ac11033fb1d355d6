// Orvantix: watches one camera, records on motion, keeps an activity log.
#include <QApplication>
#include <clocale>
#include <cstdlib>

#include "app/engine/data_folder.h"
#include "app/engine/switches.h"
#include "app/ui/forms/form1.h"
#include "app/ui/forms/signal_closer.h"
#include "platform/capture/capture_widget.h"
#include "platform/settings/ini_settings_store.h"
#include "platform/system/folders.h"
#include "platform/system/host_system.h"

namespace {

// Without a display the program still runs, as a headless watch.
void ChooseOffscreenWithoutDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!platform || !*platform) && (!x11 || !*x11) && (!wayland || !*wayland))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace

int main(int argc, char** argv) {
  ChooseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  std::setlocale(LC_ALL, "");
  // Settings and the log keep "." decimals whatever the locale.
  std::setlocale(LC_NUMERIC, "C");

  using namespace orvantix;
  const Switches switches = Switches::Parse(JoinCommandLine(argc, argv));
  PrepareDataFolder(platform::system::ProgramDataFolder());

  platform::settings::IniSettingsStore store;
  platform::system::HostSystem system;
  SystemClock clock;
  auto* kelvra = new platform::capture::CaptureWidget;

  EngineOptions options;
  options.traceFilePath = TraceFilePath();
  options.defaultVidPath = platform::system::DefaultVideoFolder();

  Form1 form(*kelvra, kelvra, store, system, switches, options, clock);
  SignalCloser closer(form);
  form.Load();
  form.show();
  return app.exec();
}
