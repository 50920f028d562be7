#include "PreviewForm.h"
#include "ui_previewform.h"

#include "medialist.h"

#include <QCheckBox>
#include <QSignalBlocker>

PreviewForm::PreviewForm(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::PreviewForm)
{
    ui->setupUi(this);
    // File names come from the camera: never let one be read as markup.
    ui->labelFile->setTextFormat(Qt::PlainText);
    connect(ui->checkBoxFile, &QCheckBox::clicked, this, &PreviewForm::slotSelectedChanged);
    connect(ui->labelPicture, &PictureLabel::doubleClicked, this, &PreviewForm::doubleClicked);
}

PreviewForm::~PreviewForm()
{
    delete ui;
}

void PreviewForm::setFile(const QString& path)
{
    m_file = path;
    ui->labelFile->setText(MediaList::fileName(path));
    ui->labelPicture->setFileName(path);
}

void PreviewForm::setSelected(bool selected)
{
    m_selected = selected;
    const QSignalBlocker blocker(ui->checkBoxFile);
    ui->checkBoxFile->setChecked(selected);
}

PictureLabel* PreviewForm::picture() const
{
    return ui->labelPicture;
}

void PreviewForm::slotSelectedChanged(bool selected)
{
    setSelected(selected);
    emit selectedChanged(m_selected, m_file);
}
