#pragma once
// The program that opens files and links; tests point it at a recorder.

#include <QString>

namespace quil {

void SetOpener(const QString& program);
QString Opener();

} // namespace quil
