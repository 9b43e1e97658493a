#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <functional>

namespace pixtrel::testing {

/// Calls `answer` with the next modal dialog of type T to open, from inside
/// that dialog's event loop. Gives up after five seconds.
template <class T>
void WhenShown(std::function<void(T*)> answer) {
  auto* timer = new QTimer(qApp);
  auto deadline = std::make_shared<int>(500);
  QObject::connect(timer, &QTimer::timeout, [timer, deadline, answer] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      T* dialog = qobject_cast<T*>(widget);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      timer->deleteLater();
      answer(dialog);
      return;
    }
    if (--*deadline == 0) {
      timer->deleteLater();
    }
  });
  timer->start(10);
}

/// Records the text of the next message box into *text and dismisses it.
inline void CaptureMessage(QString* text) {
  WhenShown<QMessageBox>([text](QMessageBox* box) {
    *text = box->text();
    box->accept();
  });
}

/// Chooses `path` in the next Open dialog.
inline void ChooseInDialog(const QString& path) {
  WhenShown<QFileDialog>([path](QFileDialog* dialog) {
    dialog->setDirectory(QFileInfo(path).absolutePath());
    dialog->selectFile(QFileInfo(path).fileName());
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which checks the name.
  });
}

/// Cancels the next Open dialog.
inline void CancelDialog() {
  WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
}

}  // namespace pixtrel::testing
