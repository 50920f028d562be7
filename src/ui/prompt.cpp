#include "prompt.h"

#include <QFileDialog>

Prompt::Responder Prompt::s_responder;

void Prompt::setResponder(Responder responder)
{
    s_responder = std::move(responder);
}

QMessageBox::StandardButton Prompt::ask(QWidget* parent, Kind kind, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        const QString& informative)
{
    if (s_responder)
        return s_responder({kind, title, text, buttons, informative}).button;

    switch (kind) {
    case Kind::Warning:
        return QMessageBox::warning(parent, title, text, buttons);
    case Kind::Question: {
        QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        // Camera names and file names are shown as they are, never as markup: escaped, and
        // marked as rich text so that the escapes are read as such.
        if (!informative.isEmpty())
            box.setInformativeText(QStringLiteral("<p>") + informative.toHtmlEscaped() + QStringLiteral("</p>"));
        return QMessageBox::StandardButton(box.exec());
    }
    case Kind::About:
        QMessageBox::about(parent, title, text);
        return QMessageBox::Ok;
    case Kind::Information: {
        // What it tells (a stream's address) is to be copied into another program.
        QMessageBox box(QMessageBox::Information, title, text, buttons, parent);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        return QMessageBox::StandardButton(box.exec());
    }
    case Kind::Directory:
        break;
    }
    return QMessageBox::information(parent, title, text, buttons);
}

QMessageBox::StandardButton Prompt::information(QWidget* parent, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons)
{
    return ask(parent, Kind::Information, title, text, buttons);
}

QMessageBox::StandardButton Prompt::warning(QWidget* parent, const QString& title,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons)
{
    return ask(parent, Kind::Warning, title, text, buttons);
}

bool Prompt::confirm(QWidget* parent, const QString& title, const QString& text, const QString& informative)
{
    return ask(parent, Kind::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel, informative)
        == QMessageBox::Ok;
}

void Prompt::about(QWidget* parent, const QString& title, const QString& text)
{
    ask(parent, Kind::About, title, text, QMessageBox::Ok);
}

QString Prompt::existingDirectory(QWidget* parent, const QString& caption, const QString& startDir)
{
    if (s_responder) {
        const Answer answer = s_responder({Kind::Directory, caption, startDir, QMessageBox::Ok});
        return answer.button == QMessageBox::Ok ? answer.directory : QString();
    }
    // The folder as the user named it: a link stays a link (resolved, a download folder on
    // another disk would be reported under a path the user never chose).
    return QFileDialog::getExistingDirectory(parent, caption, startDir,
                                             QFileDialog::ShowDirsOnly
                                                 | QFileDialog::DontResolveSymlinks);
}
