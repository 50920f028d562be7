#include "systemfilepath.h"

#include <algorithm>
#include <unistd.h>

namespace path {

std::string g_execDir;

std::string execDirFromLinkTarget(const std::string& target)
{
    std::string dir = target;
    std::replace(dir.begin(), dir.end(), '\\', '/');
    const auto slash = dir.rfind('/');
    if (slash != std::string::npos)
        dir.erase(slash + 1);
    return dir;
}

std::string getExecDir()
{
    if (!g_execDir.empty())
        return g_execDir;

    char buffer[2048];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0) {
        g_execDir.clear();
        return g_execDir;
    }
    g_execDir = execDirFromLinkTarget(std::string(buffer, static_cast<size_t>(n)));
    return g_execDir;
}

QDir binDir()
{
    return QDir(QString::fromLocal8Bit(getExecDir().c_str()));
}

QDir appRootDir()
{
    QDir dir = binDir();
    dir.cdUp();
    return dir;
}

QDir installRootDir()
{
    QDir dir = appRootDir();
    dir.cdUp();
    return dir;
}

void cdSubDir(QDir& dir, const QString& name)
{
    if (dir.cd(name))
        return;
    // When the directory cannot be created we stay at the anchor: the caller then simply
    // finds nothing there, which is what a broken installation should look like.
    dir.mkpath(name);
    dir.cd(name);
}

static QDir subDir(QDir anchor, const QString& name)
{
    cdSubDir(anchor, name);
    return anchor;
}

QDir refDir() { return subDir(appRootDir(), QStringLiteral("ref")); }
QDir qssDir() { return subDir(appRootDir(), QStringLiteral("qss")); }
QDir languageDir() { return subDir(appRootDir(), QStringLiteral("Language")); }
QDir imageDir() { return subDir(appRootDir(), QStringLiteral("Images")); }
QDir libDir() { return subDir(appRootDir(), QStringLiteral("lib")); }
QDir dataDir() { return subDir(installRootDir(), QStringLiteral("Data")); }

QString translationFile(QLocale::Language language)
{
    const QString dir = languageDir().path();
    return language == QLocale::Chinese ? dir + QStringLiteral("/zh_CN/Kelnu_zh.qm")
                                        : dir + QStringLiteral("/en_US/Kelnu_en.qm");
}

} // namespace path
