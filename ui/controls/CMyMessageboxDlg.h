#pragma once

#include <QDialog>

namespace ulv {

// A plain dialog captioned "Dialog" with OK and Cancel.
class CMyMessageboxDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMyMessageboxDlg(QWidget* parent = nullptr);
};

// A plain dialog made for a template id; the id only names it.
class CTemplateDialog : public QDialog {
    Q_OBJECT
public:
    CTemplateDialog(int templateId, QWidget* parent = nullptr);
    int TemplateId() const { return m_templateId; }

private:
    int m_templateId;
};

} // namespace ulv
