#include "support/gui/ModalDialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace upfold::test {

namespace {

void ForceClose(QWidget* widget) {
  if (auto* dialog = qobject_cast<QDialog*>(widget))
    dialog->reject();
  else
    widget->close();
}

}  // namespace

ModalScript::ModalScript() {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
  timer_.start(5);
}

ModalScript::~ModalScript() {
  timer_.stop();
  if (!handlers_.empty())
    ADD_FAILURE() << handlers_.size() << " modal window(s) expected but never opened";
}

void ModalScript::Then(std::function<void(QWidget*)> handler) {
  handlers_.push_back(std::move(handler));
}

void ModalScript::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) {
    current_ = nullptr;
    return;
  }
  if (modal == current_) return;
  current_ = modal;
  ++seen_;
  if (handlers_.empty()) {
    ADD_FAILURE() << "unexpected modal window: " << modal->windowTitle().toStdString();
    ForceClose(modal);
    return;
  }
  auto handler = std::move(handlers_.front());
  handlers_.pop_front();
  handler(modal);
  if (current_ && QApplication::activeModalWidget() == modal && modal->isVisible()) {
    ADD_FAILURE() << "the handler left the modal window open: "
                  << modal->windowTitle().toStdString();
    ForceClose(modal);
  }
}

void ClickButton(QMessageBox* box, const QString& text) {
  ASSERT_NE(box, nullptr);
  for (QAbstractButton* button : box->buttons()) {
    if (button->text().remove(QLatin1Char('&')) == text) {
      button->click();
      return;
    }
  }
  ADD_FAILURE() << "no button " << text.toStdString();
  box->reject();
}

}  // namespace upfold::test
