#include "app/ui/forms/about_form.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "app/engine/engine.h"

namespace orvantix {

QString FrmAbout::RevisionText(int major, int minor, int revision) {
  return QString("Revision %1.%2.%3").arg(major).arg(minor).arg(revision);
}

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbout");
  setWindowTitle("About");

  Picture1 = new QLabel(this);
  Picture1->setObjectName("Picture1");
  Picture1->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  picIcon = new QLabel(this);
  picIcon->setObjectName("picIcon");
  picIcon->setPixmap(windowIcon().pixmap(32, 32));
  lblTitle = new QLabel(Engine::kTitle, this);
  lblTitle->setObjectName("lblTitle");
  QFont titleFont = lblTitle->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
  titleFont.setBold(true);
  lblTitle->setFont(titleFont);
  lblVersion = new QLabel(
      RevisionText(ORVANTA_VERSION_MAJOR, ORVANTA_VERSION_MINOR, ORVANTA_VERSION_REVISION), this);
  lblVersion->setObjectName("lblVersion");
  lblDisclaimer = new QLabel(
      "Orvanta watches one camera and records what moves in front of it.\n"
      "Use it only where you are allowed to record. Provided as is, without "
      "warranty of any kind.",
      this);
  lblDisclaimer->setObjectName("lblDisclaimer");
  lblDisclaimer->setWordWrap(true);
  for (QFrame*& line : Line1) {
    line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
  }
  cmdOK = new QPushButton("OK", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setDefault(true);
  cmdOK->setAutoDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);

  auto* heading = new QHBoxLayout;
  heading->addWidget(picIcon);
  heading->addWidget(lblTitle, 1);
  heading->addWidget(Picture1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(heading);
  layout->addWidget(lblVersion);
  layout->addWidget(Line1[0]);
  layout->addWidget(lblDisclaimer);
  layout->addWidget(Line1[1]);
  layout->addWidget(cmdOK, 0, Qt::AlignRight);
}

// Escape rejects the dialog, which ends it the same way as OK.
void FrmAbout::cmdOK_Click() { accept(); }

}  // namespace orvantix
