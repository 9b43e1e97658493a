#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "ui/qt/form1.h"

namespace pixtrel::testing {

/// A window whose program directory is `program_dir`, loaded and shown.
inline std::unique_ptr<Form1> ShownForm(const std::string& program_dir) {
  auto form = std::make_unique<Form1>(program_dir);
  EXPECT_TRUE(form->Load());
  form->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  return form;
}

/// A watch for a modal dialog; it stops watching when destroyed.
using DialogWatch = std::unique_ptr<QTimer>;

/// Calls `answer` with the next modal dialog of type T to open, from inside
/// that dialog's event loop, once; gives up after five seconds.
template <class T>
[[nodiscard]] DialogWatch WhenShown(std::function<void(T*)> answer) {
  auto timer = std::make_unique<QTimer>();
  QTimer* watch = timer.get();
  auto ticks_left = std::make_shared<int>(500);
  QObject::connect(watch, &QTimer::timeout, [watch, ticks_left, answer] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      T* dialog = qobject_cast<T*>(widget);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      watch->stop();
      answer(dialog);
      return;
    }
    if (--*ticks_left == 0) watch->stop();
  });
  watch->start(10);
  return timer;
}

/// Records the text of the next message box into *text and dismisses it.
[[nodiscard]] inline DialogWatch CaptureMessage(QString* text) {
  return WhenShown<QMessageBox>([text](QMessageBox* box) {
    *text = box->text();
    box->accept();
  });
}

/// Chooses `path` in the next Open dialog, as a user types it into the
/// file name box and presses Open.
[[nodiscard]] inline DialogWatch ChooseInDialog(const QString& path) {
  return WhenShown<QFileDialog>([path](QFileDialog* dialog) {
    // The dialog drops the file it had selected only for a name typed into a box that has the focus.
    auto* name_box = dialog->findChild<QLineEdit*>("fileNameEdit");
    dialog->activateWindow();
    static_cast<void>(QTest::qWaitForWindowActive(dialog));  // If it never is, the choice below goes wrong.
    name_box->setFocus();
    name_box->setText(path);
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which checks the name.
  });
}

/// Cancels the next Open dialog.
[[nodiscard]] inline DialogWatch CancelDialog() {
  return WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
}

}  // namespace pixtrel::testing
