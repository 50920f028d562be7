#pragma once

#include "prompt.h"

#include <QList>
#include <QQueue>

// Answers every message box and folder chooser of the program without showing it, and
// remembers what was asked. Answers queued with answerNext() are used first; after that
// every box is answered with the default (OK, and the default folder for choosers).
class PromptRecorder
{
public:
    PromptRecorder();
    ~PromptRecorder();

    void answerNext(QMessageBox::StandardButton button, const QString& directory = QString());
    void setDefaultDirectory(const QString& directory) { m_defaultDirectory = directory; }
    // Keeps each box open this long before answering, events running meanwhile, as while a
    // user reads a real one.
    void holdOpen(int ms) { m_holdMs = ms; }
    void clear();

    const QList<Prompt::Request>& requests() const { return m_requests; }
    int count() const { return m_requests.size(); }
    bool sawText(const QString& text) const;

private:
    QList<Prompt::Request> m_requests;
    QQueue<Prompt::Answer> m_answers;
    QString m_defaultDirectory;
    int m_holdMs = 0;
};
