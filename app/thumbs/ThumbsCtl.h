#pragma once
// A scrolling grid of picture thumbnails, each centred in a grey cell, with
// tooltips giving the file name, size and pixel size. Items are numbered from
// 1 in the order added. Lengths are twips (15 to a pixel) as the layout
// rules give them; widgets are placed at the nearest pixel.
//
// Each picture is decoded once, at the size it is shown (the JPEG decoder
// scales while decoding), on worker threads ahead of the layout; the UI
// thread places the thumbnails in order and keeps handling events meanwhile.

#include "platform/forms/Forms.h"
#include "platform/forms/PropertyBag.h"
#include "platform/forms/MessageBox.h"
#include "platform/colors/Colors.h"

#include <QFuture>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QSize>
#include <QThreadPool>
#include <QStringList>
#include <QWidget>

class QEventLoop;
#include <atomic>
#include <condition_variable>
#include <map>
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

// Pictures that cannot be decoded scaled are decoded whole; together they
// may hold at most Total bytes at once, so several big ones wait their turn.
class DecodeBudget {
public:
    static constexpr qint64 Total = 256ll * 1024 * 1024;
    class Share {
    public:
        explicit Share(qint64 bytes);   // waits until the bytes fit (one alone always fits)
        ~Share();
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;

    private:
        qint64 n;
    };

private:
    static std::mutex m;
    static std::condition_variable freed;
    static qint64 used;
};

// Configures the scroll bars of a scrolling picture box.
class cPicScroll {
public:
    void SetUpScrollBars(QScrollBar* H_SB, QScrollBar* V_SB, qint32 lVer_MaxLen, qint16 iVer_SmallChange,
                         qint32 lVer_LargeChange, qint32 lHor_MaxLen, qint16 iHor_SmallChange, qint32 lHor_LargeChange);
};

// A thumbnail: the widget that raises the events.
class ThumbImage : public QLabel {
    Q_OBJECT
public:
    explicit ThumbImage(int index, QWidget* parent) : QLabel(parent), number(index) {}
    int number;

signals:
    void clicked(int index);
    void doubleClicked(int index);
    void mouse(int kind, int index, int button, int shift, float x, float y);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    bool pressed = false;
};

class ThumbsCtl : public QWidget {
    Q_OBJECT
public:
    explicit ThumbsCtl(QWidget* parent = nullptr, platform::MessageBoxService* boxes = nullptr);
    ~ThumbsCtl() override;

    void setMessageBoxes(platform::MessageBoxService* service) { boxes = service; }
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
    bool Loaded(int index) const { return thumbs.count(index) != 0; }
    QString ToolTipOf(int index) const;
    QString SizeText(int index) const { return index >= 0 && index < Sizes.size() ? Sizes[index] : QString(); }
    QImage ThumbImageOf(int index) const;
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
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    struct Thumb {
        QLabel* cell = nullptr;
        ThumbImage* image = nullptr;
        Twips cellBox, thumbBox;
        qint64 bytes = 0;
        QString problem;   // why the picture is not shown
    };
    void place(QWidget* w, const Twips& t);
    void applyTooltip(int index);
    void SetScrollRange(QScrollBar& bar, double max, int small, int large);
    QFuture<DecodedThumb>& decodeFor(int index);
    void prefetch(int from, int count);

    QWidget picFundo;
    QWidget picInterior;
    QScrollBar scroll;
    Twips fundo, interior;
    std::map<int, Thumb> thumbs;
    int loadedPrefix = 0;   // items 1..loadedPrefix are all placed
    std::map<int, QFuture<DecodedThumb>> decoding;   // by index, for the current Items
    platform::MessageBoxService* boxes;
    std::unique_ptr<platform::MessageBoxService> ownBoxes;
    std::unique_ptr<cPicScroll> Scroller;
    platform::OLE_COLOR backColor = 8421504;
    platform::OLE_COLOR foreColor = 12632256;
    QString path;
    qint16 columns = 1;
    int columnType = 0;
    bool imageToolTip = true;
    quint64 generation = 0;   // bumped by Clear: a running layout of older items stops
    // The generation as the decoders see it: a decode for an older one is skipped.
    std::shared_ptr<std::atomic<quint64>> liveGeneration = std::make_shared<std::atomic<quint64>>(0);
    std::vector<QEventLoop*> waits;   // layouts waiting for a decode, ended by Clear
    QThreadPool pool;                 // this grid's own decoders; Clear empties its queue
    int tooBigShown = 0;
};

} // namespace murivo
