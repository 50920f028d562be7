#include "camerainfodialog.h"

#include "camerafacts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

CameraInfoDialog::CameraInfoDialog(Camera* camera, const CameraClock* clock, QWidget* parent)
    : QDialog(parent)
    , m_facts(new CameraFacts(camera, clock, this))
    , m_id(camera ? camera->id() : 0)
{
    setObjectName(QStringLiteral("cameraInfoDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    for (const CameraFacts::Fact fact : CameraFacts::all()) {
        auto* value = new QLabel(this);
        value->setObjectName(CameraFacts::key(fact));
        // What the camera tells is shown as it is, never read as markup.
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(CameraFacts::label(fact), value);
        m_values.insert(int(fact), value);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);

    connect(m_facts, &CameraFacts::changed, this, &CameraInfoDialog::showFacts);
    if (camera)
        connect(camera, &QObject::destroyed, this, &QWidget::close);
    showFacts();
    m_facts->askVersion();
}

CameraInfoDialog* CameraInfoDialog::showFor(Camera* camera, const CameraClock* clock, QWidget* window)
{
    if (!camera)
        return nullptr;
    CameraInfoDialog* dialog = nullptr;
    for (CameraInfoDialog* open : window->findChildren<CameraInfoDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
        // A closed one is on its way out.
        if (open->cameraId() == camera->id() && open->isVisible())
            dialog = open;
    }
    if (!dialog)
        dialog = new CameraInfoDialog(camera, clock, window);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void CameraInfoDialog::showFacts()
{
    setWindowTitle(tr("Camera information: %1").arg(m_facts->cameraName()));
    for (const CameraFacts::Fact fact : CameraFacts::all())
        m_values.value(int(fact))->setText(m_facts->text(fact));
}
