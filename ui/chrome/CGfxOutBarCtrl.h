#pragma once

#include "ui/controls/WinLook.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QMenu;

namespace ulv {

class COutBarEdit;

// What an owner is told with a notification.
struct OutBarNotify {
    int index = -1; // the folder or item
    QString text; // a new name or caption
    int folder = -1; // the open folder of a move
    int item = -1; // the dragged item of a move
};

// Owner notification codes.
constexpr int NM_OB_ITEMCLICK = 1;
constexpr int NM_OB_ONLABELENDEDIT = 2;
constexpr int NM_OB_ONGROUPENDEDIT = 3;
constexpr int NM_OB_DRAGITEM = 4;
constexpr int NM_FOLDERCHANGE = 5;

// An outlook bar of stacked folders: the headers up to the open folder sit at
// the top, the rest at the bottom, and between them the open folder shows its
// items (image and caption, large or small) or the one window it carries.
class CGfxOutBarCtrl : public QWidget {
    Q_OBJECT
public:
    // Flags.
    static constexpr unsigned fSmallIcon = 0x01;
    static constexpr unsigned fEditGroups = 0x04;
    static constexpr unsigned fEditItems = 0x08;
    static constexpr unsigned fRemoveGroups = 0x10;
    static constexpr unsigned fRemoveItems = 0x20;
    static constexpr unsigned fDragItems = 0x80;
    static constexpr unsigned fAnimation = 0x100;
    static constexpr unsigned fSelHighlight = 0x200;
    // Image list kinds.
    static constexpr int fSmallIconList = 1;
    static constexpr int fLargeIconList = 2;
    // Hit kinds.
    static constexpr int htNothing = -1;
    static constexpr int htItem = 1;
    static constexpr int htFolder = 2;
    static constexpr int htUpScroll = 3;
    static constexpr int htDownScroll = 4;
    // Context menu commands.
    static constexpr int ID_GFX_SMALLICON = 50000;
    static constexpr int ID_GFX_LARGEICON = 50001;
    static constexpr int ID_GFX_RENAMEITEM = 50002;
    static constexpr int ID_GFX_REMOVEITEM = 50003;

    static constexpr int kHeaderHeight = 22;
    static constexpr COLORREF kShadow = Rgb(181, 178, 173);
    static constexpr COLORREF kFace = Rgb(236, 233, 216);
    static constexpr COLORREF kDarkFrame = Rgb(181, 178, 173);

    using ImageList = std::vector<QPixmap>;
    // The owner's answer to a notification; non-zero accepts a rename or move.
    using NotifyHandler = std::function<long(int code, const OutBarNotify& note)>;

    explicit CGfxOutBarCtrl(QWidget* parent = nullptr);
    ~CGfxOutBarCtrl() override;

    bool Create(unsigned style, const QRect& rect, QWidget* parent, int id, unsigned flags = 0x3FC);
    void SetNotifyHandler(NotifyHandler handler) { m_notify = std::move(handler); }
    void ModifyFlags(unsigned remove, unsigned add, bool recalcFrame = false);
    unsigned GetFlags() const { return m_dwFlags; }

    int AddFolder(const QString& name, long data = 0);
    int AddFolderBar(const QString& name, QWidget* child, long data = 0);
    int InsertItem(int folder, int index, const QString& text, int image, long data = 0);
    const ImageList* SetImageList(const ImageList* list, int kind);
    const ImageList* GetImageList(int kind) const;
    const ImageList* SetFolderImageList(int folder, const ImageList* list, int kind);

    void SetSelFolder(int index);
    int GetSelFolder() const;
    int GetFolderCount() const { return int(m_folders.size()); }
    int GetItemCount() const;
    QWidget* GetFolderChild(int index = -1) const;
    long GetFolderData(int index = -1) const;
    QString GetFolderText(int index) const;
    QString GetItemText(int index) const;
    long GetItemData(int index) const;
    int GetItemImage(int index) const;
    void SetItemData(int index, long data);
    void SetItemImage(int index, int image);
    int GetSelItem() const { return m_nSelItem; }
    void SetSmallIconView(bool small);
    bool IsSmallIconView() const { return (m_dwFlags & fSmallIcon) != 0; }
    void RemoveFolder(int index);
    void RemoveItem(int index);
    void StartFolderRename(int index);
    void StartItemRename(int index);
    void SetAnimSelHighlight(int intervalMs);
    void SetAnimationTickCount(int delayMs) { m_nAnimationTickCount = delayMs; }
    void SetConfirmFolderDeletion(bool confirm) { m_bConfirmFolderDeletion = confirm; }
    // The rename in progress, null when none.
    COutBarEdit* ActiveEdit() const;

