#pragma once

#include <QString>
#include <QStringList>

#include <QFileDialog>

namespace ulv {

// Dialog results and the open-file flags the choosers pass.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr unsigned OFN_READONLY = 0x1;
constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
constexpr unsigned OFN_HIDEREADONLY = 0x4;
constexpr unsigned OFN_ALLOWMULTISELECT = 0x200;
constexpr unsigned OFN_PATHMUSTEXIST = 0x800;
constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;

// "Text files (*.txt)|*.txt|All files (*.*)|*.*||" as Qt name filters:
// "Text files (*.txt)", "All files (*)". Patterns separated by ';' become
// space-separated; "*.*" matches every file.
QStringList ConvertFileFilter(const QString& filter);

// File open/save dialog with fixed English captions, whatever the desktop's
// language: title "Open" or "Save as", "&OK" or the given save text, "&CANCEL ",
// "&File name:", "&Searchrange:", "&File type:". Filters come in the
// "desc|pattern||" form; a blank default extension is none.
class EnglishFileDialog : public QFileDialog {
    Q_OBJECT
public:
    EnglishFileDialog(bool open, const QString& defaultExt, const QString& fileName, unsigned flags,
                      const QString& filter, QWidget* parent, const QString& saveText);

    // IDOK when a file was chosen, else IDCANCEL.
    int DoModal();
    QString GetPathName() const;
    bool IsOpenDialog() const { return m_bOpen; }

private:
    bool m_bOpen;
};

} // namespace ulv
