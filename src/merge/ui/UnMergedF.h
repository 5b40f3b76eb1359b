#pragma once
// The unmerged-batch dialog: the host batch still holds transactions of an earlier import,
// and the person chooses what happens to it before anything is added. The logic (options,
// status texts, the erase) lives in UnMerged; this window shows it.
//
// objectNames: UnMergedGB holding UnmergedM (read-only memo) and UnMergedRG (" Choose one ",
// radio buttons UnMergedRG0..UnMergedRG4), OKBB, CancelBB, the status bar StatusBar with
// Panel5 (data path) and Panel6 (the choice).

#include <QDialog>
#include <optional>

#include "merge/UnMerged.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;

namespace upfold {

struct AppContext;

class UnMergedF : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "Unmerged Batch";

  // Sets the window-created flag as its last step. ctx must outlive the dialog.
  UnMergedF(AppContext& ctx, const std::string& batchName, const std::string& batchDate,
            QWidget* parent);

  const UnMergedOutcome& Outcome() const { return logic_.Outcome(); }
  QAbstractButton* Option(int position) const;

  void accept() override;
  void reject() override;  // Escape: refused while nothing is chosen

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void UnMergedRGClick(int position);
  void CancelBBClick();
  void SetStatus(const std::string& text);

  UnMerged logic_;
  QButtonGroup* options_ = nullptr;
  QLabel* panel6_ = nullptr;
  QAbstractButton* ok_ = nullptr;
  bool closing_ = false;
  bool activated_ = false;
};

// The dialog as the host batch check opens it: made for one showing, modal, freed after.
class QtUnMergedDialog final : public UnMergedDialog {
 public:
  // ctx must outlive this object; parent may be null.
  QtUnMergedDialog(AppContext& ctx, QWidget* parent) : ctx_(ctx), parent_(parent) {}
  std::optional<UnMergedOutcome> Show(const std::string& batchName,
                                      const std::string& batchDate) override;

 private:
  AppContext& ctx_;
  QWidget* parent_;
};

}  // namespace upfold
