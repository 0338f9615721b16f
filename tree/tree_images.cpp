#include "tree/tree_images.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace ramulet {

namespace {

// No node of the tree uses this picture.
constexpr int kImageSpare = 10;

// Pixels of this colour are transparent in the finished list.
constexpr COLORREF kMaskColor = RGB(255, 0, 255);

constexpr COLORREF kOutline = RGB(48, 48, 48);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(52, 101, 164);
constexpr COLORREF kLightBlue = RGB(114, 159, 207);
constexpr COLORREF kGreen = RGB(78, 154, 6);
constexpr COLORREF kLightGreen = RGB(138, 226, 52);
constexpr COLORREF kYellow = RGB(237, 212, 0);
constexpr COLORREF kOrange = RGB(245, 121, 0);
constexpr COLORREF kRed = RGB(204, 0, 0);
constexpr COLORREF kPurple = RGB(117, 80, 123);
constexpr COLORREF kBrown = RGB(143, 89, 2);
constexpr COLORREF kGrey = RGB(136, 138, 133);
constexpr COLORREF kLightGrey = RGB(211, 215, 207);

// Draws one 16 x 16 cell of the strip; coordinates are relative to the cell.
class CellPainter {
  public:
    CellPainter(HDC dc, int cell) : dc_(dc), left_(cell * kTreeImageSize) {}

    void box(int x0, int y0, int x1, int y1, COLORREF fill, COLORREF edge = kOutline) const {
        Tools tools(dc_, fill, edge);
        Rectangle(dc_, left_ + x0, y0, left_ + x1, y1);
    }

    void ellipse(int x0, int y0, int x1, int y1, COLORREF fill, COLORREF edge = kOutline) const {
        Tools tools(dc_, fill, edge);
        Ellipse(dc_, left_ + x0, y0, left_ + x1, y1);
    }

    void polygon(std::initializer_list<POINT> corners, COLORREF fill,
                 COLORREF edge = kOutline) const {
        std::vector<POINT> points;
        for (POINT p : corners)
            points.push_back({left_ + p.x, p.y});
        Tools tools(dc_, fill, edge);
        Polygon(dc_, points.data(), static_cast<int>(points.size()));
    }

    void line(int x0, int y0, int x1, int y1, COLORREF color) const {
        UniquePen pen(CreatePen(PS_SOLID, 1, color));
        ScopedSelect usePen(dc_, pen.get());
        MoveToEx(dc_, left_ + x0, y0, nullptr);
        LineTo(dc_, left_ + x1, y1);
    }

    void arc(int x0, int y0, int x1, int y1, int fromX, int fromY, int toX, int toY,
             COLORREF color) const {
        UniquePen pen(CreatePen(PS_SOLID, 1, color));
        ScopedSelect usePen(dc_, pen.get());
        Arc(dc_, left_ + x0, y0, left_ + x1, y1, left_ + fromX, fromY, left_ + toX, toY);
    }

  private:
    // A solid brush and pen selected for one shape.
    class Tools {
      public:
        Tools(HDC dc, COLORREF fill, COLORREF edge)
            : brush_(CreateSolidBrush(fill)),
              pen_(CreatePen(PS_SOLID, 1, edge)),
              useBrush_(dc, brush_.get()),
              usePen_(dc, pen_.get()) {}

      private:
        UniqueBrush brush_;
        UniquePen pen_;
        ScopedSelect useBrush_;
        ScopedSelect usePen_;
    };

    HDC dc_;  // not owned
    int left_;
};

// "程序数据": a stack of data, drawn as a cylinder.
void drawRoot(const CellPainter& p) {
    p.box(2, 4, 14, 13, kLightBlue);
    p.ellipse(2, 10, 14, 15, kLightBlue);
    p.box(3, 5, 13, 12, kLightBlue, kLightBlue);
    p.ellipse(2, 1, 14, 7, kBlue);
}

// An assembly: a module block with two code lines.
void drawAssembly(const CellPainter& p, COLORREF fill) {
    p.box(2, 2, 14, 14, fill);
    p.box(2, 2, 14, 5, kOutline);
    p.line(4, 8, 12, 8, kWhite);
    p.line(4, 11, 10, 11, kWhite);
}

// Global variables: a globe.
void drawGlobal(const CellPainter& p) {
    p.ellipse(1, 1, 15, 15, kLightGreen, kGreen);
    p.line(1, 8, 15, 8, kGreen);
    p.arc(4, 1, 12, 15, 8, 1, 8, 15, kGreen);
    p.arc(4, 1, 12, 15, 8, 15, 8, 1, kGreen);
}

// "Dll命令": a library of commands, three books on a shelf.
void drawDllGroup(const CellPainter& p) {
    p.box(2, 3, 6, 14, kRed);
    p.box(6, 5, 10, 14, kOrange);
    p.box(10, 2, 14, 14, kPurple);
    p.line(1, 14, 15, 14, kOutline);
}

// A window: white client area under a blue caption.
void drawWindow(const CellPainter& p) {
    p.box(1, 2, 15, 14, kWhite);
    p.box(1, 2, 15, 6, kBlue);
    p.box(11, 3, 14, 5, kRed, kRed);
}

// A constant: an orange tag with a hole.
void drawConstant(const CellPainter& p) {
    p.polygon({{1, 8}, {6, 3}, {14, 3}, {14, 13}, {6, 13}}, kOrange);
    p.ellipse(5, 7, 8, 10, kWhite);
}

// "资源表": a treasure chest.
void drawResourceTable(const CellPainter& p) {
    p.box(1, 7, 15, 14, kBrown);
    p.polygon({{1, 7}, {3, 3}, {13, 3}, {15, 7}}, kOrange);
    p.box(7, 6, 9, 10, kYellow);
}

// "模块引用表": two linked modules.
void drawModuleTable(const CellPainter& p) {
    p.box(1, 1, 9, 9, kLightBlue);
    p.box(7, 7, 15, 15, kLightGreen);
    p.line(5, 5, 11, 11, kOutline);
}

// A file: a page with a folded corner.
void drawFile(const CellPainter& p) {
    p.polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, kWhite);
    p.polygon({{10, 1}, {10, 4}, {13, 4}}, kLightGrey);
    p.line(5, 7, 11, 7, kGrey);
    p.line(5, 10, 11, 10, kGrey);
    p.line(5, 13, 9, 13, kGrey);
}

