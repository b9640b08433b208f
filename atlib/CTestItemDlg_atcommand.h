#pragma once

#include "atlib/core/EncryptedDb.h"
#include "pages/PageDialog.h"

#include <QFont>
#include <QString>
#include <memory>

class QCheckBox;
class QLineEdit;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace ulv {

class CSkinButton;

// The AT Command page: the command library as a tree of classifications, a
// command edit that searches the library as the user types and echoes the text
// in hex, a help box, and a one-line sender.
class CTestItemDlg_atcommand : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_atcommand(QWidget* parent = nullptr);

    // The tree and the help box take whatever room the pane has: the page
    // needs the width up to its command edit, and a tree of useful height.
    QSize NeededSize() const override;

    // Fills the tree again from the library (after the manager changed it).
    void ReloadTree();

    void OnChangeEditCommand();
    void OnSelchangedTree();
    void OnButtonSend();
    void ClearHelpBox();
    // The help of one command (its first line highlighted).
    void ShowCommandDetail(const QString& atc, const QString& func, const QString& refer, const QString& typeName,
        bool clearFirst);
    // One line of a search list (the command part highlighted).
    void AppendCommandLine(const QString& atc, const QString& func, const QString& refer, const QString& typeName,
        bool clearFirst);

    // The library the page reads; the one of the module type chosen at start
    // unless a test gives another.
    void SetLibrary(const DbFile& db);
    DbFile Library() const;

    QTreeWidget* Tree() const { return m_treeCommands; }
    QLineEdit* CommandEdit() const { return m_editCommand; }
    QLineEdit* HexEdit() const { return m_editHex; }
    QTextEdit* HelpBox() const { return m_richHelp; }
    CSkinButton* SendButton() const { return m_btnSend; }
    QCheckBox* WithEnterCheck() const { return m_checkEnter; }

    // Help box character formats.
    static constexpr unsigned kNormalColor = 0x000000;    // COLORREF black
    static constexpr unsigned kHighlightColor = 0x0000FF; // COLORREF red

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    void InsertFormatted(const QString& text, int highlightLength);

    QTreeWidget* m_treeCommands;
    QLineEdit* m_editCommand;
    QLineEdit* m_editHex;
    QTextEdit* m_richHelp;
    CSkinButton* m_btnSend;
    QCheckBox* m_checkEnter;
    QFont m_fontEdit;
    DbFile m_library;
    // The search's connection, kept open between keystrokes; opened again
    // when the library is read anew.
    std::unique_ptr<EncryptedDb> m_searchDb;
};

} // namespace ulv
