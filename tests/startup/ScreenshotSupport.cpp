#include "ScreenshotSupport.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

QString SaveScreenshot(QWidget* widget, const QString& name)
{
    const QString dir = QStringLiteral(ULV_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    const QString path = dir + "/" + name + ".png";
    return widget->grab().save(path) ? path : QString();
}
