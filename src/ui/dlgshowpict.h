#pragma once

#include <QDialog>

QT_BEGIN_NAMESPACE
namespace Ui { class dlgshowpict; }
QT_END_NAMESPACE

class QImage;
class PictureShow;

// Shows one downloaded picture, fitted to the dialog, with a zoom slider. Deletes itself
// when closed.
class dlgshowpict : public QDialog
{
    Q_OBJECT

public:
    explicit dlgshowpict(QWidget* parent = nullptr);
    ~dlgshowpict() override;

    void setImage(const QImage& image);
    PictureShow* picture() const;

public slots:
    void slotSliderChanged(int value);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Ui::dlgshowpict* ui = nullptr;
    int m_sliderValue = 20;
};
