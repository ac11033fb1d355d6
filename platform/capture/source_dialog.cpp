#include "platform/capture/source_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace platform::capture {
namespace {

QWidget* IntegerEditor(const DriverControl& control, const SourceDialog::Apply& apply) {
  auto* editor = new QWidget;
  auto* row = new QHBoxLayout(editor);
  row->setContentsMargins(0, 0, 0, 0);
  auto* slider = new QSlider(Qt::Horizontal);
  auto* spin = new QSpinBox;
  slider->setRange(control.minimum, control.maximum);
  slider->setSingleStep(control.step);
  slider->setValue(control.value);
  spin->setRange(control.minimum, control.maximum);
  spin->setSingleStep(control.step);
  spin->setValue(control.value);
  spin->setObjectName(QString("control_%1").arg(control.id));
  row->addWidget(slider, 1);
  row->addWidget(spin);
  QObject::connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
  QObject::connect(spin, qOverload<int>(&QSpinBox::valueChanged), slider, &QSlider::setValue);
  QObject::connect(spin, qOverload<int>(&QSpinBox::valueChanged),
                   [apply, id = control.id](int value) { apply(id, value); });
  return editor;
}

QWidget* BooleanEditor(const DriverControl& control, const SourceDialog::Apply& apply) {
  auto* box = new QCheckBox;
  box->setObjectName(QString("control_%1").arg(control.id));
  box->setChecked(control.value != 0);
  QObject::connect(box, &QCheckBox::toggled,
                   [apply, id = control.id](bool on) { apply(id, on ? 1 : 0); });
  return box;
}

QWidget* MenuEditor(const DriverControl& control, const SourceDialog::Apply& apply) {
  auto* combo = new QComboBox;
  combo->setObjectName(QString("control_%1").arg(control.id));
  for (const auto& [value, text] : control.items) {
    combo->addItem(QString::fromStdString(text), value);
    if (value == control.value) combo->setCurrentIndex(combo->count() - 1);
  }
  QObject::connect(combo, qOverload<int>(&QComboBox::currentIndexChanged),
                   [apply, combo, id = control.id](int index) {
                     if (index >= 0) apply(id, combo->itemData(index).toInt());
                   });
  return combo;
}

}  // namespace

SourceDialog::SourceDialog(QWidget* parent, const QString& title,
                           const std::vector<DriverControl>& controls, Apply apply)
    : QDialog(parent) {
  setObjectName("SourceDialog");
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  for (const auto& control : controls) {
    QWidget* editor = nullptr;
    switch (control.type) {
      case DriverControl::Type::kInteger:
        editor = IntegerEditor(control, apply);
        break;
      case DriverControl::Type::kBoolean:
        editor = BooleanEditor(control, apply);
        break;
      case DriverControl::Type::kMenu:
        editor = MenuEditor(control, apply);
        break;
    }
    form->addRow(QString::fromStdString(control.name), editor);
  }
  if (controls.empty())
    layout->addWidget(new QLabel(tr("This device has no adjustable controls.")));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace platform::capture
