#include "shell/CGuidanceDlg.h"

#include "shell/GuideArtwork.h"
#include "ui/controls/CFontButton.h"
#include "ui/controls/CImageButton.h"

#include <QKeyEvent>

namespace ulv {

int CGuidanceDlg::s_nPage = 0;

namespace {

constexpr COLORREF kChoiceTransparent = 0x00FF00;
constexpr int kHoverSound = 337;

template <typename Button>
Button* MakeButton(QWidget* parent)
{
    auto* b = new Button(parent);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

CGuidanceDlg::CGuidanceDlg(QWidget* parent)
    : CSkinDialog(parent)
    , m_btnUmts(MakeButton<CImageButton>(this))
    , m_btnGsm(MakeButton<CImageButton>(this))
    , m_btnStart(MakeButton<CFontButton>(this))
    , m_btnPre(MakeButton<CFontButton>(this))
    , m_btnNext(MakeButton<CFontButton>(this))
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    s_nPage = 0;
    m_btnUmts->setObjectName(QStringLiteral("umtsChoice"));
    m_btnGsm->setObjectName(QStringLiteral("gsmChoice"));
    m_btnStart->setObjectName(QStringLiteral("start"));
    m_btnPre->setObjectName(QStringLiteral("pre"));
    m_btnNext->setObjectName(QStringLiteral("next"));
    connect(m_btnPre, &QPushButton::clicked, this, &CGuidanceDlg::OnPre);
    connect(m_btnNext, &QPushButton::clicked, this, &CGuidanceDlg::OnNext);
    connect(m_btnStart, &QPushButton::clicked, this, &CGuidanceDlg::OnStart);
    connect(m_btnGsm, &QPushButton::clicked, this, &CGuidanceDlg::OnGsm);
    connect(m_btnUmts, &QPushButton::clicked, this, &CGuidanceDlg::OnUmts);
}

CGuidanceDlg::~CGuidanceDlg() = default;

int CGuidanceDlg::PagePictureId(int page, bool startupMode, int moduleType)
{
    const bool umts = moduleType != 0;
    if (startupMode) {
        switch (page) {
        case 0: return 322;
        case 1: return 332;
        case 2: return umts ? 338 : 320;
        case 3: return umts ? 346 : 318;
        case 4: return 317;
        case 5: return 319;
        default: return 0;
        }
    }
    switch (page) {
    case 0: return 322;
    case 1: return umts ? 338 : 320;
    case 2: return 318;
    case 3: return 317;
    case 4: return 319;
    default: return 0;
    }
}

void CGuidanceDlg::showEvent(QShowEvent* event)
{
    // The caller sets the family and the mode after construction, so the
    // dialog sets itself up when it first shows.
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CGuidanceDlg::OnInitDialog()
{
    setGeometry(0, 0, 700, 400);
    setFixedSize(700, 400);
    setWindowTitle(QStringLiteral("Ulvenscope_V1.4"));

    m_btnPre->SetBitmaps(GuidePicture(316));
    m_btnNext->SetBitmaps(GuidePicture(315));
    m_btnStart->SetBitmaps(GuidePicture(321));
    m_btnPre->setGeometry(460, 360, 77, 32);
    m_btnNext->setGeometry(570, 360, 78, 33);
    m_btnStart->setGeometry(570, 360, 77, 32);

    SetChoicePictures();
    m_btnGsm->setGeometry(110, 150, 220, 130);
    m_btnUmts->setGeometry(370, 150, 220, 130);
    for (CImageButton* b : {m_btnGsm, m_btnUmts}) {
        b->SetBorder(false, false);
        b->SetAlign(CImageButton::ST_ALIGN_OVERLAP, false);
        b->SetTransparent(false);
        b->SetSound(kHoverSound, false, true);
    }

    s_nPage = 0;
    ShowPage(0);
}

void CGuidanceDlg::SetChoicePictures()
{
    m_btnGsm->SetBitmaps(GuidePicture(GsmPictureId()), kChoiceTransparent);
    m_btnUmts->SetBitmaps(GuidePicture(UmtsPictureId()), kChoiceTransparent);
}

void CGuidanceDlg::ShowPage(int page)
{
    const int last = PageCount() - 1;
    const bool choicePage = m_bStartupMode && page == 1;
    m_btnNext->setVisible(page != last);
    m_btnStart->setVisible(page == last);
    m_btnPre->setVisible(page != 0);
    m_btnGsm->setVisible(choicePage);
    m_btnUmts->setVisible(choicePage);
    SetBitmap(GuidePicture(CurrentPictureId()));
    SetBitmapMode(2, true);
}

void CGuidanceDlg::OnDrawBackground(QImage& composed)
{
    m_btnGsm->CaptureBackground(&composed);
    m_btnUmts->CaptureBackground(&composed);
}

void CGuidanceDlg::OnPre()
{
    if (s_nPage <= 0)
        return;
    ShowPage(--s_nPage);
    update();
}

void CGuidanceDlg::OnNext()
{
    if (s_nPage >= PageCount() - 1)
        return;
    ShowPage(++s_nPage);
    update();
}

void CGuidanceDlg::OnStart()
{
    done(QDialog::Accepted);
}

void CGuidanceDlg::OnGsm()
{
    if (m_nModuleType != 0) {
        m_nModuleType = 0;
        SetChoicePictures();
    }
}

void CGuidanceDlg::OnUmts()
{
    if (m_nModuleType == 0) {
        m_nModuleType = 1;
        SetChoicePictures();
    }
}

void CGuidanceDlg::accept()
{
}

void CGuidanceDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace ulv
