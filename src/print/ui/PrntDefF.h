#pragma once
// TPrntDefF, the "Printing Choices" dialog: the widgets of the printing choices, each named
// after its control, over the dialog's logic (PrntDef). Every action goes to the logic and
// the widgets are then set from its view. Made once for the run and shown for each choice.

#include <QDialog>

#include "print/PrntDef.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace upfold {

class PrntDefF : public QDialog {
  Q_OBJECT

 public:
  // logic must outlive the dialog.
  explicit PrntDefF(PrntDef& logic, QWidget* parent = nullptr);

  // Shows the logic's view; called after it was opened for a report, before exec().
  void Refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Build();
  void OkClick();
  void CancelClick();
  void RefreshDirectoryList();
  bool IsRadioButtonOrCancel(QWidget* widget) const;

  PrntDef& logic_;
  QGroupBox* printerFileScreenRG_ = nullptr;
  QButtonGroup* printTo_ = nullptr;
  QGroupBox* delAppPrintFileExitRG_ = nullptr;
  QButtonGroup* fileExists_ = nullptr;
  QGroupBox* printerGB_ = nullptr;
  QComboBox* availPrintersCB_ = nullptr;
  QGroupBox* printOrientationRG_ = nullptr;
  QButtonGroup* orientation_ = nullptr;
  QGroupBox* dataOrTextRG_ = nullptr;
  QButtonGroup* format_ = nullptr;
  QCheckBox* cbLabels_ = nullptr;
  QGroupBox* printFileGB_ = nullptr;
  QComboBox* driveComboBox1_ = nullptr;
  QListWidget* printFilePathDLB_ = nullptr;
  QLineEdit* printFileNameEB_ = nullptr;
  QLabel* printFileL_ = nullptr;
  QPushButton* okBB_ = nullptr;
  QPushButton* cancelBB_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace upfold
