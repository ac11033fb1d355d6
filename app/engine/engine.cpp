#include "app/engine/engine.h"

namespace orvantix {

Engine::Engine(FormView& view, platform::capture::CaptureControl& kelvra,
               platform::settings::SettingsStore& store, Clock& clock,
               platform::system::SystemServices& system, Switches switches, EngineOptions options)
    : view_(view),
      kelvra_(kelvra),
      settings_(store),
      clock_(clock),
      system_(system),
      switches_(switches),
      options_(std::move(options)),
      tracer_(clock),
      log_(options_.logFolder) {}

Engine::~Engine() = default;

}  // namespace orvantix
