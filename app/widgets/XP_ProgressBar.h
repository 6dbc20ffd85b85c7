#pragma once
// The loading window's progress bar: a percentage between Min and Max,
// capped at 100 when drawn. Drawn plainly for now.

#include <QWidget>

namespace murivo {

class XP_ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit XP_ProgressBar(QWidget* parent = nullptr);

    long Value() const;
    void setValue(long value);
    long Min() const { return min; }
    void setMin(long v) { min = v; }
    long Max() const { return max; }
    void setMax(long v) { max = v; }
    long Percent() const { return percent; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    long percent = 0;
    long min = 0;
    long max = 100;
};

} // namespace murivo
