#include "app/ui/QtUi.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <optional>

#include "app/UpfoldMain.h"
#include "platform/DosFs.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

QWidget* DialogParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

// Shows the arrow over a message box or file dialog even while the hourglass is on, and
// puts the hourglass back afterwards.
class ArrowWhileAsking {
 public:
  ArrowWhileAsking() : pushed_(QGuiApplication::overrideCursor() != nullptr) {
    if (pushed_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowWhileAsking() {
    if (pushed_ && QGuiApplication::overrideCursor() != nullptr)
      QGuiApplication::restoreOverrideCursor();
  }
  ArrowWhileAsking(const ArrowWhileAsking&) = delete;
  ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

 private:
  bool pushed_;
};

struct BoxLook {
  QMessageBox::Icon icon;
  const char* title;
};

BoxLook LookOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Plain: return {QMessageBox::NoIcon, UpfoldMain::kApplicationTitle};
    case MessageKind::Information: return {QMessageBox::Information, "Information"};
    case MessageKind::Warning: return {QMessageBox::Warning, "Warning"};
    case MessageKind::Error: return {QMessageBox::Critical, "Error"};
    case MessageKind::Question: return {QMessageBox::Question, "Confirm"};
  }
  return {QMessageBox::NoIcon, UpfoldMain::kApplicationTitle};
}

}  // namespace

QString ToDisplayText(const std::string& text) {
  QString shown = QString::fromStdString(Cp1252ToUtf8(text));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

std::string FromDisplayText(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = ToDisplayText(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

QtUi::QtUi(const Registry* registry) : registry_(registry) {}

void QtUi::Show(MessageKind kind, const std::string& text) {
  const BoxLook look = LookOf(kind);
  QMessageBox box(look.icon, QString::fromLatin1(look.title), ToDisplayText(text),
                  QMessageBox::Ok, DialogParent());
  ArrowWhileAsking arrow;
  box.exec();
}

Answer QtUi::Ask(MessageKind kind, const std::string& text, Buttons buttons) {
  const BoxLook look = LookOf(kind);
  const bool withCancel = buttons == Buttons::YesNoCancel;
  QMessageBox box(look.icon, QString::fromLatin1(look.title), ToDisplayText(text),
                  QMessageBox::Yes | QMessageBox::No |
                      (withCancel ? QMessageBox::Cancel : QMessageBox::NoButton),
                  DialogParent());
  box.setDefaultButton(QMessageBox::Yes);
  // Escape and the window's close button give the answer that changes nothing.
  box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
  ArrowWhileAsking arrow;
  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  if (clicked == box.button(QMessageBox::Yes)) return Answer::Yes;
  if (clicked == box.button(QMessageBox::No)) return Answer::No;
  return withCancel ? Answer::Cancel : Answer::No;
}

void QtUi::HourglassCursor() {
  if (QGuiApplication::overrideCursor() != nullptr)
    QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
  else
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUi::ArrowCursor() {
  while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
}

std::vector<std::string> QtUi::OpenFiles(const OpenFilesRequest& request) {
  const DosFs fs(registry_);
  QFileDialog dialog(DialogParent(), ToDisplayText(request.title));
  // Qt's own dialog: it shows exactly the host folders the drive mapping gives.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                     : request.mustExist ? QFileDialog::ExistingFile
                                         : QFileDialog::AnyFile);
  if (!request.filter.empty()) dialog.setNameFilter(QtFileFilter(request.filter));

  QList<QUrl> drives;
  for (char letter : fs.Drives()) {
    if (const auto root = fs.ToHost(std::string(1, letter) + ":\\"))
      drives << QUrl::fromLocalFile(QString::fromStdString(*root));
  }
  dialog.setSidebarUrls(drives);
  if (!request.initialDir.empty()) {
    if (const auto folder = fs.ToHost(request.initialDir))
      dialog.setDirectory(QString::fromStdString(*folder));
  }

  ArrowWhileAsking arrow;
  for (;;) {
    if (dialog.exec() != QDialog::Accepted) return {};
    std::vector<std::string> chosen;
    std::optional<QString> outside;
    for (const QString& file : dialog.selectedFiles()) {
      const auto dosPath = fs.ToDos(file.toStdString());
      if (!dosPath) {
        outside = file;
        break;
      }
      chosen.push_back(*dosPath);
    }
    if (!outside) return chosen;
    Show(MessageKind::Warning,
         FromDisplayText(QStringLiteral("The file %1 is not on a drive of this installation.")
                             .arg(*outside)));
  }
}

void QtUi::ProcessMessages() { QCoreApplication::processEvents(); }

}  // namespace upfold
