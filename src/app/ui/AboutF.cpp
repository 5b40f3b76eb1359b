#include "app/ui/AboutF.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/RunValues.h"
#include "app/UpfoldMain.h"
#include "app/WindowCreated.h"
#include "app/ui/QtUi.h"

namespace upfold {

namespace {

QLabel* AddLabel(QVBoxLayout* layout, const char* name, const QString& text) {
  auto* label = new QLabel(text);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignHCenter);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(label);
  return label;
}

}  // namespace

AboutF::AboutF(const RunValues& values, QWidget* parent) : QDialog(parent) {
  const QString product = ToDisplayText(values.ProductName).trimmed();
  setWindowTitle(product.isEmpty() ? QStringLiteral("About") : product);

  auto* layout = new QVBoxLayout(this);
  QLabel* heading = AddLabel(layout, "ProductLabel", product);
  QFont big = heading->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  heading->setFont(big);
  heading->setVisible(!product.isEmpty());

  AddLabel(layout, "ProgramLabel", QString::fromLatin1(UpfoldMain::kApplicationTitle));
  layout->addSpacing(12);
  AddLabel(layout, "DataPathLabel",
           QStringLiteral("Data path: ") + ToDisplayText(values.DataPath));
  AddLabel(layout, "WSIDLabel", QStringLiteral("Workstation: ") + ToDisplayText(values.WSID));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBB"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setContentsMargins(24, 18, 24, 12);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  SetWindowCreated();
}

void AboutF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    activated_ = true;
    ClearWindowCreated();
  }
}

}  // namespace upfold
