#include "GalleryWindow.h"

#include "PropertySheet.h"

#include <quilObjects/quilObjects.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

namespace gallery {

quil::ImageList* MakeImageList(QObject* parent)
{
    auto* list = new quil::ImageList(16, 16, parent);
    list->setObjectName(QStringLiteral("ImageList1"));
    const QColor mask(192, 192, 192);   // the list's mask colour, &HC0C0C0
    auto picture = [&](const std::function<void(QPainter&)>& draw) {
        QImage img(16, 16, QImage::Format_RGB32);
        img.fill(mask);
        QPainter p(&img);
        draw(p);
        p.end();
        list->Add(img);
    };
    // 1: a green tick
    picture([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(0, 140, 40), 3));
        p.drawPolyline(QPolygon({{2, 8}, {6, 12}, {13, 3}}));
    });
    // 2: a red disc with a white bar: "stop"
    picture([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 30, 30));
        p.drawEllipse(1, 1, 14, 14);
        p.fillRect(4, 7, 8, 2, Qt::white);
    });
    // 3: a blue page with a folded corner
    picture([](QPainter& p) {
        p.setPen(QColor(20, 60, 150));
        p.setBrush(QColor(220, 232, 255));
        p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
        p.drawLine(10, 1, 10, 4);
        p.drawLine(10, 4, 13, 4);
        for (int y = 6; y <= 12; y += 2)
            p.drawLine(5, y, 11, y);
    });
    return list;
}

GalleryWindow::GalleryWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(tr("quilObjects gallery"));
    images = MakeImageList(this);
    sink = new EventSink(this);
    sink->onEvent = [this](const LoggedEvent& e) { logEvent(e); };

    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* scroll = new QScrollArea(split);
    formArea = new QWidget;
    formArea->setObjectName(QStringLiteral("Form1"));
    formArea->setMinimumSize(800, 450);
    formArea->setAutoFillBackground(true);
    scroll->setWidget(formArea);
    // What a screen reader calls the gallery's own parts.
    formArea->setAccessibleName(tr("Form"));
    scroll->setWidgetResizable(true);
    marker = new QFrame(formArea);
    marker->setObjectName(QStringLiteral("selection"));
    marker->setStyleSheet(QStringLiteral("QFrame#selection { border: 2px dashed #3070d0; }"));
    marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker->hide();

    auto* side = new QSplitter(Qt::Vertical, split);
    auto* top = new QWidget(side);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(4, 4, 4, 4);
    chooser = new QComboBox(top);
    chooser->setAccessibleName(tr("Control"));
    topLayout->addWidget(chooser);
    auto* sheetScroll = new QScrollArea(top);
    properties = new PropertySheet;
    properties->objectNames = [this] { return QStringList{images->objectName()}; };
    properties->objectNamed = [this](const QString& n) -> QObject* {
        return n == images->objectName() ? images : nullptr;
    };
    sheetScroll->setWidget(properties);
    properties->setAccessibleName(tr("Properties"));
    sheetScroll->setWidgetResizable(true);
    topLayout->addWidget(sheetScroll, 1);

    auto* bottom = new QWidget(side);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 4, 4, 4);
    auto* logBar = new QHBoxLayout;
    logBar->addWidget(new QLabel(tr("Events of"), bottom));
    logScope = new QComboBox(bottom);
    logScope->addItems({tr("all controls"), tr("the selected control")});
    logBar->addWidget(logScope);
    logChanges = new QCheckBox(tr("property changes"), bottom);
    logChanges->setChecked(true);
    logBar->addWidget(logChanges);
    logBar->addStretch(1);
    auto* clear = new QPushButton(tr("Clear"), bottom);
    logBar->addWidget(clear);
    bottomLayout->addLayout(logBar);
    log = new QPlainTextEdit(bottom);
    log->setAccessibleName(tr("Event log"));
    log->setReadOnly(true);
    log->setMaximumBlockCount(5000);
    log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    bottomLayout->addWidget(log, 1);
    side->setStretchFactor(0, 3);
    side->setStretchFactor(1, 2);
    side->setSizes({380, 260});
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    // The form keeps room for all of its controls; the sheet and log take the
    // rest of a 1280 x 800 screen, window frame included.
    split->setSizes({formArea->minimumWidth() + 4, 400});
    setCentralWidget(split);

    connect(clear, &QPushButton::clicked, this, &GalleryWindow::clearLog);
    connect(chooser, &QComboBox::activated, this, [this](int at) { select(control(chooser->itemText(at))); });
    connect(properties, &PropertySheet::problem, this, [this](const QString& m) { statusBar()->showMessage(m, 8000); });

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New showcase"), this, &GalleryWindow::showcase);
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &GalleryWindow::openFile);
    file->addAction(tr("&Save"), QKeySequence::Save, this, [this] { saveFile(false); });
    file->addAction(tr("Save &as..."), QKeySequence::SaveAs, this, [this] { saveFile(true); });
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    showcase();
    resize(1240, 740);
}

