#include "Icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <functional>
#include <map>

namespace quil::designer {

namespace {

// The library's default colours: caption blue, tab orange, selection orange.
const QColor Fore(0, 0, 192);
const QColor TabOrange(231, 150, 0);
const QColor Selection(255, 128, 0);
const QColor Edge(112, 120, 150);
const QColor Paper(255, 255, 255);
const QColor Shade(214, 218, 228);

// A glossy face in the spirit of the controls: light at the top, darker below.
void face(QPainter& p, const QRect& r, int radius = 2)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, Paper);
    g.setColorAt(0.5, QColor(236, 238, 244));
    g.setColorAt(1, Shade);
    p.setPen(Edge);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

void box(QPainter& p, const QRect& r, const QColor& fill = Paper)
{
    p.setPen(Edge);
    p.setBrush(fill);
    p.drawRect(r);
}

void triangle(QPainter& p, const QPoint& a, const QPoint& b, const QPoint& c, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygon({a, b, c}));
}

void textLine(QPainter& p, int x, int y, int length, const QColor& colour = Fore)
{
    p.fillRect(QRect(x, y, length, 2), colour);
}

// One painter per class, in a 24 x 24 grid.
using Painter = std::function<void(QPainter&)>;

const std::map<QString, Painter>& painters()
{
    static const std::map<QString, Painter> table = {
        {QStringLiteral("quilButton"),
         [](QPainter& p) {
             face(p, QRect(1, 5, 21, 13), 3);
             textLine(p, 6, 11, 11);
         }},
        {QStringLiteral("quilColorPicker"),
         [](QPainter& p) {
             box(p, QRect(1, 1, 21, 21));
             const QColor swatches[9] = {QColor(192, 0, 0),   QColor(231, 150, 0), QColor(240, 220, 0),
                                         QColor(0, 160, 60),  QColor(0, 160, 200), Fore,
                                         QColor(140, 0, 160), QColor(0, 0, 0),     QColor(160, 160, 160)};
             for (int i = 0; i < 9; ++i)
                 p.fillRect(QRect(3 + (i % 3) * 6, 3 + (i / 3) * 6, 5, 5), swatches[i]);
         }},
        {QStringLiteral("quilDropDown"),
         [](QPainter& p) {
             box(p, QRect(1, 6, 21, 11));
             textLine(p, 3, 11, 9);
             face(p, QRect(14, 7, 7, 9), 1);
             triangle(p, QPoint(15, 10), QPoint(20, 10), QPoint(17, 13), Fore);
         }},
        {QStringLiteral("quilLabel"),
         [](QPainter& p) {
             // A capital A over a baseline.
             p.setPen(QPen(Fore, 2));
             p.drawLine(5, 18, 11, 3);
             p.drawLine(12, 3, 18, 18);
             p.drawLine(8, 13, 15, 13);
             p.fillRect(QRect(2, 21, 20, 1), Edge);
         }},
        {QStringLiteral("quilListbox"),
         [](QPainter& p) {
             box(p, QRect(1, 1, 21, 21));
             for (int row = 0; row < 4; ++row) {
                 const int y = 3 + row * 5;
                 if (row == 1)
                     p.fillRect(QRect(2, y - 1, 20, 5), Selection);
                 textLine(p, 4, y + 1, row % 2 ? 12 : 15, row == 1 ? Paper : Fore);
             }
         }},
        {QStringLiteral("quilMonthview"),
         [](QPainter& p) {
             box(p, QRect(1, 2, 21, 20));
             p.fillRect(QRect(2, 3, 20, 4), Fore);
             for (int row = 0; row < 4; ++row)
                 for (int col = 0; col < 5; ++col)
                     p.fillRect(QRect(3 + col * 4, 9 + row * 3, 2, 2), row == 2 && col == 3 ? TabOrange : Edge);
         }},
        {QStringLiteral("quilProgressBar"),
         [](QPainter& p) {
             box(p, QRect(1, 8, 21, 8));
             QLinearGradient g(QPoint(0, 9), QPoint(0, 15));
             g.setColorAt(0, QColor(120, 120, 255));
             g.setColorAt(1, Fore);
             p.fillRect(QRect(2, 9, 12, 7), g);
         }},
        {QStringLiteral("quilPUMenu"),
         [](QPainter& p) {
             p.fillRect(QRect(5, 3, 17, 20), QColor(0, 0, 0, 60));   // the popup's shadow
             box(p, QRect(3, 1, 16, 19));
             textLine(p, 6, 4, 9);
             p.fillRect(QRect(4, 8, 15, 5), Selection);
             textLine(p, 6, 10, 10, Paper);
             p.fillRect(QRect(5, 15, 12, 1), Edge);
             textLine(p, 6, 17, 7);
         }},
        {QStringLiteral("quilScrollBar"),
         [](QPainter& p) {
             box(p, QRect(7, 0, 9, 23), Shade);
             face(p, QRect(8, 1, 7, 5), 1);
             face(p, QRect(8, 17, 7, 5), 1);
             triangle(p, QPoint(9, 5), QPoint(14, 5), QPoint(11, 2), Fore);
             triangle(p, QPoint(9, 18), QPoint(14, 18), QPoint(11, 21), Fore);
             face(p, QRect(8, 8, 7, 7), 1);
             for (int y : {10, 12})
                 p.fillRect(QRect(10, y, 4, 1), Edge);
         }},
        {QStringLiteral("quilSlider"),
         [](QPainter& p) {
             box(p, QRect(1, 10, 21, 3), Shade);
             for (int x = 2; x <= 22; x += 5)
                 p.fillRect(QRect(x, 18, 1, 3), Edge);
             face(p, QRect(12, 5, 6, 12), 1);
             p.fillRect(QRect(13, 10, 4, 2), TabOrange);
         }},
        {QStringLiteral("quilTab"),
         [](QPainter& p) {
             // A folder tab over its page.
             box(p, QRect(1, 9, 21, 13));
             p.setPen(Edge);
             p.setBrush(Paper);
             p.drawPolygon(QPolygon({QPoint(2, 9), QPoint(4, 4), QPoint(12, 4), QPoint(14, 9)}));
             p.fillRect(QRect(4, 4, 9, 2), TabOrange);
         }},
        {QStringLiteral("quilTextBox"),
         [](QPainter& p) {
             box(p, QRect(1, 5, 21, 13));
             textLine(p, 4, 11, 9);
             p.fillRect(QRect(15, 7, 1, 9), QColor(0, 0, 0));   // the caret
             p.fillRect(QRect(14, 7, 3, 1), QColor(0, 0, 0));
             p.fillRect(QRect(14, 15, 3, 1), QColor(0, 0, 0));
         }},
        {QStringLiteral("quilToolbar"),
         [](QPainter& p) {
             face(p, QRect(0, 6, 23, 12), 1);
             p.fillRect(QRect(3, 9, 5, 5), Fore);
             p.fillRect(QRect(10, 9, 5, 5), TabOrange);
             p.fillRect(QRect(17, 8, 1, 8), Edge);
             p.fillRect(QRect(19, 11, 2, 2), Fore);
         }},
    };
    return table;
}

} // namespace

QImage ToolboxImage(const QString& className, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / 24.0, size / 24.0);
    const auto& table = painters();
    const auto it = table.find(className);
    if (it != table.end()) {
        it->second(p);
    } else {
        face(p, QRect(2, 2, 19, 19));
        p.fillRect(QRect(6, 6, 11, 11), Edge);
    }
    return image;
}

} // namespace quil::designer
