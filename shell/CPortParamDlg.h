#pragma once

#include "serial/CommPortSettings.h"

#include <QDialog>
#include <QLabel>
#include <QStringList>
#include <functional>

namespace ulv {

class CFlatComboBox;
class CSkinButton;
class DropDownComboBox;

// "Serial port parameter set": the main port's six parameters. The caller copies
// its settings into m_settings before showing the dialog and copies them back
// after OK. With the port choice disabled (the GNSS page's NMEA port) it never
// writes commport.ini.
class CPortParamDlg : public QDialog {
    Q_OBJECT
public:
    // Shown in the dialog when no port is found.
    static constexpr const char* kNoPortText
        = "No serial port was found. Type the path of the module's port (for example /dev/ttyUSB0) into the Port box.";

    explicit CPortParamDlg(QWidget* parent = nullptr);
    ~CPortParamDlg() override;

    CommPortSettings m_settings;
    int m_bPortSelectable = 1;
    // Where OK saves; commport.ini of the data folder unless a caller says otherwise.
    QString m_strIniPath;

    // Refills the port list: every port found plus the paths typed into the
    // port box during this dialog; keeps the current choice.
    void FillPortList();
    bool SaveCommportIni() const;

    // The ports offered, as device paths; tests replace the source.
    using PortLister = std::function<QStringList()>;
    static PortLister SetPortLister(PortLister lister);

    static const QStringList& BaudRates();

    DropDownComboBox* m_comboPort;
    CFlatComboBox* m_comboBaud;
    CFlatComboBox* m_comboDataBits;
    CFlatComboBox* m_comboStopBits;
    CFlatComboBox* m_comboParity;
    CFlatComboBox* m_comboFlow;
    CSkinButton* m_btnOk;
    CSkinButton* m_btnCancel;
    QLabel* m_labelNoPort;

    void accept() override; // OnOK

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void ReadSelections();
    // The note and the dialog's height follow whether any port was found.
    void ShowNoPortNote(bool show);

    QStringList m_typedPorts;
    bool m_bInitDone = false;
};

} // namespace ulv