GalleryWindow::~GalleryWindow()
{
    // The sink must not hear the controls' last words while the window is half gone.
    sink->onEvent = nullptr;
}

QList<QWidget*> GalleryWindow::controls() const
{
    QList<QWidget*> out;
    for (const auto& w : placed)
        if (w)
            out << w.data();
    return out;
}

QWidget* GalleryWindow::control(const QString& name) const
{
    for (QWidget* w : controls())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

void GalleryWindow::showcase()
{
    // Every control class of the library, so that classes added later show up
    // here without change; a few get a richer showing.
    QList<QWidget*> next;
    QHash<QString, int> counts;
    auto make = [&](const char* cls, const QRect& geometry) -> quil::quilControl* {
        auto* c = qobject_cast<quil::quilControl*>(quil::CreateControl(QString::fromLatin1(cls), formArea));
        if (!c)
            return nullptr;
        const QString name = QStringLiteral("%1%2").arg(QString::fromLatin1(cls)).arg(++counts[cls]);
        c->setObjectName(name);
        c->setGeometry(geometry);
        // A new control's caption is its name, as its container calls it.
        c->InitProperties();
        // A dimension the control fixes comes from its hint, as a form gives
        // it; a scroll bar or slider keeps the thickness the form asked for,
        // within its limits.
        QSize size = c->size();
        if (auto* bar = qobject_cast<quil::quilScrollBar*>(c)) {
            size = bar->FormSize(size);
        } else if (auto* slider = qobject_cast<quil::quilSlider*>(c)) {
            size = slider->FormSize(size);
        } else if (!qobject_cast<quil::quilButton*>(c)) {
            // A button is as big as the form makes it; others fix a line or a grid.
            if (c->sizePolicy().verticalPolicy() == QSizePolicy::Fixed && c->sizeHint().height() > 0)
                size.setHeight(c->sizeHint().height());
            if (c->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed && c->sizeHint().width() > 0)
                size.setWidth(c->sizeHint().width());
        }
        c->resize(size);
        next << c;
        return c;
    };
    int x = 16, y = 16;
    int genericY = 400;
    for (const quil::ClassEntry& e : quil::ClassTable()) {
        if (e.kind != quil::ClassEntry::Control || !e.create)
            continue;
        const QString cls = QString::fromLatin1(e.name);
        if (cls == QLatin1String("quilButton")) {
            make(e.name, QRect(x, y, 96, 28));
            if (auto* b = make(e.name, QRect(x + 110, y, 96, 28))) {
                b->setProperty("BackColor", QVariant::fromValue<quint32>(0xE0F0FF));
                b->setProperty("ForeColor", QVariant::fromValue<quint32>(0x0080FF));
                b->setProperty("Caption", tr("Orange"));
            }
            if (auto* b = make(e.name, QRect(x + 220, y, 96, 28))) {
                b->setProperty("BackColor", QVariant::fromValue<quint32>(0xF0FFF0));
                b->setProperty("ForeColor", QVariant::fromValue<quint32>(0x208000));
                b->setProperty("TabSelectColor", QVariant::fromValue<quint32>(0x00A000));
                b->setProperty("Caption", tr("Green"));
            }
            if (auto* b = make(e.name, QRect(x, y + 40, 96, 28))) {
                b->setProperty("Caption", tr("Disabled"));
                b->setProperty("Enabled", false);
            }
            if (auto* b = make(e.name, QRect(x + 110, y + 40, 110, 28))) {
                b->setProperty("ImageList", QVariant::fromValue<QObject*>(images));
                b->setProperty("ImageIndex", QVariant::fromValue<short>(1));
                b->setProperty("Caption", tr("Accept"));
            }
            if (auto* b = make(e.name, QRect(x + 230, y + 40, 86, 56))) {
                b->setProperty("ImageList", QVariant::fromValue<QObject*>(images));
                b->setProperty("ImageIndex", QVariant::fromValue<short>(3));
                b->setProperty("Caption", tr("Stacked"));
            }
        } else if (cls == QLatin1String("quilScrollBar")) {
            if (auto* h = make(e.name, QRect(x, y + 112, 300, 17))) {
                h->setProperty("Orientation", QVariant::fromValue(quil::pbHorizontal));
                h->setGeometry(x, y + 112, 300, 17);
                h->setProperty("Value", 30);
                h->setAccessibleName(tr("Horizontal scroll bar"));
            }
            if (auto* v = make(e.name, QRect(x + 330, y, 17, 160)))
                v->setAccessibleName(tr("Vertical scroll bar"));
        } else if (cls == QLatin1String("quilListbox")) {
            // The installed fonts, each in its own face, in collation order.
            if (auto* l = qobject_cast<quil::quilListbox*>(make(e.name, QRect(x + 360, y, 168, 160)))) {
                l->setAccessibleName(tr("Fonts"));
                l->ListboxItems()->setSorted(true);
                for (const QString& family : QFontDatabase::families())
                    if (!l->ListboxItems()->Contains(family))
                        l->ListboxItems()->Add(family, family, family);
                l->setValueFont(true);
                l->Refresh();
            }
        } else if (cls == QLatin1String("quilMonthview")) {
            make(e.name, QRect(x + 540, y, 200, 160));
        } else if (cls == QLatin1String("quilPUMenu")) {
            // The menu's handle is invisible to users; a button opens its menu under itself.
            auto* menu = qobject_cast<quil::quilPUMenu*>(make(e.name, QRect(x + 660, y + 230, 47, 47)));
            auto* opener = qobject_cast<quil::quilButtonBase*>(make("quilButton", QRect(x + 540, y + 230, 96, 28)));
            if (menu && opener) {
                menu->setProperty("ImageList", QVariant::fromValue<QObject*>(images));
                const auto items = menu->MenuItem();
                items->Add("title", tr("Pictures"), 0, true, {}, {}, quil::itTitle);
                items->Add("accept", tr("Accept"), 1);
                items->Add("folder", tr("Open folder"), 2);
                items->Add("", {}, 0, true, {}, {}, quil::itPlaceholder);
                items->Add("grid", tr("Show grid"), 0, true, {}, {}, quil::itCheck, true);
                items->Add("bold", tr("Bold captions"), 0, true, {}, {}, quil::itCheck, false, true);
                opener->setProperty("Caption", tr("Menu..."));
                wireOpener(opener, menu);
            }
        } else if (cls == QLatin1String("quilToolbar")) {
            // A menu bar (File, Edit), buttons with pictures, check buttons and a caption.
            if (auto* bar = qobject_cast<quil::quilToolbar*>(make(e.name, QRect(x, y + 184, 770, 27)))) {
                bar->setAccessibleName(tr("Toolbar"));
                bar->setProperty("ImageList", QVariant::fromValue<QObject*>(images));
                bar->setProperty("MenuImageList", QVariant::fromValue<QObject*>(images));
                const auto items = bar->ToolbarItems();
                const auto file = items->Add("file", tr("File"), 0, quil::mitMenu)->ToolbarMenuItems();
                file->Add("new", tr("New page"), 3);
                file->Add("open", tr("Open folder..."));
                file->Add("", {}, 0, true, {}, {}, quil::itPlaceholder);
                file->Add("close", tr("Close"), 2);
                const auto edit = items->Add("edit", tr("Edit"), 0, quil::mitMenu2)->ToolbarMenuItems();
                edit->Add("cut", tr("Cut"));
                edit->Add("copy", tr("Copy"));
                edit->Add("paste", tr("Paste"));
                edit->Add("", {}, 0, true, {}, {}, quil::itPlaceholder);
                edit->Add("wrap", tr("Wrap lines"), 0, true, {}, {}, quil::itCheck, true);
                items->Add("sep1", {}, 0, quil::mitSeparator);
                items->Add("accept", tr("Accept"), 1);
                items->Add("stop", tr("Stop"), 2, quil::mitNormalButton, false, false);
                items->Add("sep2", {}, 0, quil::mitSeparator);
                items->Add("grid", tr("Grid"), 0, quil::mitCheckButton, true);
                items->Add("ruler", tr("Ruler"), 0, quil::mitCheckButton);
                items->Add("status", tr("Ready"), 0, quil::mitCaption);
                wireToolbar(bar);
            }
        } else if (cls == QLatin1String("quilTextBox")) {
            // A few formats, and a masked field.
            const struct {
                quil::DataFormats format;
                QString text;
                QString mask;
                QString name;   // what a screen reader calls the box; the showcase has no labels
            } samples[] = {{quil::df_AllChars, tr("Any text"), {}, tr("Any characters")},
                           {quil::df_NumOnly, QStringLiteral("12345"), {}, tr("Digits only")},
                           {quil::df_UCaseAlphaAndChars, tr("UPPER CASE"), {}, tr("Upper case")},
                           {quil::df_AllChars, tr("secret"), QStringLiteral("*"), tr("Password")}};
            int row = 0;
            for (const auto& s : samples)
                if (auto* t = make(e.name, QRect(x, y + 230 + 28 * row++, 150, 20))) {
                    t->setProperty("DataFormat", QVariant::fromValue(s.format));
                    t->setProperty("Text", s.text);
                    t->setProperty("PasswordChar", s.mask);
                    t->setAccessibleName(s.name);
                }
        } else if (cls == QLatin1String("quilLabel")) {
            if (auto* l = make(e.name, QRect(x + 170, y + 230, 170, 20)))
                l->setProperty("Caption", tr("A label with a link"));
        } else if (cls == QLatin1String("quilProgressBar")) {
            make(e.name, QRect(x + 170, y + 258, 170, 17));
        } else if (cls == QLatin1String("quilSlider")) {
            if (auto* slider = make(e.name, QRect(x + 170, y + 286, 170, 25)))
                slider->setAccessibleName(tr("Slider"));
        } else if (cls == QLatin1String("quilTab")) {
            // It draws nothing; its place is only seen when selected.
            make(e.name, QRect(x + 540, y + 290, 60, 24));
        } else if (cls == QLatin1String("quilColorPicker")) {
            make(e.name, QRect(x + 360, y + 230, 160, 100));
        } else if (cls == QLatin1String("quilDropDown")) {
            // One of each type: a date, a colour (its panel is empty), printers, drives, fonts.
            int column = 0;
            for (quil::eComboType type :
                 {quil::ctDateBox, quil::ctColorPicker, quil::ctPrinterSelect, quil::ctDriveSelect, quil::ctFontSelect})
                if (auto* d = make(e.name, QRect(x + 154 * column++, y + 352, 146, 21)))
                    d->setProperty("ComboType", QVariant::fromValue(type));
        } else {
            // Any other class: one of it, at a size a newcomer shows at.
            make(e.name, QRect(x, genericY, 140, 28));
            genericY += 40;
        }
    }
    replaceControls(next);
    setFilePath(QString());
}

void GalleryWindow::wireOpener(QWidget* opener, QWidget* menuWidget)
{
    auto* button = qobject_cast<quil::quilButtonBase*>(opener);
    auto* menu = qobject_cast<quil::quilPUMenu*>(menuWidget);
    if (!button || !menu)
        return;
    opener->setProperty(OpensMenuProperty, menu->objectName());
    QPointer<quil::quilPUMenu> target(menu);
    connect(button, &quil::quilButtonBase::Click, menu, [target, button] {
        if (!target)
            return;
        const QPoint p = button->mapToGlobal(QPoint(0, button->height()));
        int X = p.x() * quil::quilPUMenu::TwipsPerPixel, Y = p.y() * quil::quilPUMenu::TwipsPerPixel;
        target->CreateMenu(X, Y);
    });
}

void GalleryWindow::wireToolbar(QWidget* w)
{
    auto* bar = qobject_cast<quil::quilToolbar*>(w);
    if (!bar)
        return;
    // The bar reports a click on a check button; the host decides what it means.
    connect(bar, &quil::quilToolbar::ItemClicked, bar, [bar](short& index, QString&) {
        const auto list = bar->ToolbarItems();
        if (!list || index < 1 || index > list->Count())
            return;
        const auto item = list->Item(index);
        if (item->Style() == quil::mitCheckButton) {
            item->setChecked(!item->Checked());
            list->Refresh();
        }
    });
}

void GalleryWindow::wireLoaded(const QList<QWidget*>& made)
{
    for (QWidget* w : made) {
        wireToolbar(w);
        const QString menu = w->property(OpensMenuProperty).toString();
        if (menu.isEmpty())
            continue;
        for (QWidget* m : made)
            if (m->objectName() == menu)
                wireOpener(w, m);
    }
}

void GalleryWindow::setFilePath(const QString& path)
{
    filePath = path;
    setWindowTitle(path.isEmpty() ? tr("quilObjects gallery")
                                  : tr("%1 - quilObjects gallery").arg(QFileInfo(path).fileName()));
}

void GalleryWindow::replaceControls(const QList<QWidget*>& next)
{
    select(nullptr);
    for (QWidget* w : controls()) {
        sink->unwatch(w);
        w->hide();
        w->deleteLater();   // never inside an event of its own
    }
    placed.clear();
    for (QWidget* w : next)
        place(w);
    orderTabs();
    refreshChooser();
    if (!next.isEmpty())
        select(next.first());
}

void GalleryWindow::orderTabs()
{
    QList<QWidget*> order = controls();
    std::stable_sort(order.begin(), order.end(), [](const QWidget* a, const QWidget* b) {
        const QRect ga = a->geometry(), gb = b->geometry();
        return ga.top() != gb.top() ? ga.top() < gb.top() : ga.left() < gb.left();
    });
    // Only the controls Tab reaches are chained; the others keep their places out of it.
    order.removeIf([](const QWidget* w) { return !(w->focusPolicy() & Qt::TabFocus); });
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void GalleryWindow::place(QWidget* c)
{
    c->setParent(formArea);
    placed << c;
    sink->watch(c);
    // A click anywhere on the control, its arrows included, selects it.
    c->installEventFilter(this);
    for (QWidget* child : c->findChildren<QWidget*>())
        child->installEventFilter(this);
    c->show();
}

void GalleryWindow::refreshChooser()
{
    chooser->clear();
    for (QWidget* w : controls())
        chooser->addItem(w->objectName());
}

void GalleryWindow::select(QWidget* c)
{
    current = c;
    properties->setObject(c);
    if (c)
        chooser->setCurrentIndex(chooser->findText(c->objectName()));
    updateMarker();
}

void GalleryWindow::updateMarker()
{
    if (!current) {
        marker->hide();
        return;
    }
    marker->setGeometry(current->geometry().adjusted(-4, -4, 4, 4));
    marker->show();
    marker->lower();
}

bool GalleryWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Controls size themselves (a turned scroll bar): the marker follows.
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) && watched == current)
        updateMarker();
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        while (w && w->parentWidget() != formArea)
            w = w->parentWidget();
        if (w && w != current && placed.contains(w))
            select(w);
    }
    return false;   // the control still gets its click
}

