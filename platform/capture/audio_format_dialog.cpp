#include "platform/capture/audio_format_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace platform::capture {
namespace {

constexpr int kRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};

}  // namespace

AudioFormatDialog::AudioFormatDialog(QWidget* parent, const AudioFormat& current, Apply apply)
    : QDialog(parent) {
  setObjectName("AudioFormatDialog");
  setWindowTitle(tr("Audio Format"));
  auto* rates = new QComboBox;
  auto* channels = new QComboBox;
  rates->setObjectName("rateCombo");
  channels->setObjectName("channelsCombo");
  for (int rate : kRates) {
    rates->addItem(QString("%1 Hz").arg(rate), rate);
    if (rate == current.sample_rate) rates->setCurrentIndex(rates->count() - 1);
  }
  channels->addItem(tr("Mono"), 1);
  channels->addItem(tr("Stereo"), 2);
  channels->setCurrentIndex(current.channels == 2 ? 1 : 0);

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(tr("Sample rate"), rates);
  form->addRow(tr("Channels"), channels);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(buttons);

  auto changed = [rates, channels, apply = std::move(apply)] {
    apply(AudioFormat{rates->currentData().toInt(), channels->currentData().toInt()});
  };
  connect(rates, qOverload<int>(&QComboBox::currentIndexChanged), this, changed);
  connect(channels, qOverload<int>(&QComboBox::currentIndexChanged), this, changed);
}

}  // namespace platform::capture
