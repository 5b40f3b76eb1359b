#pragma once
// The About window: the product's display name, the host data directory and the workstation.
// Controls: ProductLabel, ProgramLabel, DataPathLabel, WSIDLabel, OKBB.

#include <QDialog>

namespace upfold {

struct RunValues;

class AboutF : public QDialog {
  Q_OBJECT

 public:
  // Sets the window-created flag as its last step.
  AboutF(const RunValues& values, QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool activated_ = false;
};

}  // namespace upfold
