// The Audio format dialog: sample rate and channels of captured sound.
#pragma once

#include <QDialog>
#include <functional>

#include "platform/capture/driver_settings.h"

namespace platform::capture {

class AudioFormatDialog : public QDialog {
 public:
  using Apply = std::function<void(const AudioFormat&)>;

  // Editors: "rateCombo" and "channelsCombo".
  AudioFormatDialog(QWidget* parent, const AudioFormat& current, Apply apply);
};

}  // namespace platform::capture