    // Geometry, in client coordinates.
    QRect GetFolderRect(int index) const;
    QRect GetInsideRect() const;
    QRect GetItemRect(int index) const;
    // The image and caption parts of an item (the whole item in the small view).
    void GetIconRect(int index, QRect* image, QRect* caption) const;
    int HitTest(const QPoint& point, int* index) const;
    bool IsUpArrowShown() const { return m_bUpArrow; }
    bool IsDownArrowShown() const { return m_bDownArrow; }
    QRect UpArrowRect() const { return m_rcUpArrow; }
    QRect DownArrowRect() const { return m_rcDownArrow; }
    int FirstVisibleItem() const { return m_nFirstItem; }
    int HotFolder() const { return m_nHotFolder; }
    int HotItem() const { return m_nHotItem; }
    int BlinkStep() const { return m_nAnimSelStep; }
    bool IsAnimating() const { return m_animTimer.isActive(); }

    // The context menu for a hit, and its commands (the menu runs them).
    // The context menu for a hit (remembered for its commands): a menu handle
    // the caller destroys.
    QMenu* BuildContextMenu(int hitKind, int index);
    // The command update of the context menu: each view style is offered
    // only while the other is shown.
    void OnUpdateContextCommand(unsigned id, bool& enabled) const;
    void OnContextCommand(int id);
    // The toolbar whose pictures the context menu shows.
    static constexpr int kContextMenuToolbar = 128;

    COLORREF m_crBackground;
    COLORREF m_crText = Rgb(255, 255, 255);

    // From the rename edit: its text is final.
    void OnEditEnd(COutBarEdit* edit);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Window messages the bar does not handle itself (its context menu's
    // measuring and painting) get the default processing.
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Item {
        int image = 0;
        QString text;
        long data = 0;
    };
    struct Folder {
        QString name;
        long data = 0;
        const ImageList* large = nullptr;
        const ImageList* small = nullptr;
        std::vector<Item> items;
        QPointer<QWidget> child;
    };

    long Notify(int code, const OutBarNotify& note);
    const Folder* Open() const;
    Folder* Open();
    QSize ImageSize(const Folder& f) const;
    QSize ItemSize(int index) const;
    void PaintContent(QPainter& p, int folder, const QRect& inside);
    void PaintHeaders(QPainter& p);
    void DrawItem(QPainter& p, int folder, int index);
    void DrawDropMarker(QPainter& p) const;
    int LastVisibleItem(bool* lastCut) const;
    void UpdateArrows();
    void OnArrowTimer();
    void OnBlinkTimer();
    void OnAnimTimer();
    void MoveItem(int from, int to);
    void SetEditGeometry(COutBarEdit* edit, const QRect& r);

    QFont m_font;
    unsigned m_dwFlags = 0x3FC;
    int m_id = 0;
    std::vector<Folder> m_folders;
    int m_nSelFolder = 1;
    int m_nFirstItem = 0;
    int m_nSelItem = -1;
    int m_nHotFolder = -1;
    int m_nHotItem = -1;
    bool m_bUpArrow = false;
    bool m_bDownArrow = false;
    bool m_bUpPressed = false;
    bool m_bDownPressed = false;
    QRect m_rcUpArrow;
    QRect m_rcDownArrow;
    int m_nArrowTracking = htNothing;
    int m_nPressedItem = -1;
    bool m_bItemPressed = false;
    bool m_bDragging = false;
    int m_nDropTarget = -1;
    int m_nRightHitKind = htNothing;
    int m_nRightHitIndex = -1;
    const ImageList* m_large = nullptr;
    const ImageList* m_small = nullptr;
    int m_nAnimationTickCount = 10;
    int m_nAnimSelInterval = 0;
    int m_nAnimSelStep = 0;
    bool m_bConfirmFolderDeletion = true;
    NotifyHandler m_notify;
    QTimer m_arrowTimer;
    QTimer m_blinkTimer;
    QTimer m_animTimer;
    QPixmap m_animOld;
    QPixmap m_animNew;
    int m_animFrom = 0;
    int m_animTo = 0;
    int m_animStep = 0;
    QPointer<COutBarEdit> m_edit;
};

} // namespace ulv
