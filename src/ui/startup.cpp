#include "ui/startup.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

#include "ui/form1.h"

int RunPixtrel(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("Pixtrel"));
  QApplication::setApplicationVersion(QStringLiteral("0.01"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/pixtrel.png")));
  Form1 form(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  if (!form.Load()) return 1;
  form.show();
  return app.exec();
}
