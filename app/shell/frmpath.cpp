#include "frmpath.h"

#include "platform/shell/Folders.h"

namespace murivo {

frmpath::frmpath(QWidget* parent) : QWidget(parent), lbldir(this), Text1(this) {}

void frmpath::Form_Load()
{
    if (loaded)
        return;
    loaded = true;
    lbldir.setText(platform::GetSystemDirectory());
    Text1.setText(platform::GetWindowsDirectory());
}

} // namespace murivo
