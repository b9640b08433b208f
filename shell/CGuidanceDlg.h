#pragma once

#include "ui/controls/CSkinDialog.h"

namespace ulv {

class CFontButton;
class CImageButton;

// The picture guide: a few full-window pages with "pre", "next" and "start".
// In start-up mode its second page chooses the module family the run works
// with; from the Help menu it is an introduction of five pages.
//
// The caller sets m_nModuleType and m_bStartupMode before showing it and, at
// start-up, reads m_nModuleType back however it closed. Enter does nothing; Esc
// and the close box end it rejected, "start" accepted.
class CGuidanceDlg : public CSkinDialog {
    Q_OBJECT
public:
    explicit CGuidanceDlg(QWidget* parent = nullptr);
    ~CGuidanceDlg() override;

    int m_nModuleType = 0;  // in: the preset family; out: the chosen one
    int m_bStartupMode = 1; // 1 start-up guide, 0 menu guide

    int PageCount() const { return m_bStartupMode ? 6 : 5; }
    // The page shown; one value for every guide, as only one is ever up.
    static int CurrentPage() { return s_nPage; }
    // The picture of a page in a mode for a family (0 GSM, 1 UMTS/HSPA).
    static int PagePictureId(int page, bool startupMode, int moduleType);
    int CurrentPictureId() const { return PagePictureId(s_nPage, m_bStartupMode != 0, m_nModuleType); }
    int GsmPictureId() const { return m_nModuleType == 0 ? 334 : 333; }
    int UmtsPictureId() const { return m_nModuleType == 0 ? 336 : 335; }

    CImageButton* m_btnUmts;
    CImageButton* m_btnGsm;
    CFontButton* m_btnStart;
    CFontButton* m_btnPre;
    CFontButton* m_btnNext;

    void OnPre();
    void OnNext();
    void OnStart();
    void OnGsm();
    void OnUmts();

    // The OK of the dialog does nothing: only "start" ends the guide accepted.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The choice cards stand on the page picture.
    void OnDrawBackground(QImage& composed) override;

private:
    void OnInitDialog();
    void ShowPage(int page);
    void SetChoicePictures();

    static int s_nPage;
    bool m_bInitDone = false;
};

} // namespace ulv
