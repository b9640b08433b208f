#include "pages/data/CDomainParseDlg.h"

#include "pages/data/core/HostLookup.h"
#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "shell/DialogLook.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/WinLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThreadPool>

namespace ulv {

namespace {

CDomainParseDlg::Resolver& CurrentResolver()
{
    static CDomainParseDlg::Resolver resolver = ResolveIpv4Addresses;
    return resolver;
}

} // namespace

// One lookup in flight. The worker only holds it; dialog is read and cleared
// on the UI thread alone, so a dialog closed before the answer hears nothing.
struct CDomainParseDlg::Lookup {
    CDomainParseDlg* dialog;
};

CDomainParseDlg::Resolver CDomainParseDlg::SetResolver(Resolver resolver)
{
    Resolver old = CurrentResolver();
    CurrentResolver() = resolver ? std::move(resolver) : Resolver(ResolveIpv4Addresses);
    return old;
}

CDomainParseDlg::CDomainParseDlg(QWidget* parent)
    : QDialog(parent)
    , m_editHostName(new QLineEdit(this))
    , m_editResult(new QPlainTextEdit(this))
    , m_btnGetIp(new CSkinButton(QStringLiteral("Get IP address"), this))
{
    setObjectName(QStringLiteral("CDomainParseDlg"));
    setWindowTitle(QStringLiteral("Domain name analyse"));
    ApplyDialogLook(this);
    setFixedSize(300, 226);

    auto* label = new QLabel(QStringLiteral("Host name:(www.example.com)"), this);
    label->setGeometry(12, 10, 276, 20);
    m_editHostName->setObjectName(QStringLiteral("hostName"));
    m_editHostName->setGeometry(12, 32, 166, 24);
    m_btnGetIp->setObjectName(QStringLiteral("getIp"));
    m_btnGetIp->setGeometry(188, 31, 100, 26);

    // A read-only edit is coloured like the dialog's static texts.
    m_editResult->setObjectName(QStringLiteral("result"));
    m_editResult->setGeometry(12, 66, 276, 148);
    m_editResult->setReadOnly(true);
    m_editResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editResult->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette pal = m_editResult->palette();
    pal.setColor(QPalette::Base, ColorRefToQColor(0xCDCDCD));
    pal.setColor(QPalette::Text, ColorRefToQColor(0x333399));
    m_editResult->setPalette(pal);

    m_btnGetIp->BuildDialogSkin();
    // Enter in the host-name box looks the name up (the only button is the default).
    m_btnGetIp->setDefault(true);
    connect(m_btnGetIp, &QPushButton::clicked, this, &CDomainParseDlg::OnButtonGetIp);

    m_editHostName->setFocus();
}

CDomainParseDlg::~CDomainParseDlg()
{
    DetachLookup();
}

void CDomainParseDlg::done(int result)
{
    DetachLookup();
    QDialog::done(result);
}

void CDomainParseDlg::DetachLookup()
{
    if (m_lookup) {
        m_lookup->dialog = nullptr;
        m_lookup.reset();
        m_btnGetIp->setEnabled(true);
    }
}

QString CDomainParseDlg::ResultText() const
{
    return m_editResult->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void CDomainParseDlg::OnButtonGetIp()
{
    if (m_lookup)
        return;
    // Spaces around a pasted name are not part of it.
    const QString name = m_editHostName->text().trimmed();
    if (name.isEmpty())
        return;

    auto lookup = std::make_shared<Lookup>(Lookup{this});
    m_lookup = lookup;
    m_btnGetIp->setEnabled(false);
    Resolver resolver = CurrentResolver();
    QThreadPool::globalInstance()->start([lookup, resolver = std::move(resolver), name]() mutable {
        std::optional<QStringList> addresses = resolver(name);
        Gui::Post([lookup = std::move(lookup), addresses = std::move(addresses)] {
            if (CDomainParseDlg* dialog = lookup->dialog)
                dialog->OnLookupDone(addresses);
        });
    });
}

void CDomainParseDlg::OnLookupDone(const std::optional<QStringList>& addresses)
{
    m_lookup.reset();
    m_btnGetIp->setEnabled(true);
    if (addresses) {
        m_editResult->setPlainText(AddressLines(*addresses));
        return;
    }
    m_editHostName->clear();
    m_editHostName->setFocus();
    // Last: the box runs its own loop, in which this dialog may be closed.
    ShowMessageBox(QStringLiteral("Invalid name!"));
}

} // namespace ulv
