#include "ui/chrome/ChromeResources.h"

#include <map>

static void InitChromeResources() { Q_INIT_RESOURCE(chrome); }

namespace ulv {

void EnsureChromeResources()
{
    static const bool done = (InitChromeResources(), true);
    (void)done;
}

const ToolBarResource* FindToolBarResource(int id)
{
    static const ToolBarResource main { 24, 25,
        { 32807, 32775, 32856, 0, 32839, 0, 32851, 32776, 32837, 0, 32799, 57670 },
        QStringLiteral(":/chrome/toolbar128.png") };
    static const ToolBarResource popup { 24, 22,
        { 32807, 32851, 0, 57665, 0, 32775, 32856, 32805, 0, 32776, 32866, 32868, 0, 32788, 32789, 32790, 32791, 0,
            32835, 32863, 32864, 0, 57670 },
        QStringLiteral(":/chrome/menu299.png") };
    EnsureChromeResources();
    if (id == 128)
        return &main;
    if (id == 299)
        return &popup;
    return nullptr;
}

std::vector<MenuPopupResource> LoadMenuResource(int id)
{
    if (id != 128)
        return {};
    auto item = [](unsigned cmd, const char* text) { return MenuItemResource { cmd, QString::fromUtf8(text) }; };
    return {
        { QStringLiteral("&File"),
            { item(32807, "Save &Setting"), item(32851, "Save &Log"), MenuItemResource {}, item(57665, "E&xit") } },
        { QStringLiteral("&Setting"),
            { item(32775, "&System parameters set"), item(32856, "Serial &port parameter set"),
                item(32805, "&AT commands manager"), item(32839, "Show &UART data controlling window"),
                item(32776, "Clear &information"), item(32837, "Show in &HEX/ASCII"), item(32866, "&Reload AT log"),
                item(32868, "AP&N list") } },
        { QStringLiteral("&Tool"),
            { item(32788, "&Calculator"), item(32789, "&Notebook"), item(32790, "&Device manager"),
                item(32791, "DOS command &line"), item(32835, "Domain &parse"), item(32863, "&HEX string trans"),
                item(32864, "PDU string &trans") } },
        { QStringLiteral("&View"),
            { item(32842, "Show &Home page"), item(32843, "Show &SMS page"), item(32844, "Show &Voice Call page"),
                item(32845, "Show &TCP/UDP page"), item(32846, "Show &PPP page"), item(32865, "Show Morv&Locator page"),
                item(32847, "Show &AT Command page"), item(32848, "Show &WEXO page") } },
        { QStringLiteral("&Help"), { item(32867, "&Guidance"), item(57670, "Help") } },
    };
}

QString CommandString(unsigned id)
{
    static const std::map<unsigned, const char*> strings {
        { 32807, "Save setting\nSave setting" },
        { 32851,
            "Save the data of the region of sent and received data to a file\n"
            "Save the data of the region of sent and received data to a file" },
        { 57665, "Exit from system\nExit" },
        { 32775, "System parameters set\nSystem parameters set" },
        { 32856, "Serial port parameter set\nSerial port parameter set" },
        { 32805, "AT commands edit\nAT commands manager" },
        { 32839, "Show UART data controlling window\nShow UART data controlling window" },
        { 32776, "Clear data\nClear data" },
        { 32837, "Show in HEX/ASCII\nShow in HEX/ASCII" },
        { 32789, "Open a notebook\nNotebook" },
        { 32790, "Open Device Manager\nDevice manager" },
        { 32791, "Open DOS window\nDOS command line" },
        { 32835, "Domain parse tool\nDomain parse" },
        { 32799, "Contact us\nContact us" },
        { 57670, "Help\nHelp" },
    };
    const auto it = strings.find(id);
    return it == strings.end() ? QString() : QString::fromUtf8(it->second);
}

QString CommandPrompt(unsigned id) { return CommandString(id).section(QLatin1Char('\n'), 0, 0); }

QString CommandTooltip(unsigned id) { return CommandString(id).section(QLatin1Char('\n'), 1, 1); }

QString NavigationIconPath(unsigned id)
{
    static const std::map<unsigned, const char*> icons {
        { 283, ":/chrome/nav_home.png" },
        { 284, ":/chrome/nav_sms.png" },
        { 285, ":/chrome/nav_voice.png" },
        { 286, ":/chrome/nav_tcp.png" },
        { 287, ":/chrome/nav_ppp.png" },
        { 313, ":/chrome/nav_locator.png" },
        { 367, ":/chrome/nav_gnss.png" },
        { 288, ":/chrome/nav_at.png" },
        { 289, ":/chrome/nav_wexo.png" },
    };
    EnsureChromeResources();
    const auto it = icons.find(id);
    return it == icons.end() ? QString() : QString::fromLatin1(it->second);
}

QString NavigationBackgroundPath()
{
    EnsureChromeResources();
    return QStringLiteral(":/chrome/navback.png");
}

QString SplitterPatternPath()
{
    EnsureChromeResources();
    return QStringLiteral(":/chrome/splitter.png");
}

} // namespace ulv
