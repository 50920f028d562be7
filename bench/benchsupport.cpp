#include "benchsupport.h"

#include "mainwindow.h"
#include "picturelabel.h"
#include "previewform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace bench {

int cameraConnections()
{
    QFile file(QStringLiteral("/proc/self/net/tcp"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int count = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 4 && f.at(3) == "01" && (f.at(2) == "0905050A:0050" || f.at(2) == "0905050A:1F90"))
            ++count;
    }
    return count;
}

int openFiles()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

qint64 statusKiB(const char* key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    file.open(QIODevice::ReadOnly);
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

qint64 rssKiB()
{
    return statusKiB("VmRSS:");
}

void Peaks::sample()
{
    if (countConnections) {
        connections = std::max(connections, cameraConnections());
        files = std::max(files, openFiles());
    }
    rssKiB = std::max(rssKiB, bench::rssKiB());
}

bool waitFor(const std::function<bool()>& done, int timeoutMs, int pollMs, Peaks* peaks)
{
    if (done())
        return true;
    QElapsedTimer clock;
    clock.start();
    bool met = false;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (peaks)
            peaks->sample();
        met = done();
        if (met || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(pollMs);
    loop.exec();
    return met;
}

void print(const char* key, double value)
{
    std::printf("%s %.3f\n", key, value);
    std::fflush(stdout);
}

void printText(const char* key, const QString& value)
{
    std::printf("%s %s\n", key, qPrintable(value.isEmpty() ? QStringLiteral("(nothing)") : value));
    std::fflush(stdout);
}

QByteArray cardJson(int count, int first)
{
    QJsonArray dirs;
    QJsonArray files;
    int dir = -1;
    for (int n = first + count - 1; n >= first; --n) {
        if (n / 1000 != dir && !files.isEmpty()) {
            dirs.append(QJsonObject{{"d", QStringLiteral("%1GOPRO").arg(100 + dir)}, {"fs", files}});
            files = QJsonArray();
        }
        dir = n / 1000;
        files.append(QJsonObject{{"n", QStringLiteral("GOPR%1.JPG").arg(n % 10000, 4, 10, QLatin1Char('0'))},
                                 {"mod", QString::number(1600000000 + n)}});
    }
    dirs.append(QJsonObject{{"d", QStringLiteral("%1GOPRO").arg(100 + dir)}, {"fs", files}});
    return QJsonDocument(QJsonObject{{"media", dirs}}).toJson(QJsonDocument::Compact);
}

QString newestPath(int count, int first)
{
    const int n = first + count - 1;
    return QStringLiteral("%1GOPRO/GOPR%2.JPG").arg(100 + n / 1000).arg(n % 10000, 4, 10, QLatin1Char('0'));
}

QScrollArea* gridArea(MainWindow* window)
{
    return window->findChild<QScrollArea*>(QStringLiteral("scrollAreaPictureView"));
}

QList<PreviewForm*> tiles(MainWindow* window)
{
    return gridArea(window)->findChildren<PreviewForm*>();
}

QList<PreviewForm*> onScreen(MainWindow* window)
{
    QScrollArea* area = gridArea(window);
    const QRect view = area->viewport()->rect();
    QList<PreviewForm*> seen;
    for (PreviewForm* tile : tiles(window)) {
        if (tile->isVisible()
            && view.intersects(QRect(tile->mapTo(area->viewport(), QPoint(0, 0)), tile->size())))
            seen << tile;
    }
    return seen;
}

bool screenShown(MainWindow* window, QSet<QString>* shown)
{
    const QList<PreviewForm*> seen = onScreen(window);
    bool all = !seen.isEmpty();
    for (PreviewForm* tile : seen) {
        if (tile->picture()->hasThumbnail()) {
            if (shown)
                shown->insert(tile->objectName());
        } else {
            all = false;
        }
    }
    return all;
}

} // namespace bench
