#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace ulv {

// A modeless dialog centred on the screen that shows one picture, sized to
// the picture plus 8 pixels each way.
class CSplashPictureDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSplashPictureDlg(const QPixmap& picture, QWidget* parent = nullptr);

    bool Create(QWidget* parent);
    QLabel* Picture() const { return m_picture; }
    QSize PictureSize() const { return m_size; }

private:
    QLabel* m_picture;
    QPixmap m_pixmap;
    QSize m_size;
};

} // namespace ulv
