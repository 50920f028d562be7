// download-helper FOLDER SERIAL PATH SIZE MOD: one DownloadBatch of one camera file, in a
// process of its own, so that a test can kill it mid-file (SIGKILL: a crash, a power cut)
// and see what it leaves in the folder. Prints the summary and exits when the batch ends.
#include "downloadbatch.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    testsupport::requireSandbox();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        QTextStream(stderr) << "usage: download-helper FOLDER SERIAL PATH SIZE MOD\n";
        return 2;
    }
    DownloadBatch batch;
    QObject::connect(&batch, &DownloadBatch::finished, &app, [&app](const QString& summary) {
        QTextStream(stdout) << summary << '\n';
        app.quit();
    });
    batch.start(args.at(1), args.at(2), {{args.at(3), args.at(4).toLongLong(), args.at(5).toLongLong()}});
    return batch.isRunning() ? app.exec() : 0;
}
