#include "atlib/CTestItemDlg_atcommand.h"

#include "atlib/core/AtcDatabase.h"

#include <QDir>
#include "core/at/ModemSession.h"
#include "core/text/CommandFieldCheck.h"
#include "core/text/HexView.h"
#include "pages/PageHost.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>

#include <algorithm>

namespace ulv {

namespace {

QColor FromColorRef(unsigned c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QTextCharFormat MakeHelpFormat(unsigned color)
{
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Arial Unicode MS")});
    f.setFontPointSize(10);
    f.setFontWeight(QFont::Normal);
    f.setFontItalic(false);
    f.setFontUnderline(false);
    f.setForeground(FromColorRef(color));
    return f;
}

const QTextCharFormat& HelpFormat(unsigned color)
{
    static const QTextCharFormat normal = MakeHelpFormat(CTestItemDlg_atcommand::kNormalColor);
    static const QTextCharFormat highlight = MakeHelpFormat(CTestItemDlg_atcommand::kHighlightColor);
    return color == CTestItemDlg_atcommand::kHighlightColor ? highlight : normal;
}

// The parameter reference keeps CR LF line ends; its later lines line up
// under the first one in the help box.
QString IndentReference(QString refer)
{
    return refer.replace(QStringLiteral("\r\n"), QStringLiteral("\r\n             "));
}

} // namespace

CTestItemDlg_atcommand::CTestItemDlg_atcommand(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_atcommand"), parent)
    , m_treeCommands(new QTreeWidget(this))
    , m_editCommand(new QLineEdit(this))
    , m_editHex(new QLineEdit(this))
    , m_richHelp(new QTextEdit(this))
    , m_btnSend(new CSkinButton(QStringLiteral("Send"), this))
    , m_checkEnter(new QCheckBox(QStringLiteral("With enter"), this))
    , m_fontEdit(QStringLiteral("Arial Unicode MS"))
{
    m_fontEdit.setPixelSize(14);
    m_fontEdit.setWeight(QFont::DemiBold);
    OnInitDialog();
}

void CTestItemDlg_atcommand::SetLibrary(const DbFile& db)
{
    m_library = db;
    m_searchDb.reset();
}

DbFile CTestItemDlg_atcommand::Library() const
{
    if (!m_library.path.isEmpty())
        return m_library;
    return {theApp.m_strAtcDbPath, theApp.m_strAtcDbKey.toUtf8()};
}

void CTestItemDlg_atcommand::OnInitDialog()
{
    m_btnSend->setGeometry(10, 10, 60, 26);
    m_checkEnter->setGeometry(78, 12, 90, 22);
    m_editCommand->setGeometry(170, 10, 300, 26);
    auto* hexLabel = new QLabel(QStringLiteral("Expressed in HEX:"), this);
    hexLabel->setGeometry(10, 44, 155, 22);
    m_editHex->setGeometry(170, 42, 300, 26);
    m_editHex->setReadOnly(true);
    m_treeCommands->setGeometry(10, 78, 200, 600);
    m_richHelp->setGeometry(215, 78, 255, 600);

    m_btnSend->BuildDialogSkin();
    m_btnSend->setAutoDefault(false);
    m_editCommand->setFont(m_fontEdit);
    m_editHex->setFont(m_fontEdit);
    m_checkEnter->setChecked(true);

    m_treeCommands->setHeaderHidden(true);
    m_treeCommands->setRootIsDecorated(true);
    m_treeCommands->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_treeCommands->setSelectionMode(QAbstractItemView::SingleSelection);

    m_richHelp->setAcceptRichText(false);
    m_richHelp->setLineWrapMode(QTextEdit::NoWrap);
    m_richHelp->setCurrentCharFormat(HelpFormat(kNormalColor));

    connect(m_editCommand, &QLineEdit::textChanged, this, [this] { OnChangeEditCommand(); });
    connect(m_treeCommands, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelchangedTree(); });
    connect(m_btnSend, &QPushButton::clicked, this, [this] { OnButtonSend(); });
    m_editCommand->installEventFilter(this);

    ReloadTree();
}

void CTestItemDlg_atcommand::ReloadTree()
{
    const QSignalBlocker quiet(m_treeCommands);
    m_treeCommands->clear();
    m_searchDb.reset();
    const DbFile db = Library();
    // Before start-up has chosen the library there is nothing to read.
    if (db.path.isEmpty())
        return;
    QString error;
    for (const AtcClassCommands& cls : LoadAtcTree(db, &error)) {
        auto* root = new QTreeWidgetItem(m_treeCommands, QStringList{cls.name});
        for (const QString& atc : cls.commands)
            new QTreeWidgetItem(root, QStringList{atc});
    }
    if (!error.isEmpty())
        ShowMessageBox(QStringLiteral("Cannot read the AT command library %1 (%2)!")
                           .arg(QDir::toNativeSeparators(db.path), error),
            MB_ICONERROR);
}

void CTestItemDlg_atcommand::ClearHelpBox()
{
    QTextCursor c(m_richHelp->document());
    c.select(QTextCursor::Document);
    c.setCharFormat(HelpFormat(kNormalColor));
    c.removeSelectedText();
    m_richHelp->setCurrentCharFormat(HelpFormat(kNormalColor));
}

void CTestItemDlg_atcommand::InsertFormatted(const QString& text, int highlightLength)
{
    QTextCursor c(m_richHelp->document());
    c.movePosition(QTextCursor::End);
    const int b = c.position();
    // The help box shows CR LF line ends as one line break each.
    const auto shown = [](QString t) { return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };
    c.insertText(shown(text.left(highlightLength)), HelpFormat(kHighlightColor));
    c.insertText(shown(text.mid(highlightLength)), HelpFormat(kNormalColor));
    c.setPosition(b);
    m_richHelp->setTextCursor(c);
}

void CTestItemDlg_atcommand::ShowCommandDetail(const QString& atc, const QString& func, const QString& refer,
    const QString& typeName, bool clearFirst)
{
    if (clearFirst)
        ClearHelpBox();
    const QString first = QStringLiteral("Command:     ") + atc;
    const QString text = first + QStringLiteral("\r\nClass    : ") + typeName + QStringLiteral("\r\nFunction: ") + func
        + QStringLiteral("\r\nParameter reference below : \r\n") + IndentReference(refer);
    InsertFormatted(text, int(first.size()));
}

void CTestItemDlg_atcommand::AppendCommandLine(const QString& atc, const QString& func, const QString& refer,
    const QString& typeName, bool clearFirst)
{
    Q_UNUSED(refer);
    if (clearFirst)
        ClearHelpBox();
    InsertFormatted(atc + QStringLiteral(": ") + func + QStringLiteral(" [ ") + typeName + QStringLiteral(" ]\r\n"),
        int(atc.size()));
}

void CTestItemDlg_atcommand::OnChangeEditCommand()
{
    const QString text = m_editCommand->text();
    if (text.isEmpty()) {
        ClearHelpBox();
        m_editHex->clear();
        return;
    }
    QByteArray hex;
    TextToHexView(text.toUtf8(), hex);
    m_editHex->setText(QString::fromLatin1(hex));
    const qsizetype eq = text.indexOf('=');
    const QString search = eq < 0 ? text : text.left(eq);
    ClearHelpBox();
    // The typed text is only ever bound as the pattern; "%" and "_" in it
    // match as the library's LIKE makes them.
    const DbFile db = Library();
    if (db.path.isEmpty())
        return;
    if (!m_searchDb)
        m_searchDb.reset(new EncryptedDb(db)); // here, so a failed open is logged with this place
    const std::vector<AtCommand> found = SearchAtCommands(*m_searchDb, search);
    // A library that would not open is tried again on the next keystroke.
    if (!m_searchDb->isOpen())
        m_searchDb.reset();
    if (found.size() == 1) {
        const AtCommand& c = found.front();
        ShowCommandDetail(c.atc, c.func, c.refer, c.className, false);
        return;
    }
    // One edit for the whole list: the box lays itself out once, not per line.
    QTextCursor edit(m_richHelp->document());
    edit.beginEditBlock();
    for (const AtCommand& c : found)
        AppendCommandLine(c.atc, c.func, c.refer, c.className, false);
    edit.endEditBlock();
    if (!found.empty())
        m_richHelp->setTextCursor(QTextCursor(m_richHelp->document()));
}

void CTestItemDlg_atcommand::OnSelchangedTree()
{
    const QList<QTreeWidgetItem*> chosen = m_treeCommands->selectedItems();
    if (chosen.isEmpty() || !chosen.front()->parent()) {
        m_treeCommands->setFocus();
        return;
    }
    // The command itself goes into the edit; its change runs the search, which
    // shows the help (or the list of every command that holds the text).
    m_editCommand->setText(chosen.front()->text(0));
    m_treeCommands->setFocus();
}

void CTestItemDlg_atcommand::OnButtonSend()
{
    const bool withEnter = m_checkEnter->isChecked();
    const QString text = m_editCommand->text();
    if (text.isEmpty())
        return;
    if (const QString problem = CheckCommandLine(QStringLiteral("AT command"), text); !problem.isEmpty()) {
        ShowMessageBox(problem);
        return;
    }
    if (PageHost* host = GetPageHost())
        host->Session().Transmitter().SendToModule(text, PortTransmitter::kText, withEnter);
}

bool CTestItemDlg_atcommand::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editCommand && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            OnButtonSend();
    }
    return PageDialog::eventFilter(watched, event);
}

QSize CTestItemDlg_atcommand::NeededSize() const
{
    constexpr int kLeastTreeHeight = 100;
    return {m_editCommand->geometry().right() + 1 + kNeededRightMargin,
        m_treeCommands->y() + kLeastTreeHeight + kNeededBottomMargin};
}

void CTestItemDlg_atcommand::resizeEvent(QResizeEvent* event)
{
    PageDialog::resizeEvent(event);
    const QRect tree = m_treeCommands->geometry();
    const int treeHeight = std::max(100, height() - tree.top() - kNeededBottomMargin);
    m_treeCommands->resize(tree.width(), treeHeight);
    m_richHelp->setGeometry(tree.right() + 1 + 5, tree.top(), std::max(50, width() - tree.right() - 1 - 30), treeHeight);
}

} // namespace ulv
