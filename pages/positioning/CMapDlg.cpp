#include "pages/positioning/CMapDlg.h"

#include <QScreen>

#include "pages/positioning/core/MapDefaults.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/maps/CWebBrowser2.h"

#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QResizeEvent>
#include <QScreen>
#include <QSaveFile>
#include <QTextStream>

namespace ulv {

namespace {

// The template's client size, from which the first relayout scales.
constexpr int kTemplateWidth = 600;
constexpr int kTemplateHeight = 420;
constexpr int kMaxLineLength = 512;

} // namespace

CMapDlg::CMapDlg(QWidget* parent)
    : QDialog(parent)
    , m_dLatitude(kDefaultPlaceLatitude)
    , m_dLongitude(kDefaultPlaceLongitude)
    , m_placeholder(new QLabel(this))
{
    setObjectName(QStringLiteral("CMapDlg"));
    setWindowTitle(QStringLiteral("Map"));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    p.setColor(QPalette::WindowText, QColor(153, 51, 51));
    setPalette(p);
    setAutoFillBackground(true);
    m_placeholder->setObjectName(QStringLiteral("1389"));
    m_placeholder->setGeometry(10, 10, kTemplateWidth - 20, kTemplateHeight - 20);
    resize(kTemplateWidth, kTemplateHeight);
    m_nClientWidth = kTemplateWidth;
    m_nClientHeight = kTemplateHeight;
}

CMapDlg::~CMapDlg() = default;

void CMapDlg::showEvent(QShowEvent* event)
{
    if (!m_initialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void CMapDlg::OnInitDialog()
{
    m_initialised = true;
    // Fitted to the screen: the stored size may be anything a file held.
    const QSize room = screen() ? screen()->availableGeometry().size() : QSize(kMaxStoredSize, kMaxStoredSize);
    const auto fit = [](int stored, int screen) {
        return std::clamp(std::clamp(stored, 0, kMaxStoredSize) - 50, 100, std::max(100, screen));
    };
    resize(fit(g_sysParams.nwidth, room.width()), fit(g_sysParams.nheight, room.height()));
    Relayout(width(), height());
    const QRect place = m_placeholder->geometry();
    m_placeholder->hide();
    m_browser = new CWebBrowser2(this);
    m_browser->setObjectName(QStringLiteral("2000"));
    m_browser->setGeometry(place);
    m_browser->show();
    m_nClientWidth = width();
    m_nClientHeight = height();
}

void CMapDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_initialised)
        Relayout(event->size().width(), event->size().height());
}

void CMapDlg::Relayout(int w, int h)
{
    if (m_nClientWidth <= 0 || m_nClientHeight <= 0 || w <= 0 || h <= 0)
        return;
    const double fx = double(w) / m_nClientWidth;
    const double fy = double(h) / m_nClientHeight;
    for (QObject* o : children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (!child || child->isWindow())
            continue;
        const QRect r = child->geometry();
        const int left = int(r.left() * fx);
        const int top = int(r.top() * fy);
        const int right = int((r.left() + r.width()) * fx);
        const int bottom = int((r.top() + r.height()) * fy);
        child->setGeometry(left, top, right - left, bottom - top);
    }
    m_nClientWidth = w;
    m_nClientHeight = h;
}

bool CMapDlg::WriteMaxMapPage()
{
    QFile in(theApp.m_strAppDir + QStringLiteral("Google-earth.html"));
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QString outPath = theApp.m_strAppDir + QStringLiteral("Google-earth-max.html");
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    while (!in.atEnd()) {
        const QByteArray line = in.readLine(kMaxLineLength);
        if (line.mid(1, 3) == "div") {
            out.write(QString("<div id=\"map-canvas\" style=\"width: %1px; height: %2px\"></div>")
                          .arg(m_nClientWidth - 70)
                          .arg(m_nClientHeight - 100)
                          .toUtf8());
        } else {
            out.write(line);
        }
    }
    if (!out.commit())
        return false;
    if (m_browser)
        m_browser->Navigate(outPath);
    return true;
}

bool CMapDlg::WriteMapPage(const QString& path, double latitude, double longitude, int zoom, int mapType)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream s(&file);
    const QStringList lines = {
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">",
        "<html xmlns=\"http://www.w3.org/1999/xhtml\">",
        "<head>",
        "<meta http-equiv=\"content-type\" content=\"text/html; charset=GBK\"/>",
        "<title>Google AJAX Search API Sample</title>",
        "<style type=\"text/css\">",
        "html { height: 100% }",
        "body { height: 100%; margin: 0; padding: 0 }",
        "#map_canvas { height: 100% }",
        "@import url(\"https://www.google.com/uds/css/gsearch.css\");",
        "@import url(\"https://www.google.com/uds/solutions/localsearch/gmlocalsearch.css\");",
        "</style>",
        "<script type=\"text/javascript\" src=\"https://maps.googleapis.com/maps/api/js?sensor=false&amp;language=en\"></script>",
        "<script type=\"text/javascript\">",
        "var map;",
        QString::asprintf("var lat = %f;", latitude),
        QString::asprintf("var lng = %f;", longitude),
        "var markersArray = [];",
        "var windowArray = [];",
        "function initialize() {",
        "var mapOptions = {",
        "center: new google.maps.LatLng(lat, lng),",
        QString::asprintf("zoom: %d,", zoom),
        mapType == 0 ? "mapTypeId: google.maps.MapTypeId.ROADMAP" : "mapTypeId: google.maps.MapTypeId.SATELLITE",
        "};",
        "map = new google.maps.Map(document.getElementById(\"map-canvas\"), mapOptions);",
        "var marker = new google.maps.Marker({ position: new google.maps.LatLng(lat, lng), map: map });",
        "markersArray.push(marker);",
        "}",
        "function ggetzoom(){ return map.getZoom(); }",
        "function ggetMapTypeId(){ return map.getMapTypeId(); }",
        "google.maps.event.addDomListener(window, 'load', initialize);",
        "</script>",
        "</head>",
        "<body style=>",
        "<div id=\"map-canvas\" style=\"width: 100%; height: 100%;\"></div>",
        "</body>",
        "</html>",
    };
    for (const QString& line : lines)
        s << line << '\n';
    s.flush();
    return file.commit();
}

} // namespace ulv
