#include "platform/capture/compression_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace platform::capture {

CompressionDialog::CompressionDialog(QWidget* parent, int quality, Apply apply) : QDialog(parent) {
  setObjectName("CompressionDialog");
  setWindowTitle(tr("Video Compression"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Motion JPEG quality")));
  auto* row = new QHBoxLayout;
  auto* slider = new QSlider(Qt::Horizontal);
  auto* spin = new QSpinBox;
  slider->setObjectName("qualitySlider");
  spin->setObjectName("qualitySpin");
  slider->setRange(1, 100);
  spin->setRange(1, 100);
  slider->setValue(quality);
  spin->setValue(quality);
  row->addWidget(slider, 1);
  row->addWidget(spin);
  layout->addLayout(row);
  connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
  connect(spin, qOverload<int>(&QSpinBox::valueChanged), slider, &QSlider::setValue);
  connect(spin, qOverload<int>(&QSpinBox::valueChanged), this,
          [apply = std::move(apply)](int value) { apply(value); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace platform::capture
