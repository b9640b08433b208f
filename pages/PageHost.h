#pragma once

#include <QEvent>
#include <QString>

namespace ulv {

class ModemSession;

// The main window tells the pages that show maps that the map type changed.
constexpr int WM_MAPTYPE_CHANGED = 0x2400;
constexpr QEvent::Type kMapTypeChangedEvent = QEvent::Type(QEvent::User + WM_MAPTYPE_CHANGED);

// What a page asks of the window that holds it. Pages know this and the modem
// session, not the main window or the page host's own class.
class PageHost {
public:
    virtual ~PageHost() = default;

    // The session every page and worker talks through.
    virtual ModemSession& Session() const = 0;
    // Opens the module's port (the connection page); 0 after telling the user why not.
    virtual int OpenCommport(const QString& port, int baud, int dataBits, int stopBits, int parity, int flowMode,
        int bufferSize) = 0;
    virtual void CloseCommport() = 0;
    virtual bool PortOpen() const = 0;
    // The connection text of the main window's status bar; empty clears it.
    virtual void ShowConnectionText(const QString& text) = 0;
    // The module's family and model are known (WM_MODULE_IDENTIFIED): the pages
    // that depend on them adapt. Returns once they have.
    virtual void ModuleIdentified() = 0;
    // The SIM's network codes are known: the TCP/UDP and PPP pages look up their
    // own APN (any thread; a page reads the database there and fills its boxes later).
    virtual void LookupRecommendedApn(const QString& mcc, const QString& mnc) { Q_UNUSED(mcc); Q_UNUSED(mnc); }
};

// The program's page host (null before it exists).
PageHost* GetPageHost();
void SetPageHost(PageHost* host);

} // namespace ulv
