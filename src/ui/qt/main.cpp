// Pixtrel: the window program.

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLocale>

#include "ui/qt/form1.h"
#include "ui/qt/qt_translations.h"
#include "version.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pixtrel"));
  QApplication::setApplicationVersion(QStringLiteral(PIXTREL_VERSION_TEXT));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/pixtrel.png")));
  InstallQtTranslations(QLocale::system());
  Form1 form(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  if (!form.Load()) return 1;
  form.show();
  return app.exec();
}
