#pragma once

#include <QLocale>

/// Makes Qt's own texts, those of the Open dialog and the message box's
/// buttons, speak the language of `locale` where Qt has a translation into
/// it; the window's own texts stay as they are. Returns true when one was
/// found. Call once, after the application is made; the translation stays
/// for the application's life.
bool InstallQtTranslations(const QLocale& locale);
