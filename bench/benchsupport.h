#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

class MainWindow;
class PreviewForm;
class QScrollArea;

// What the benchmark programs share: figures of this process from /proc, waiting on a real
// event loop, "key value" output, and the window's grid as the user sees it.
namespace bench {

// The program's own connections to the camera: established sockets whose far end is
// 10.5.5.9 port 80 or 8080 (the simulator's ends have ephemeral far ports). A socket the
// program gave up on is no longer established on its side, whatever the camera still holds.
int cameraConnections();
int openFiles();
// A "/proc/self/status" figure in KiB ("VmRSS:", "VmHWM:"); -1 when missing.
qint64 statusKiB(const char* key);
qint64 rssKiB();

// Highest figures seen while waiting.
struct Peaks {
    // Reading /proc/self/net/tcp walks the kernel's whole connection table (milliseconds of
    // CPU each time): only where the connection count is wanted.
    bool countConnections = true;
    int connections = 0;
    int files = 0;
    qint64 rssKiB = 0;
    void sample();
};

// Runs a real event loop, as the program does, until done() or the time-out: QTest::qWait
// sleeps 10 ms between its rounds of events, which would add up to 10 ms to every request
// and answer being measured. Peaks, where given, are sampled every round.
bool waitFor(const std::function<bool()>& done, int timeoutMs, int pollMs = 10, Peaks* peaks = nullptr);

void print(const char* key, double value);
void printText(const char* key, const QString& value);

// A card of count pictures numbered from first on: the higher the number, the newer.
QByteArray cardJson(int count, int first);
// The media path of that card's newest picture.
QString newestPath(int count, int first);

QScrollArea* gridArea(MainWindow* window);
QList<PreviewForm*> tiles(MainWindow* window);
// The tiles the user sees, at least in part.
QList<PreviewForm*> onScreen(MainWindow* window);
// Whether every tile the user sees has its thumbnail (and there is one); those that have it
// are added to shown.
bool screenShown(MainWindow* window, QSet<QString>* shown = nullptr);

} // namespace bench
