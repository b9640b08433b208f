#include "ui/controls/CSplashPictureDlg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace ulv {

CSplashPictureDlg::CSplashPictureDlg(const QPixmap& picture, QWidget* parent)
    : QDialog(parent)
    , m_picture(new QLabel(this))
    , m_pixmap(picture)
    , m_size(picture.size())
{
    m_picture->setPixmap(picture);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setGeometry(0, 0, m_size.width() + 8, m_size.height() + 8);
    setFixedSize(m_size.width() + 8, m_size.height() + 8);
}

bool CSplashPictureDlg::Create(QWidget* parent)
{
    if (parent)
        setParent(parent, windowFlags() | Qt::Dialog);
    setModal(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    return true;
}

} // namespace ulv
