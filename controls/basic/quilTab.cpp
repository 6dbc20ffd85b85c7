#include <quilObjects/quilTab.h>

namespace quil {

quilTab::quilTab(QWidget* parent) : quilControl(parent)
{
    // Nothing to draw: let the container show through.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_NoSystemBackground);
}

QSize quilTab::sizeHint() const { return {32, 24}; }
QSize quilTab::minimumSizeHint() const { return {1, 1}; }

void quilTab::Paint() {}

ClsMain::ClsMain(QObject* parent) : QObject(parent) {}

} // namespace quil
