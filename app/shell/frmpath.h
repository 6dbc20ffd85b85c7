#pragma once
// Hidden holder of the two folders: the list file's and the bitmap's.

#include <QLineEdit>
#include <QWidget>

namespace murivo {

class frmpath : public QWidget {
    Q_OBJECT
public:
    explicit frmpath(QWidget* parent = nullptr);
    void Form_Load();
    bool Loaded() const { return loaded; }

    QLineEdit lbldir;   // system folder, for wmdvm.sys
    QLineEdit Text1;    // Windows folder, for Wallpaper.bmp

private:
    bool loaded = false;
};

} // namespace murivo
