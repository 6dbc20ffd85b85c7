#pragma once
// A control with only its identity: it draws nothing and raises nothing.

#include "quilControl.h"

namespace quil {

class quilTabPrivate;
class ClsMainPrivate;

class QUILOBJECTS_EXPORT quilTab : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "12")
    Q_CLASSINFO("Interface", "_quilTab")
    Q_CLASSINFO("EventInterface", "__quilTab")
    Q_CLASSINFO("Creatable", "container")
public:
    explicit quilTab(QWidget* parent = nullptr);
    ~quilTab() override;
    Q_INVOKABLE short ID() const { return 12; }
    // It draws nothing: a small place a container can see and select.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void Paint() override;
    void paintEvent(QPaintEvent*) override;

private:
    // Nothing yet: room for later versions.
    friend class quilTabPrivate;
    std::unique_ptr<quilTabPrivate> d;
};

// The library's empty public class.
class QUILOBJECTS_EXPORT ClsMain : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ClsMain")
    Q_CLASSINFO("Creatable", "no")
public:
    explicit ClsMain(QObject* parent = nullptr);
    ~ClsMain() override;

private:
    friend class ClsMainPrivate;
    std::unique_ptr<ClsMainPrivate> d;
};

} // namespace quil