// Spare: a plain grey dot.
void drawSpare(const CellPainter& p) {
    p.ellipse(4, 4, 12, 12, kLightGrey, kGrey);
}

// A sub: a green arrow that runs.
void drawSub(const CellPainter& p) {
    p.polygon({{2, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {2, 10}}, kGreen);
}

// A DLL command: a plug.
void drawDllCommand(const CellPainter& p) {
    p.box(3, 6, 11, 14, kGrey);
    p.box(5, 2, 7, 6, kYellow);
    p.box(8, 2, 10, 6, kYellow);
    p.line(11, 10, 15, 10, kOutline);
}

// A sound: a speaker with two waves.
void drawSound(const CellPainter& p) {
    p.polygon({{1, 6}, {4, 6}, {8, 2}, {8, 14}, {4, 10}, {1, 10}}, kPurple);
    // Arcs run counter-clockwise: from the bottom over the right side to the top.
    p.arc(5, 4, 13, 12, 9, 12, 9, 4, kOutline);
    p.arc(4, 1, 16, 15, 10, 15, 10, 1, kOutline);
}

// A picture: a frame with a mountain under the sun.
void drawPicture(const CellPainter& p) {
    p.box(1, 2, 15, 14, kLightBlue);
    p.polygon({{2, 13}, {7, 6}, {10, 10}, {12, 8}, {14, 13}}, kGreen);
    p.ellipse(10, 3, 14, 7, kYellow);
}

void drawCell(const CellPainter& p, int image) {
    switch (image) {
        case kImageRoot:
            return drawRoot(p);
        case kImageAssembly:
            return drawAssembly(p, kBlue);
        case kImageAssemblyWithBase:
            return drawAssembly(p, kPurple);
        case kImageGlobal:
            return drawGlobal(p);
        case kImageDllGroup:
            return drawDllGroup(p);
        case kImageWindow:
            return drawWindow(p);
        case kImageConstant:
            return drawConstant(p);
        case kImageResourceTable:
            return drawResourceTable(p);
        case kImageModuleTable:
            return drawModuleTable(p);
        case kImageModule:
            return drawFile(p);
        case kImageSub:
            return drawSub(p);
        case kImageDllCommand:
            return drawDllCommand(p);
        case kImageSound:
            return drawSound(p);
        case kImagePicture:
            return drawPicture(p);
        default:
            return drawSpare(p);
    }
}

// All pictures side by side in one 24-bit bitmap, the background in the mask colour.
UniqueBitmap drawStrip() {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kTreeImageSize * kTreeImageCount;
    info.bmiHeader.biHeight = -kTreeImageSize;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap strip(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!strip)
        return {};
    {
        ScopedSelect useStrip(dc.get(), strip.get());
        const RECT all{0, 0, kTreeImageSize * kTreeImageCount, kTreeImageSize};
        UniqueBrush background(CreateSolidBrush(kMaskColor));
        FillRect(dc.get(), &all, background.get());
        for (int image = 0; image < kTreeImageCount; ++image)
            drawCell(CellPainter(dc.get(), image), image);
        GdiFlush();
    }
    return strip;
}

}  // namespace

UniqueImageList makeProgramTreeImages() {
    UniqueImageList images(ImageList_Create(kTreeImageSize, kTreeImageSize, ILC_COLOR24 | ILC_MASK,
                                            kTreeImageCount, 0));
    if (!images)
        return {};
    UniqueBitmap strip = drawStrip();
    // The strip must not be selected into a device context here: the list reads it itself.
    if (!strip || ImageList_AddMasked(images.get(), strip.get(), kMaskColor) < 0 ||
        ImageList_GetImageCount(images.get()) != kTreeImageCount)
        return {};
    return images;
}

HIMAGELIST setTreeImages(ProgramTree& tree, HIMAGELIST images) {
    return reinterpret_cast<HIMAGELIST>(
        tree.sendTreeMessage(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images)));
}

}  // namespace ramulet
