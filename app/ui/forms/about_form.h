// The about box.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace orvantix {

class FrmAbout final : public QDialog {
  Q_OBJECT

 public:
  explicit FrmAbout(QWidget* parent = nullptr);

  // "Revision " + major.minor.revision of the program's version.
  static QString RevisionText(int major, int minor, int revision);

  QLabel* Picture1 = nullptr;
  QLabel* picIcon = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblDisclaimer = nullptr;
  QFrame* Line1[2] = {nullptr, nullptr};
  QPushButton* cmdOK = nullptr;

 private:
  void cmdOK_Click();
};

}  // namespace orvantix
