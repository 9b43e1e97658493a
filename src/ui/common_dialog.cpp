#include "ui/common_dialog.h"

#include <QFileDialog>

CommonDialog::CommonDialog(QWidget* parent) : parent_(parent) {}

QStringList CommonDialog::NameFilters() const {
  QStringList parts = filter_.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString pattern = "(" + parts[i + 1] + ")";
    // "码表文件(*.tbl)" already shows its pattern the way Qt reads it.
    filters << (description.endsWith(pattern) ? description : description + " " + pattern);
  }
  return filters;
}

void CommonDialog::ShowOpen() {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList filters = NameFilters();
  dialog.setNameFilters(filters);
  if (filter_index_ >= 1 && filter_index_ <= filters.size()) dialog.selectNameFilter(filters[filter_index_ - 1]);
  if (!file_name_.isEmpty()) dialog.selectFile(file_name_);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    file_name_ = dialog.selectedFiles().first();
}
