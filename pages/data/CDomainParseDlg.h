#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace ulv {

class CSkinButton;

// "Domain name analyse": resolves a host name on the PC and lists its IPv4
// addresses, one a line, so that a server address can be typed into the
// TCP/UDP page. It does not talk to the module.
//
// The lookup runs on a pool thread: a resolver without network can take many
// seconds, and the window stays responsive meanwhile, its button disabled.
class CDomainParseDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDomainParseDlg(QWidget* parent = nullptr);
    ~CDomainParseDlg() override;

    int DoModal() { return exec(); }

    // "Get IP address": looks the host-name box up; an empty box does nothing.
    void OnButtonGetIp();
    bool LookupRunning() const { return m_lookup != nullptr; }

    // The listed addresses, each ending in CR LF (the box itself shows lines).
    QString ResultText() const;

    // The resolver lookups use; it runs on a worker thread. Tests replace it;
    // an empty one restores the system's. Returns the one it replaces.
    using Resolver = std::function<std::optional<QStringList>(const QString& name)>;
    static Resolver SetResolver(Resolver resolver);

    // Enter never closes the dialog; Esc and the close box do.
    void accept() override {}
    void done(int result) override;

    QLineEdit* m_editHostName;
    QPlainTextEdit* m_editResult;
    CSkinButton* m_btnGetIp;

private:
    struct Lookup;
    void OnLookupDone(const std::optional<QStringList>& addresses);
    void DetachLookup();

    std::shared_ptr<Lookup> m_lookup;
};

} // namespace ulv
