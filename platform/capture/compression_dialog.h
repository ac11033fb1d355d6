// The Compression dialog: the MJPEG quality (1-100) of captures.
#pragma once

#include <QDialog>
#include <functional>

namespace platform::capture {

class CompressionDialog : public QDialog {
 public:
  using Apply = std::function<void(int quality)>;

  // Editors: "qualitySlider" and "qualitySpin".
  CompressionDialog(QWidget* parent, int quality, Apply apply);
};

}  // namespace platform::capture
