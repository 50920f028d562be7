#pragma once

#include <QMessageBox>
#include <QObject>
#include <QQueue>
#include <QStringList>

#include <functional>

class QTimer;

// Lets the program open its real modal dialogs (no responder: Prompt's own QMessageBox and
// QFileDialog) and answers them as a user would, from inside their event loops: while a box
// is open the program goes on working (replies, timers, list rebuilds), and a handler can act
// and wait meanwhile before it presses a button. Boxes without a handler are answered OK;
// folder choosers get the folder set here.
class RealDialogs : public QObject
{
    Q_OBJECT

public:
    // Called while box is open; returns the button to press.
    using WhileOpen = std::function<QMessageBox::StandardButton(QMessageBox* box)>;

    RealDialogs();
    ~RealDialogs() override;

    void setDirectory(const QString& directory) { m_directory = directory; }
    // The next boxes, in order, are handled by these.
    void onNextBox(WhileOpen whileOpen) { m_handlers.enqueue(std::move(whileOpen)); }
    // Texts of the boxes seen so far, in order.
    QStringList texts() const { return m_texts; }
    // Parent widget of each box seen, by its class name ("MainWindow", "PictureLabel", ...).
    QStringList parents() const { return m_parents; }

private:
    void look();

    QTimer* m_timer = nullptr;
    QQueue<WhileOpen> m_handlers;
    QStringList m_texts;
    QStringList m_parents;
    QString m_directory;
    bool m_busy = false;
};
