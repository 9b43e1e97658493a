#include "ui/qt/common_dialog.h"

#include <QFile>
#include <QFileDialog>

CommonDialog::CommonDialog(QWidget* parent) : parent_(parent) {}

QStringList CommonDialog::NameFilters() const {
  QStringList parts = QString::fromStdString(Filter()).split('|');
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
  if (FilterIndex() >= 1 && FilterIndex() <= filters.size()) dialog.selectNameFilter(filters[FilterIndex() - 1]);
  if (!FileName().empty()) dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(FileName())));
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    SetFileName(QFile::encodeName(dialog.selectedFiles().first()).toStdString());
}
