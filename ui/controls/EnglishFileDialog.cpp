#include "ui/controls/EnglishFileDialog.h"

#include <QLabel>

#include <utility>

namespace ulv {

QStringList ConvertFileFilter(const QString& filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        if (desc.isEmpty())
            break;
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        const QString list = patterns.join(QLatin1Char(' '));
        // Qt takes the patterns from the last parentheses of the name.
        if (desc.endsWith(QLatin1Char(')')) && desc.contains(QLatin1Char('(')) &&
            desc.mid(desc.lastIndexOf(QLatin1Char('(')) + 1).chopped(1).trimmed() == list)
            out << desc;
        else
            out << desc + QStringLiteral(" (") + list + QLatin1Char(')');
    }
    return out;
}

EnglishFileDialog::EnglishFileDialog(bool open, const QString& defaultExt, const QString& fileName, unsigned flags,
                                     const QString& filter, QWidget* parent, const QString& saveText)
    : QFileDialog(parent)
    , m_bOpen(open)
{
    QFileDialog& dialog = *this;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (open)
        dialog.setFileMode((flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, open || !(flags & OFN_OVERWRITEPROMPT));

    dialog.setWindowTitle(open ? QStringLiteral("Open") : QStringLiteral("Save as"));
    dialog.setLabelText(QFileDialog::Accept, open ? QStringLiteral("&OK") : saveText);
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("&CANCEL "));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("&File name:"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("&Searchrange:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("&File type:"));
    // A label shows its "&" as a mnemonic only when it has a buddy; Qt's own
    // layout gives the look-in and file-type labels none.
    const std::pair<const char*, const char*> buddies[] = {
        {"lookInLabel", "lookInCombo"},
        {"fileNameLabel", "fileNameEdit"},
        {"fileTypeLabel", "fileTypeCombo"},
    };
    for (const auto& [labelName, fieldName] : buddies) {
        auto* label = dialog.findChild<QLabel*>(QLatin1String(labelName));
        auto* field = dialog.findChild<QWidget*>(QLatin1String(fieldName));
        if (label && field && !label->buddy())
            label->setBuddy(field);
    }

    const QStringList filters = ConvertFileFilter(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    // A blank extension would make every name end in ". ".
    QString ext = defaultExt.trimmed();
    while (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);
    if (!fileName.trimmed().isEmpty())
        dialog.selectFile(fileName);
}

int EnglishFileDialog::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

QString EnglishFileDialog::GetPathName() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace ulv
