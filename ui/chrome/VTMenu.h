#pragma once

#include "ui/chrome/MenuImageList.h"
#include "ui/chrome/WinMenu.h"
#include "ui/controls/WinLook.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ulv {

// What each owner-drawn item of a VTMenu carries as its item data.
struct VTMenuItem {
    QString text; // null when the item has none; a tab starts the accelerator
    int imageIndex = -1; // in ownImages
    int sharedIndex = -1; // slot in the class-wide shared list
    int spare = 0;
    int ownImageMark = -1; // 0 or a bitmap id when the item has its own picture
    UINT flags = 0;
    std::uintptr_t id = 0; // command id, or the popup's handle
    int syncMark = 0;
    std::unique_ptr<MenuImageList> ownImages;
    int spare2 = 0;
};

// A toolbar button as ImportToolbarBitmap reads it.
struct ToolBarButtonInfo {
    UINT id = 0;
    int image = 0;
};

// The owner-drawn menu: every item carries a VTMenuItem and is painted in the
// classic 3-D look or the flat look with a tinted picture column, with
// pictures from toolbars, bitmaps or image lists.
class VTMenu : public CMenu {
public:
    // ---- Class-wide values.
    static int s_drawStyleThemed;
    static int s_drawStyleClassic;
    static int s_selectDisabledClassic;
    static int s_selectDisabledFlat;
    static int s_pictureVariants;
    // Every popup made or registered by any VTMenu.
    static std::vector<HMENU> s_subMenus;

    // The Windows version class (0..7) the looks are chosen by; this platform
    // answers as Windows 10 (1). Tests and the gallery set another.
    static int VersionClass();
    static void SetVersionClass(int versionClass);
    // The desktop theme's file name as the theme key's default value holds
    // it; empty when there is none (a themed desktop).
    static void SetThemeFileName(const QString& fileName);
    static bool IsClassicTheme();
    static bool IsClassicThemeName(const QString& fileName);
    static bool NewerShell() { return VersionClass() > 1; }
    static bool ThemedXp() { return VersionClass() == 7 && !IsClassicTheme(); }
    static int DrawStyle() { return ThemedXp() ? s_drawStyleThemed : s_drawStyleClassic; }
    static bool FlatLook() { return DrawStyle() == 1; }
    static COLORREF MenuBackground();

    VTMenu();
    ~VTMenu() override;

    bool DestroyMenu() override;
    static bool IsOwnSubMenu(HMENU menu);
    static bool IsOwnSubMenu(const CMenu* menu) { return menu && IsOwnSubMenu(menu->m_hMenu); }

    // ---- Loading.
    bool LoadMenu(int menuId);
    bool LoadMenuTemplate(const QByteArray& menuTemplate);

    // ---- Adding items. toolbarId -1: the command's shared picture, if any.
    bool AppendItem(const QString& text, UINT flags = MF_OWNERDRAW, std::uintptr_t id = 0, int toolbarId = -1);
    bool AppendItem(const QString& text, UINT flags, std::uintptr_t id, const MenuImageList* list, int index);
    bool AppendItem(UINT flags, std::uintptr_t id, const QString& text, const QImage& bitmap);
    bool InsertItem(UINT position, const QString& text, UINT flags, std::uintptr_t id, int toolbarId = -1);
    bool InsertItem(
        UINT position, const QString& text, UINT flags, std::uintptr_t id, const MenuImageList* list, int index);
    bool InsertItem(UINT position, UINT flags, std::uintptr_t id, const QString& text, const QImage& bitmap);
    VTMenu* AppendPopup(const QString& text);

    // ---- Changing items. A null text keeps the item's text.
    bool ModifyItem(const QString& text, UINT id, int toolbarId = -1);
    bool ModifyItem(const QString& text, UINT id, const MenuImageList* list, int index);
    bool ModifyItem(const QString& text, UINT id, const QImage& bitmap);
    bool ModifyItem(
        const QString& text, UINT id, COLORREF fill, COLORREF border, int hatchStyle, const QSize* swatchSize);
    bool ModifyItemByText(const QString& newText, const QString& oldText, int bitmapId);
    bool SetItemText(UINT id, const QString& text, UINT flags);
    bool GetItemText(UINT id, QString& text, UINT flags);

    // ---- Removing items.
    bool RemoveItem(UINT id, UINT flags);
    bool DeleteItem(UINT id, UINT flags);
    int RemoveItemByText(const QString& text, int mode);
    int DeleteItemByText(const QString& text, int mode);

    // ---- Finding.
    VTMenuItem* FindItemRecord(UINT id);
    VTMenu* FindCommandOwner(UINT id, int& position);
    VTMenu* FindCommandOwner(UINT id, int& position, std::vector<std::pair<VTMenu*, int>>& visited);
    VTMenuItem* FindItemRecordByText(const QString& text);
    int FindItemPosition(const QString& text);
    VTMenu* FindPopupByText(const QString& text);
    VTMenu* GetSubMenuByText(const QString& text);

    // ---- Keys.
    static LRESULT MatchMenuChar(UINT character, UINT flags, VTMenu* menu);
    static LRESULT MatchMenuChar(UINT character, UINT flags, HMENU menu);
    void SyncItemRecords();
    static void SyncItemRecords(VTMenu* menu);

