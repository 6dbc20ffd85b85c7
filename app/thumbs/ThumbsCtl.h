#pragma once
// A scrolling grid of picture thumbnails, each centred in a grey cell, with
// tooltips giving the file name, size and pixel size. Items are numbered from
// 1 in the order added. Lengths are twips (15 to a pixel) as the layout
// rules give them; widgets are placed at the nearest pixel.
//
// Each picture is decoded once, at the size it is shown (the JPEG decoder
// scales while decoding), on worker threads; the UI thread never waits for one.

#include "platform/forms/Forms.h"
#include "platform/forms/PropertyBag.h"
#include "platform/forms/MessageBox.h"
#include "platform/colors/Colors.h"

#include <QImage>
#include <QScrollBar>
#include <QSize>
#include <QThreadPool>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <memory>
#include <stdexcept>

namespace murivo {

// Pictures measure themselves in HIMETRIC (0.01 mm), the control in twips.
inline constexpr double kHimetricPerPixel = 26.4586148648649;
inline int TwipsToPixels(double twips) { return static_cast<int>(platform::RoundHalfEven(twips / 15.0)); }

// The fitted thumbnail size in twips for a picture of W x H (any unit).
struct FittedSize {
    double w = 0, h = 0;
};
FittedSize FitThumb(double W, double H, double mh = 1500, double mw = 1635);

// One picture decoded for its thumbnail, off the UI thread.
struct DecodedThumb {
    QImage image;          // scaled to the fitted size; null when it could not be shown
    QSize pixels;          // the picture's true size
    qint64 himetricW = 0;  // its size in HIMETRIC units
    qint64 himetricH = 0;
    qint64 bytes = 0;
    QString error;         // why it could not be shown
    bool tooBig = false;   // beyond what may be decoded safely
    bool fromCache = false;
};
// Takes the thumbnail from the freedesktop cache when it holds a fresh one;
// otherwise decodes the picture within the memory budget and writes the cache.
DecodedThumb DecodeThumb(const QString& path);

// Configures the scroll bars of a scrolling picture box.
class cPicScroll {
public:
    void SetUpScrollBars(QScrollBar* H_SB, QScrollBar* V_SB, qint32 lVer_MaxLen, qint16 iVer_SmallChange,
                         qint32 lVer_LargeChange, qint32 lHor_MaxLen, qint16 iHor_SmallChange, qint32 lHor_LargeChange);
};

// The grid lays out every item at once as an empty cell and paints the cells
// in view; pictures are decoded on worker threads, those in view first, and
// fill their cells as they arrive. Nothing here waits for a decode, so the
// grid is ready as soon as its items are added, shown or not. The bar counts
// rows: a step, a wheel notch or an arrow key moves one row.
class ThumbsCtl : public QWidget {
    Q_OBJECT
public:
    explicit ThumbsCtl(QWidget* parent = nullptr, platform::MessageBoxService* boxes = nullptr);
    // Decodes still running are abandoned after at most 2 s.
    ~ThumbsCtl() override;

    void setMessageBoxes(platform::MessageBoxService* service) { boxes = service; }
    // What turns a path into its thumbnail, on a worker thread (DecodeThumb unless replaced).
    using Decoder = std::function<DecodedThumb(const QString&)>;
    void setDecoder(Decoder d) { decoder = d ? std::move(d) : Decoder(DecodeThumb); }
    void ReadProperties(platform::PropertyBag& bag);
    void WriteProperties(platform::PropertyBag& bag) const;

    // id: what the host knows the item by (a list row); -1 for none.
    void AddItem(const QString& Caminho, qint64 id = -1);
    void Clear();
    void RemoveItem(int Index);
    void ScanPath(const QString& sPath);
    int ListCount() const { return static_cast<int>(Items.size()) - 1; }
    // The path of item PicIndex (0 gives the empty element 0); throws std::out_of_range outside 0..ListCount.
    QString ItemData(int PicIndex) const;
    QStringList Paths() const { return Items.mid(1); }
    // The id item PicIndex was added with; -1 outside 1..ListCount or when it had none.
    qint64 ItemId(int PicIndex) const;

    platform::OLE_COLOR Backcolor() const { return backColor; }
    void setBackcolor(platform::OLE_COLOR c);
    platform::OLE_COLOR ForeColor() const { return foreColor; }
    void setForeColor(platform::OLE_COLOR c);
    QString Path() const { return path; }
    void setPath(const QString& p);
    int Columns() const { return columns; }
    void setColumns(int c) { columns = static_cast<qint16>(c); }
    int ColumnType() const { return columnType; }
    void setColumnType(int t);
    bool ImageToolTip() const { return imageToolTip; }
    void setImageToolTip(bool on);

