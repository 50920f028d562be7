#include "dlgshowpict.h"
#include "ui_dlgshowpict.h"

#include "picturelabel.h"

#include <QCloseEvent>
#include <QDebug>

dlgshowpict::dlgshowpict(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::dlgshowpict)
{
    ui->setupUi(this);
    ui->label_Picture->hide();
    ui->horizontalSlider->hide();
    ui->horizontalSlider->setRange(1, 100);
    ui->horizontalSlider->setValue(m_sliderValue);
    // Connected after the initial value so that it zooms nothing.
    connect(ui->horizontalSlider, &QSlider::valueChanged, this, &dlgshowpict::slotSliderChanged);
}

dlgshowpict::~dlgshowpict()
{
    delete ui;
}

void dlgshowpict::setImage(const QImage& image)
{
    ui->label_Picture->show();
    ui->horizontalSlider->show();
    ui->label->hide();
    ui->label_Picture->setImage(image);
    qDebug() << "setImage ";
}

PictureShow* dlgshowpict::picture() const
{
    return ui->label_Picture;
}

void dlgshowpict::slotSliderChanged(int value)
{
    // The slider is relative: each step zooms by a tenth of the scale it finds.
    ui->label_Picture->setScale(float(value - m_sliderValue));
    m_sliderValue = value;
    qDebug() << "slider changed " << value;
}

void dlgshowpict::closeEvent(QCloseEvent* event)
{
    event->accept();
    deleteLater();
    qDebug() << "picture show deletelater";
}
