#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// The one place where the program asks the user something modally: message boxes and the
// folder chooser. Everything else calls these instead of QMessageBox/QFileDialog directly,
// so that an automated run can answer them through setResponder() instead of blocking.
class Prompt
{
public:
    enum class Kind { Information, Warning, Question, About, Directory };

    struct Request {
        Kind kind;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        // Below the text: what exactly the question is about.
        QString informativeText;
    };

    // The responder answers a request with a button (for Directory: the folder path is
    // taken from directoryAnswer). Without a responder the real modal dialog runs.
    struct Answer {
        QMessageBox::StandardButton button = QMessageBox::Ok;
        QString directory;
    };
    using Responder = std::function<Answer(const Request&)>;

    static void setResponder(Responder responder);

    static QMessageBox::StandardButton information(QWidget* parent, const QString& title,
                                                   const QString& text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton warning(QWidget* parent, const QString& title,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    // OK/Cancel question; Escape or closing the box counts as Cancel. informative, when given,
    // says below the question what it concerns (plain text).
    static bool confirm(QWidget* parent, const QString& title, const QString& text,
                        const QString& informative = QString());
    static void about(QWidget* parent, const QString& title, const QString& text);
    // Returns the chosen existing folder, or an empty string when the user cancelled.
    static QString existingDirectory(QWidget* parent, const QString& caption,
                                     const QString& startDir = QString());

private:
    static QMessageBox::StandardButton ask(QWidget* parent, Kind kind, const QString& title,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           const QString& informative = QString());
    static Responder s_responder;
};
