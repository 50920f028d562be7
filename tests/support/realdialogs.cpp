#include "realdialogs.h"

#include "prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

RealDialogs::RealDialogs()
    : m_timer(new QTimer(this))
{
    Prompt::setResponder({});
    // Timers fire inside a dialog's own event loop too: that is where the dialog is answered.
    connect(m_timer, &QTimer::timeout, this, &RealDialogs::look);
    m_timer->start(20);
}

RealDialogs::~RealDialogs() = default;

void RealDialogs::look()
{
    if (m_busy)
        return;
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
        // As a user does: types the folder and presses Choose.
        chooser->setDirectory(m_directory);
        if (auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(m_directory);
        QMetaObject::invokeMethod(chooser, "accept");
        return;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box || box->property("answered").toBool())
        return;
    box->setProperty("answered", true);
    m_texts << box->text();
    m_parents << (box->parentWidget() ? box->parentWidget()->metaObject()->className() : "none");
    m_busy = true;
    QPointer<QMessageBox> guard(box);
    const QMessageBox::StandardButton answer =
        m_handlers.isEmpty() ? QMessageBox::Ok : m_handlers.dequeue()(box);
    m_busy = false;
    if (!guard)
        return; // deleted while open: the program's fault, which the test sees as a crash
    if (QAbstractButton* button = guard->button(answer))
        button->click();
    else
        guard->reject();
}
