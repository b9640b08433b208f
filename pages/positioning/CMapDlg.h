#pragma once

#include <QDialog>

class QLabel;

namespace ulv {

class CWebBrowser2;

// The bigger-map dialog "Map": grows to the main window's configured size less
// 50 pixels each way, puts a map browser where its placeholder is and scales its
// children in proportion whenever it is resized. The caller sets zoom, map type
// and centre before exec().
class CMapDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMapDlg(QWidget* parent = nullptr);
    ~CMapDlg() override;

    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    int m_nZoom = 16;
    int m_nMapType = 1; // 0 road map, any other value satellite
    double m_dLatitude;
    double m_dLongitude;

    CWebBrowser2* Browser() const { return m_browser; }
    QLabel* Placeholder() const { return m_placeholder; }

    // Initialisation (run by the first show): the size, the browser in the
    // placeholder's place.
    void OnInitDialog();
    // Scales every child from the stored client size to w x h.
    void Relayout(int w, int h);

    // Copies "Google-earth.html" of the data folder to "Google-earth-max.html",
    // sizing its map division to the dialog, and shows the copy. False (nothing
    // shown) when the source cannot be read or the copy written.
    bool WriteMaxMapPage();
    // Writes a first-provider map page for the values; false when the file cannot
    // be written.
    static bool WriteMapPage(const QString& path, double latitude, double longitude, int zoom, int mapType);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_placeholder;
    CWebBrowser2* m_browser = nullptr;
    bool m_initialised = false;
};

} // namespace ulv
