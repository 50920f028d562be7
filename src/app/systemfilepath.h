#pragma once

#include <QDir>
#include <QLocale>
#include <QString>
#include <string>

// Locates the data directories of an installation relative to the running executable:
//   <app root>/bin/velkamo, <app root>/ref, <app root>/qss, <app root>/Language, ...
// Only the executable's directory is cached; every QDir is built anew, so a directory that
// appears or disappears while the program runs is seen by the next lookup.
namespace path {

// Absolute directory of the executable with a trailing "/"; empty until first found.
extern std::string g_execDir;

// Directory part of a link target: backslashes become "/", and everything after the last
// separator goes. Split out of getExecDir() so the rule can be checked without /proc.
std::string execDirFromLinkTarget(const std::string& target);

std::string getExecDir();
QDir binDir();
QDir appRootDir();
QDir installRootDir();
void cdSubDir(QDir& dir, const QString& name);

QDir refDir();
QDir qssDir();
QDir languageDir();
QDir imageDir();
QDir libDir();
QDir dataDir();

// The translation for a system language: Chinese (any country) gets the zh_CN file,
// every other language the en_US one.
QString translationFile(QLocale::Language language);

} // namespace path
