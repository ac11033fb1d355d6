#include "app/ui/forms/timer_form.h"

#include <QVBoxLayout>

namespace orvantix {

TimerForm::TimerForm(Engine& engine, QWidget* parent) : QDialog(parent), countdown_(*this, engine) {
  setObjectName("TimerForm");
  setWindowTitle(Countdown::kCaption);
  Label1 = new QLabel(Countdown::kText, this);
  Label1->setObjectName("Label1");
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  Label2->setAlignment(Qt::AlignCenter);
  Command1 = new QPushButton(Countdown::kCancelCaption, this);
  Command1->setObjectName("Command1");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(Command1, 0, Qt::AlignCenter);

  connect(&timer1_.Timer(), &QTimer::timeout, this, [this] { countdown_.Timer1_Timer(); });
  connect(Command1, &QPushButton::clicked, this, [this] { countdown_.Command1_Click(); });
  countdown_.Form_Load();
}

void TimerForm::SetLabel2(const std::string& text) {
  Label2->setText(QString::fromStdString(text));
}

}  // namespace orvantix
