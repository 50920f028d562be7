#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QProcess;

// A PipeWire daemon of the test's own, so that a video source the program offers can be seen
// (and read) without the desktop's. No session manager is needed: a node that provides a
// stream shows up in the daemon as soon as its client connects.
//
// start() points this process's PipeWire clients (GStreamer's pipewiresink and pipewiresrc,
// pw-dump) at the daemon by setting XDG_RUNTIME_DIR and PIPEWIRE_RUNTIME_DIR to a fresh
// folder; stop() (and the destructor) ends the daemon and puts them back.
class PipeWireDaemon
{
public:
    PipeWireDaemon();
    ~PipeWireDaemon();

    // Empty when the daemon runs and takes clients, else why not.
    QString start();
    void stop();

    struct VideoSource {
        QString name;        // node.name
        QString description; // node.description, what programs list
        QSize size;          // the negotiated format's, else the first one it offers
        bool negotiated = false; // a consumer is connected and size is what it gets
    };
    // The Video/Source nodes pw-dump lists now.
    QList<VideoSource> videoSources() const;
    // The one whose description is description; a default one (empty name) when none is.
    VideoSource videoSource(const QString& description) const;
    // Links the output ports of the node named source to the input ports of the node named
    // sink, in order, as a session manager would (this daemon has none, so a reader such as
    // pipewiresrc with target-object stays unlinked until then), waiting up to 5 s for their
    // ports. Empty when done, else why not.
    QString link(const QString& source, const QString& sink) const;

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QProcess> m_daemon;
    QByteArray m_oldRuntime;
    QByteArray m_oldPipeWireRuntime;
};
