// The Source dialog: the device's own controls (brightness, contrast, ...),
// each applied to the device as soon as it changes.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/capture/driver_settings.h"

namespace platform::capture {

class SourceDialog : public QDialog {
 public:
  using Apply = std::function<void(std::uint32_t id, std::int32_t value)>;

  // Each control's editor is named "control_<id>".
  SourceDialog(QWidget* parent, const QString& title, const std::vector<DriverControl>& controls,
               Apply apply);
};

}  // namespace platform::capture