    // ---- Pictures.
    void SetIconSize(int width, int height);
    void SetImageBackground(COLORREF color);
    void ClearImageBackground() { m_useImageBackground = 0; }
    void SetMonochromeEmboss() { m_monochromeEmboss = 1; }
    void ClearMonochromeEmboss() { m_monochromeEmboss = 0; }
    int GetMonochromeEmboss() const { return m_monochromeEmboss; }
    void SetIconIds(bool on) { m_iconIds = on ? 1 : 0; }
    bool SetCheckBitmaps(int normalId, int selectedId);
    bool LoadToolbarImages(int toolbarId);
    bool LoadToolbarsImages(const int* ids, int count);
    int ImportToolbarBitmap(const std::vector<ToolBarButtonInfo>& buttons, int bitmapId);
    bool AddImageToList(MenuImageList& list, int id);
    int AddSharedImage(const MenuImageList& list, int index, UINT id);
    static int FindSharedImage(UINT id);
    static bool HasImageVariants(int slot);
    bool CopyImageToOwnList(const MenuImageList* source, int index, MenuImageList* own);
    static bool GetToolbarImageIndex(UINT id, int toolbarId, int& index);
    QImage MakeImageBitmap(const MenuImageList& list, int index) const;
    static QImage FadeBitmap(const QImage& bitmap);
    static QImage ShadowBitmap(const QImage& bitmap);
    static void DrawEmbossedMonochrome(
        QPainter& p, int x, int y, int width, int height, const QImage& bitmap, int sx, int sy, COLORREF bg);
    static void DrawEmbossedMask(
        QPainter& p, int x, int y, int width, int height, const QImage& bitmap, int sx, int sy, COLORREF bg);
    static QImage MakeSwatchBitmap(int swatchWidth, int swatchHeight, int bitmapWidth, int bitmapHeight,
        COLORREF fill, COLORREF border, int hatchStyle);
    static QImage LoadSysColorBitmap16(int bitmapId);

    // ---- Looks.
    void DrawItem(DRAWITEMSTRUCT* dis) override;
    // Painting on a palette device always takes the classic look.
    static bool PaletteDevice(const QPainter& p);
    // The item's check is a radio dot (it has its own checked picture).
    static bool RadioItem(const DRAWITEMSTRUCT* dis);
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
    static COLORREF Lighten(COLORREF color, double factor);
    static COLORREF Darken(COLORREF color, double factor);
    static void DrawRadioDot(QPainter& p, int left, int top, COLORREF color);
    static void DrawCheckGlyph(QPainter& p, int x, int y, COLORREF color);
    static void DrawCheckBoxClassic(QPainter& p, const QRect& r, bool selected, bool radio);
    static void DrawCheckBoxFlat(QPainter& p, const QRect& r, bool radio, COLORREF frame);

    // ---- State, for the painters and tests.
    const std::vector<VTMenuItem*>& Items() const { return m_items; }
    const std::vector<HMENU>& Popups() const { return m_popups; }
    int ImageWidth() const { return m_imageWidth; }
    int ImageHeight() const { return m_imageHeight; }
    bool IsFromTemplate() const { return m_fromTemplate != 0; }
    static const MenuImageList& SharedImages();
    static const std::vector<UINT>& SharedSlots();
    // Empties the shared list (tests start from a clean slate).
    static void ResetSharedImages();

private:
    VTMenu* MakeSubMenu();
    void AddPicture(VTMenuItem* record, UINT id, int toolbarId);
    bool AddItemAt(int position, const QString& text, UINT flags, std::uintptr_t id, int toolbarId,
        const MenuImageList* list, int index, bool useList);
    bool ApplyByCommand(UINT id, UINT flags, const std::function<bool(VTMenu*, UINT)>& op);
    bool RemoveAt(int position, bool deleting);
    int RemoveByText(const QString& text, int mode, bool deleting);
    bool ModifyEach(const QString& text, UINT id, const std::function<void(VTMenuItem*)>& picture);
    QRgb TransparentColor() const;
    void PadAccelerators();
    int ItemOffset() const;
    void RestoreTopLevelPopups();
    void DestroyRecord(VTMenuItem* record);
    const MenuImageList* PictureOf(const VTMenuItem* record, int& index) const;
    void DrawItemClassic(DRAWITEMSTRUCT* dis);
    void DrawItemFlat(DRAWITEMSTRUCT* dis);
    void DrawDisabledPicture(QPainter& p, const MenuImageList& list, int index, int x, int y, COLORREF bg) const;

    std::vector<VTMenuItem*> m_items;
    std::vector<HMENU> m_popups;
    int m_imageWidth = 16;
    int m_imageHeight = 15;
    COLORREF m_imageBackground = Rgb(192, 192, 192);
    int m_useImageBackground = 0;
    int m_monochromeEmboss = 0;
    MenuImageList* m_checkImages = nullptr;
    int m_checkImagesShared = 0;
    int m_selectedCheckId = -1;
    int m_normalCheckId = -1;
    int m_iconIds = 0;
    int m_fromTemplate = 0;
};

} // namespace ulv
