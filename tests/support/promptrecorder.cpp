#include "promptrecorder.h"

#include <QTest>

PromptRecorder::PromptRecorder()
{
    Prompt::setResponder([this](const Prompt::Request& request) {
        m_requests.append(request);
        if (m_holdMs > 0)
            QTest::qWait(m_holdMs);
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        Prompt::Answer answer;
        answer.directory = m_defaultDirectory;
        return answer;
    });
}

PromptRecorder::~PromptRecorder()
{
    Prompt::setResponder({});
}

void PromptRecorder::answerNext(QMessageBox::StandardButton button, const QString& directory)
{
    m_answers.enqueue({button, directory});
}

void PromptRecorder::clear()
{
    m_requests.clear();
    m_answers.clear();
}

bool PromptRecorder::sawText(const QString& text) const
{
    for (const Prompt::Request& request : m_requests) {
        if (request.text == text)
            return true;
    }
    return false;
}
