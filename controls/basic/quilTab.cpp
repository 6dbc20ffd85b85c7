#include <quilObjects/quilTab.h>

namespace quil {

class quilTabPrivate {};
class ClsMainPrivate {};

quilTab::quilTab(QWidget* parent) : quilControl(parent)
{
    // Nothing to draw: let the container show through.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_NoSystemBackground);
}

quilTab::~quilTab() = default;

QSize quilTab::sizeHint() const { return {32, 24}; }
QSize quilTab::minimumSizeHint() const { return {1, 1}; }

void quilTab::Paint() {}
void quilTab::paintEvent(QPaintEvent*) {}

ClsMain::ClsMain(QObject* parent) : QObject(parent) {}
ClsMain::~ClsMain() = default;

} // namespace quil
