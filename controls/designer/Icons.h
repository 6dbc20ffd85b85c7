#pragma once
// Widget-box pictures of the library's public controls, drawn in code.

#include <QImage>
#include <QString>

namespace quil::designer {

// A size x size picture of the class's face; a plain control box for a
// class it has no picture for.
QImage ToolboxImage(const QString& className, int size = 24);

} // namespace quil::designer
