#include "platform/capture/format_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace platform::capture {
namespace {

QString SizeText(const FrameSize& size) {
  if (size.width <= 0 || size.height <= 0) return QObject::tr("Source size");
  return QString("%1 x %2").arg(size.width).arg(size.height);
}

}  // namespace

FormatDialog::FormatDialog(QWidget* parent, std::vector<FormatOption> options,
                           const FormatChoice& current, Apply apply)
    : QDialog(parent),
      options_(std::move(options)),
      apply_(std::move(apply)),
      formats_(new QComboBox),
      sizes_(new QComboBox) {
  setObjectName("FormatDialog");
  setWindowTitle(tr("Video Format"));
  formats_->setObjectName("formatCombo");
  sizes_->setObjectName("sizeCombo");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(tr("Pixel format"), formats_);
  form->addRow(tr("Frame size"), sizes_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(buttons);

  filling_ = true;
  for (std::size_t i = 0; i < options_.size(); ++i) {
    formats_->addItem(QString::fromStdString(options_[i].description));
    if (options_[i].fourcc == current.fourcc) formats_->setCurrentIndex(static_cast<int>(i));
  }
  filling_ = false;
  FillSizes(current.size);

  connect(formats_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
    FillSizes(FrameSize{});
    ApplyChoice();
  });
  connect(sizes_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
    if (!filling_) ApplyChoice();
  });
}

void FormatDialog::FillSizes(const FrameSize& selected) {
  filling_ = true;
  sizes_->clear();
  const int format = formats_->currentIndex();
  if (format >= 0) {
    for (const auto& size : options_[format].sizes) {
      sizes_->addItem(SizeText(size), QSize(size.width, size.height));
      if (size == selected) sizes_->setCurrentIndex(sizes_->count() - 1);
    }
  }
  filling_ = false;
}

void FormatDialog::ApplyChoice() {
  const int format = formats_->currentIndex();
  if (format < 0 || sizes_->currentIndex() < 0) return;
  const QSize size = sizes_->currentData().toSize();
  apply_(FormatChoice{options_[format].fourcc, FrameSize{size.width(), size.height()}});
}

}  // namespace platform::capture
