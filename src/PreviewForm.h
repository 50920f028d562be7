#pragma once

#include <QString>
#include <QWidget>

QT_BEGIN_NAMESPACE
namespace Ui { class PreviewForm; }
QT_END_NAMESPACE

class PictureLabel;

// One tile of the media grid: the file's thumbnail, its name and a tick box. The tile only
// reports ticks and double-clicks; the window decides what they do.
class PreviewForm : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewForm(QWidget* parent = nullptr);
    ~PreviewForm() override;

    // Takes the tile's media path, shows its file name and requests its thumbnail.
    void setFile(const QString& path);
    QString file() const { return m_file; }
    bool isSelected() const { return m_selected; }
    // Shows the tick state without reporting it (used to restore a selection).
    void setSelected(bool selected);
    PictureLabel* picture() const;

signals:
    void selectedChanged(bool selected, const QString& file);
    void doubleClicked(const QString& file);

public slots:
    void slotSelectedChanged(bool selected);

private:
    bool m_selected = false;
    Ui::PreviewForm* ui = nullptr;
    QString m_file;
};