    // Gives every item its cell and asks for the decodes; returns at once.
    void LayoutThumbs();
    void ScrollInterior();

    // Layout geometry, in twips, for tests and the host.
    struct Twips {
        double left = 0, top = 0, width = 0, height = 0;
    };
    Twips FundoTwips() const { return fundo; }
    Twips InteriorTwips() const { return interior; }
    // Sets the frame and the surface to this width, for hosts that size them directly.
    void setSurfaceWidthTwips(double w);
    Twips CellTwips(int index) const;
    Twips ThumbTwips(int index) const;
    // Item index has its cell (an empty one until its picture arrives).
    bool HasCell(int index) const { return index >= 1 && index < static_cast<int>(cells.size()); }
    // Item index has its thumbnail in its cell, or the reason it has none.
    bool Loaded(int index) const { return HasCell(index) && cells[index].known; }
    // Items with a cell whose picture has not arrived yet.
    int Pending() const { return pendingCount; }
    QString ToolTipOf(int index) const;
    QString SizeText(int index) const { return index >= 0 && index < Sizes.size() ? Sizes[index] : QString(); }
    QImage ThumbImageOf(int index) const;
    // Where thumbnail index shows, in this control's pixels; empty when it is not in view or has not arrived.
    QRect ThumbRect(int index) const;
    QScrollBar& scrThumbs() { return scroll; }
    // How many times "This Picture is to big." was shown.
    int TooBigMessages() const { return tooBigShown; }

    QStringList Items;   // element 0 holds nothing
    QStringList Sizes;
    QList<qint64> Ids;   // parallel to Items; element 0 holds nothing

signals:
    void ImageClick(int PicIndex, const QString& FileName);
    void ImageDblClick(int PicIndex, const QString& FileName);
    void ImageMouseDown(int PicIndex, int Button, int Shift, float x, float y, const QString& FileName);
    void ImageMouseMove(int PicIndex, int Button, int Shift, float x, float y, const QString& FileName);
    void ImageMouseUp(int PicIndex, int Button, int Shift, float x, float y, const QString& FileName);
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    struct Cell {
        QImage image;          // null until it arrives, or when it cannot be shown, or set aside far from view
        Twips thumbBox;        // within the surface
        qint64 bytes = 0;
        QString problem;       // why the picture is not shown
        bool known = false;    // decoded once: size, box and tooltip are known
        bool asked = false;    // a decode is under way
    };
    // Decodes report back through this; it outlives the control while they run.
    struct Mailbox;

    void syncGeometry();
    Twips cellBox(int index) const;
    double rowOffset() const;    // twips of surface above the view
    std::pair<int, int> itemsInView() const;
    void paintCells(QPainter& p, const QRect& dirty);
    int itemAt(const QPoint& atSurfacePixel, bool thumbOnly) const;
    QString tooltipText(int index) const;
    void setScrollRows();
    void schedulePump();
    void pump();
    void ask(int index);
    void arrived(quint64 gen, int index, DecodedThumb d);
    void forgetFarImages();
    void scrollRows(int delta);
    bool wheel(QWheelEvent* e);
    bool mouse(QMouseEvent* e);

    QWidget picFundo;
    QWidget picInterior;   // the view onto the surface; the cells are painted on it
    QScrollBar scroll;
    Twips fundo, interior;
    QSize laidOutFor;      // the control's size fundo and interior were computed for
    int cols = 0;          // columns of the current layout; 0 when none fits
    std::vector<Cell> cells;   // by item number; element 0 unused
    int pendingCount = 0;
    int nextUnknown = 1;       // no item before it still waits for its first decode
    int inFlight = 0;
    bool pumpQueued = false;
    qint64 imageBytes = 0;     // held by the cells' thumbnails
    int pressedItem = 0;
    bool clickArmed = false;   // the press was a single one: its release clicks
    int wheelRest = 0;         // a wheel's turn short of a notch
    platform::MessageBoxService* boxes;
    std::unique_ptr<platform::MessageBoxService> ownBoxes;
    std::unique_ptr<cPicScroll> Scroller;
    Decoder decoder = DecodeThumb;
    platform::OLE_COLOR backColor = 8421504;
    platform::OLE_COLOR foreColor = 12632256;
    QString path;
    qint16 columns = 1;
    int columnType = 0;
    bool imageToolTip = true;
    quint64 generation = 0;   // bumped when the items are renumbered: older results are dropped
    bool saidTooBig = false;  // since the last Clear
    int tooBigShown = 0;
    std::shared_ptr<Mailbox> mailbox;
    QThreadPool* pool;        // this grid's decoders; left to finish alone if they outlast the grace period
};

} // namespace murivo
