#include "platform/capture/driver_settings.h"

namespace platform::capture {

DriverControl DriverControl::Integer(std::uint32_t id, std::string name, std::int32_t minimum,
                                     std::int32_t maximum, std::int32_t defaultValue,
                                     std::int32_t value) {
  DriverControl control;
  control.id = id;
  control.name = std::move(name);
  control.minimum = minimum;
  control.maximum = maximum;
  control.default_value = defaultValue;
  control.value = value;
  return control;
}

}  // namespace platform::capture
