#pragma once
// A text box on a shown host window, its field focused, at the height its
// hint gives: how the text box tests meet the control.
#include <quilObjects/quilTextBox.h>

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QWidget>

namespace quil {

struct Box {
    QWidget host;
    quilTextBox* box;
    Box()
    {
        box = new quilTextBox(&host);
        box->setFont(QFont("DejaVu Sans", 8));
        // The container takes the box's height from its hint, as a layout does.
        box->setGeometry(10, 10, 120, box->sizeHint().height());
        host.resize(200, 60);
        host.show();
        QApplication::setActiveWindow(&host);
        box->Field()->setFocus();
    }
    QLineEdit& field() const { return *box->Field(); }
};

} // namespace quil
