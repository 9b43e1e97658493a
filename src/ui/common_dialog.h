#pragma once

#include <QString>
#include <QStringList>

class QWidget;

/// The window's Open dialog, with the settings the program makes on it: the
/// file name, the filter in the "desc|pattern|desc|pattern" form, the filter
/// entry (counted from 1) selected when the dialog opens, and the Open action.
class CommonDialog {
 public:
  /// A dialog that opens over `parent`.
  explicit CommonDialog(QWidget* parent);

  /// The name shown when the dialog opens; afterwards the name chosen.
  const QString& FileName() const { return file_name_; }
  void SetFileName(const QString& name) { file_name_ = name; }

  /// Sets the filter, "desc|pattern" pairs joined by "|".
  void SetFilter(const QString& filter) { filter_ = filter; }

  /// Sets the filter entry, counted from 1, that the dialog opens with.
  void SetFilterIndex(int index) { filter_index_ = index; }

  /// Shows the modal Open dialog and returns when it is closed. Choosing a
  /// file sets FileName to its full path; cancelling leaves FileName as it was.
  void ShowOpen();

  /// The filter as Qt's file dialog takes it: one "desc (pattern)" an entry.
  QStringList NameFilters() const;

 private:
  QWidget* parent_;
  QString file_name_;
  QString filter_;
  int filter_index_ = 1;
};
