// The Format dialog: pixel format and frame size from what the device
// offers; a choice goes to the device as soon as it is made.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/capture/driver_settings.h"

class QComboBox;

namespace platform::capture {

class FormatDialog : public QDialog {
 public:
  using Apply = std::function<void(const FormatChoice&)>;

  // Editors: "formatCombo" and "sizeCombo".
  FormatDialog(QWidget* parent, std::vector<FormatOption> options, const FormatChoice& current,
               Apply apply);

 private:
  void FillSizes(const FrameSize& selected);
  void ApplyChoice();

  std::vector<FormatOption> options_;
  Apply apply_;
  QComboBox* formats_;
  QComboBox* sizes_;
  bool filling_ = false;
};

}  // namespace platform::capture