void GalleryWindow::clearLog()
{
    lines.clear();
    log->clear();
}

void GalleryWindow::setLogAll(bool on) { logScope->setCurrentIndex(on ? 0 : 1); }

void GalleryWindow::logEvent(const LoggedEvent& e)
{
    if (logScope->currentIndex() == 1 && e.sender != current)
        return;
    if (e.propertyChange && !logChanges->isChecked())
        return;
    const QString line = e.propertyChange ? QStringLiteral("  ~ ") + e.text() : e.text();
    lines << line;
    if (lines.size() > 5000)
        lines.removeFirst();
    log->appendPlainText(line);
}

ObjectNames GalleryWindow::objectNames() const
{
    ObjectNames n;
    n.nameOf = [this](QObject* o) { return o == images ? images->objectName() : QString(); };
    n.objectNamed = [this](const QString& name) -> QObject* { return name == images->objectName() ? images : nullptr; };
    return n;
}

bool GalleryWindow::saveTo(const QString& path, QString* error)
{
    if (!SaveFile(path, controls(), objectNames(), error))
        return false;
    setFilePath(path);
    return true;
}

bool GalleryWindow::loadFrom(const QString& path, QString* error)
{
    QList<SavedControl> form;
    if (!LoadFile(path, objectNames(), form, error))
        return false;
    QList<QWidget*> made;
    if (!Create(form, formArea, made, error))
        return false;
    wireLoaded(made);
    replaceControls(made);
    setFilePath(path);
    return true;
}

void GalleryWindow::openFile()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open a form"), QString(),
                                                      tr("Forms (*.quilform *.json);;All files (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!loadFrom(path, &error))
        QMessageBox::warning(this, tr("Open a form"), tr("The form was not opened.\n\n%1").arg(error));
    else
        statusBar()->showMessage(tr("Opened %1").arg(path), 5000);
}

void GalleryWindow::saveFile(bool askName)
{
    QString path = filePath;
    if (askName || path.isEmpty()) {
        path = QFileDialog::getSaveFileName(this, tr("Save the form"), QStringLiteral("form.quilform"),
                                            tr("Forms (*.quilform *.json);;All files (*)"));
        if (path.isEmpty())
            return;
    }
    QString error;
    if (!saveTo(path, &error))
        QMessageBox::warning(this, tr("Save the form"), tr("The form was not saved.\n\n%1").arg(error));
    else
        statusBar()->showMessage(tr("Saved %1").arg(path), 5000);
}

} // namespace gallery
