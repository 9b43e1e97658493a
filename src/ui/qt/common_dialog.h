#pragma once

#include <QStringList>

#include "ui/form1_logic.h"

class QWidget;

/// The window's Open dialog on Qt's file dialog.
class CommonDialog : public pixtrel::OpenDialog {
 public:
  /// A dialog that opens over `parent`.
  explicit CommonDialog(QWidget* parent);

  void ShowOpen() override;

  /// The filter as Qt's file dialog takes it: one "desc (pattern)" an entry.
  QStringList NameFilters() const;

 private:
  QWidget* parent_;
};
